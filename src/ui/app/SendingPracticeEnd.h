#pragma once

class DesktopServices;
class HistoryStore;
class KeyingSession;
class QWidget;
struct SendingResult;

// A practice has ended: shows the report on how it was keyed and stores it with the practice.
// A practice in which nothing was keyed leaves nothing behind.
void FinishSendingPractice(QWidget* parent, DesktopServices& desktop, HistoryStore& store,
                           const SendingResult& result, const KeyingSession& keying);
