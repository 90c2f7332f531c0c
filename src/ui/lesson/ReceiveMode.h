#pragma once

#include <QObject>

#include "core/link/PracticeSide.h"
#include "ui/lesson/PracticeWindow.h"

class PracticeSettings;
class QuillNetModule;
struct Speed;

// Choosing how to receive: Step or Normal receive mode, the speed, and in chat mode the chat
// kind. Each choice is told to the peer and shown in the role labels.
class ReceiveModeSelection : public QObject, public PracticeSide {
    Q_OBJECT
  public:
    ReceiveModeSelection(const PracticeWindow& form, QuillNetModule& module,
                         PracticeSettings& settings, QObject* parent = nullptr);

    void MainForm_StepMode_Option_Click();
    void MainForm_NormalMode_Option_Click();
    // The three speed options share one handler; they differ only in their entry of the table.
    void SpeedSelected(const Speed& speed);
    // The speed of its own: to an original peer the nearest of the three, to this program the
    // figures too.
    void FreeSpeedSelected();
    void MainForm_optionMoji_Click();
    void MainForm_optionCw_Click();

    // The peer's choices (and the settings file's speed), selected as the user's would be.
    void selectReceiveMode(bool step) override;
    void selectSpeed(int perMinute) override;
    void selectChatKind(bool cw) override;
    int selectedSpeed() const override;
    void selectFreeSpeed(const FreeSpeed& speed) override;
    std::optional<FreeSpeed> chosenFreeSpeed() const override;

  private:
    void receiveModeSelected(bool step);
    void speedChosen(const Speed& speed, const std::optional<FreeSpeed>& free);

    PracticeWindow m_form;
    QuillNetModule& m_module;
    PracticeSettings& m_settings;
    // Those the free speed's selection told last; nothing while a fixed speed is selected.
    std::optional<FreeSpeed> m_announcedFigures;
};
