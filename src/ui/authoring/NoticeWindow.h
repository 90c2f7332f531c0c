#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class QVBoxLayout;

// The frame of a notice: a caption, a message and a row of buttons, in one of the window kinds
// the notices come in.
class NoticeWindow : public QDialog {
    Q_OBJECT
  public:
    enum class Kind {
        // A fixed-size dialog, kept out of the task bar.
        FixedDialog,
        // A sizable window without minimise and maximise buttons.
        Sizable,
        // A sizable window with both.
        SizableWithMinMax,
    };

    NoticeWindow(const QString& objectName, const QString& caption, Kind kind,
                 QWidget* parent = nullptr);

  protected:
    QLabel* addMessage(const QString& objectName, const QString& text);
    QPushButton* addButton(const QString& objectName, const QString& caption);
    // Where a notice puts a control of its own, above the buttons.
    QVBoxLayout* body() const { return m_body; }

  private:
    QVBoxLayout* m_body;
    class QHBoxLayout* m_buttons;
};
