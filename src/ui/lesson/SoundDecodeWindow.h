#pragma once

#include <QWidget>

#include "core/lesson/SoundDecodingSession.h"

class Announcer;
class Clock;
class CopyCheckPanel;
class DecodedSignalRows;
class DesktopServices;
class QCheckBox;
class QPushButton;
class SoundInputPanel;
class WaterfallView;

// 音声から解読: copy off the air. The session's input and its state, its waterfall, the signals it
// follows with their copies, and the learner's own copy checked against one of them; each
// signal's fist report opens from its row. Everything shown is the session's: the window keeps
// nothing of its own but its controls.
class SoundDecodeWindow : public QWidget {
    Q_OBJECT
  public:
    SoundDecodeWindow(SoundDecodingSession& session, Clock& clock, DesktopServices& desktop,
                      QWidget* parent = nullptr);
    ~SoundDecodeWindow() override;

    SoundDecodingSession& session() const { return m_session; }
    Announcer& announcer() const { return *m_announcer; }
    SoundInputPanel& input() const { return *m_input; }
    WaterfallView& waterfall() const { return *m_waterfall; }
    DecodedSignalRows& signalRows() const { return *m_rows; }
    CopyCheckPanel& copyCheck() const { return *m_copyCheck; }

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void showRow(const std::vector<float>& levelsDb);
    void showSignals();
    void openReport(int signal);
    void chainTabOrder();

    SoundDecodingSession& m_session;
    Announcer* m_announcer;
    SoundInputPanel* m_input;
    WaterfallView* m_waterfall;
    QCheckBox* m_follow;
    QPushButton* m_clear;
    DecodedSignalRows* m_rows;
    CopyCheckPanel* m_copyCheck;
};
