#pragma once

class LessonPanel;
struct LinkUi;
struct SoundUi;

// The controls a role leaves as they are, shared by choosing a role and receiving one.

// Choosing a role leaves chat mode: no chat kind can be chosen until it is selected again.
void LeaveChatMode(const LinkUi& ui);

// The main button, the receive modes, the tone and the speeds as the own role leaves them: the
// setter composes, the answerer chooses how to receive.
void ApplyRoleControls(const SoundUi& ui, LessonPanel& lesson, bool setter);
