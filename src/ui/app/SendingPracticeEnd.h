#pragma once

#include <QDateTime>

#include "core/history/SendingHistory.h"
#include "core/lesson/SendingSession.h"

class DesktopServices;
class HistoryStore;
class KeyingPad;
class QWidget;

// What the history keeps of a sending practice: the practice's name as its window shows it, its
// judgement as right, tries and a percentage where it judges, and the report on the fist.
SendingSession ToSendingSession(const SendingResult& result, FistReport report,
                                QDateTime finishedAt);

// A practice has ended: shows the report on how it was keyed and stores it with the practice.
// A practice in which nothing was keyed leaves nothing behind.
void FinishSendingPractice(QWidget* parent, DesktopServices& desktop, HistoryStore& store,
                           const SendingResult& result, const KeyingPad& pad);
