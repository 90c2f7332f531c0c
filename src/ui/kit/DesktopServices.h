#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>

class QWidget;

// What the program asks of the desktop, behind one interface so that tests
// answer message boxes and read what would have been opened.
class DesktopServices {
  public:
    enum class Icon { Information, Warning, Critical, Question };

    virtual ~DesktopServices() = default;

    // A modal message box with an OK button.
    virtual void showMessage(QWidget* parent, Icon icon, const QString& title,
                             const QString& text) = 0;
    // A modal question with two buttons: true for accept, false for reject, Escape or the close
    // box. The reject button is the default, so that a stray Enter changes nothing.
    virtual bool confirm(QWidget* parent, const QString& title, const QString& text,
                         const QString& accept, const QString& reject) = 0;
    virtual bool openUrl(const QUrl& url) = 0;
    virtual void setClipboardText(const QString& text) = 0;
    virtual QDateTime currentDateTime() const = 0;
    // An existing file chosen by the user, or empty.
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& filter) = 0;
    // A file name to write, chosen by the user (suggested: the proposed one), or empty.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& suggested,
                                 const QString& filter) = 0;
};
