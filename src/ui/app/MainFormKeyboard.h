#pragma once

struct MainFormUi;

// The main window from the keyboard alone: the order Tab follows (the way a lesson goes: the
// link, the role, mode, speed and tone, the lesson's buttons, the chat, and the 36 answer
// buttons last, since typed keys answer anyway) and an access key (Alt + letter) for every
// button. The captions stay as they are: the program reads some of them as the lesson's state,
// so the keys are shortcuts of the buttons rather than marks in their captions.
void SetUpKeyboard(MainFormUi& ui);
