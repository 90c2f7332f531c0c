#pragma once

class LessonPanel;
struct MainFormUi;

// The controls a role leaves as they are, shared by choosing a role and receiving one.

// Choosing a role leaves chat mode: no chat kind can be chosen until it is selected again.
void LeaveChatMode(const MainFormUi& ui);

// The main button, the receive modes, the tone and the speeds as the own role leaves them: the
// setter composes, the answerer chooses how to receive.
void ApplyRoleControls(const MainFormUi& ui, LessonPanel& lesson, bool setter);
