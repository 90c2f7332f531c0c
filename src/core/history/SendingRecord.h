#pragma once

#include <QDateTime>
#include <optional>

#include "core/history/SendingHistory.h"
#include "core/lesson/SendingSession.h"

class KeyingSession;

// What the history keeps of a sending practice: the practice's name as its window shows it, its
// judgement as right, tries and a percentage where it judges, and the report on the fist.
SendingSession ToSendingSession(const SendingResult& result, FistReport report,
                                QDateTime finishedAt);

// The record of a practice keyed in keying: none when nothing was keyed, which leaves nothing
// behind.
std::optional<SendingSession> RecordOfPractice(const SendingResult& result,
                                               const KeyingSession& keying, QDateTime finishedAt);
