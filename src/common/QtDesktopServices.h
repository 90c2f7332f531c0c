#pragma once

#include "common/DesktopServices.h"

// The desktop itself: Qt's message boxes, file dialog, clipboard and URL handler.
class QtDesktopServices : public DesktopServices {
  public:
    void showMessage(QWidget* parent, Icon icon, const QString& title,
                     const QString& text) override;
    bool openUrl(const QUrl& url) override;
    void setClipboardText(const QString& text) override;
    QDateTime currentDateTime() const override;
    QString openFileName(QWidget* parent, const QString& title, const QString& filter) override;
};
