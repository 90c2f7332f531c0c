#pragma once

#include "ui/kit/DesktopServices.h"

class Clock;
class QFileDialog;

// The desktop itself: Qt's message boxes and file dialog (opened as the program's other modal
// windows are, on its clock), the clipboard and the URL handler.
class QtDesktopServices : public DesktopServices {
  public:
    explicit QtDesktopServices(Clock& clock) : m_clock(clock) {}

    void showMessage(QWidget* parent, Icon icon, const QString& title,
                     const QString& text) override;
    bool confirm(QWidget* parent, const QString& title, const QString& text, const QString& accept,
                 const QString& reject) override;
    bool openUrl(const QUrl& url) override;
    void setClipboardText(const QString& text) override;
    QDateTime currentDateTime() const override;
    QString openFileName(QWidget* parent, const QString& title, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& suggested,
                         const QString& filter) override;

  private:
    void showCentred(QWidget& window, QWidget* parent);
    QString chosenFile(QFileDialog& dialog, QWidget* parent);

    Clock& m_clock;
};
