#pragma once

#include <QDateTime>
#include <QList>
#include <QUrl>
#include <functional>

#include "ui/kit/DesktopServices.h"

// Answers every desktop request without a desktop and remembers what was asked.
class FakeDesktopServices : public DesktopServices {
  public:
    struct Message {
        Icon icon;
        QString title;
        QString text;
    };

    // A box stays "open" while whileShown runs (a test may wait there as a reading user would).
    void showMessage(QWidget*, Icon icon, const QString& title, const QString& text) override {
        messages.append({icon, title, text});
        ++openMessages;
        mostOpenAtOnce = qMax(mostOpenAtOnce, openMessages);
        if (whileShown) {
            whileShown();
        }
        --openMessages;
    }
    bool confirm(QWidget*, const QString& title, const QString& text, const QString&,
                 const QString&) override {
        questions.append({Icon::Question, title, text});
        return confirmAnswer;
    }
    bool openUrl(const QUrl& url) override {
        openedUrls.append(url);
        return urlOpens;
    }
    void setClipboardText(const QString& text) override { clipboard = text; }
    QDateTime currentDateTime() const override { return now; }
    QString openFileName(QWidget*, const QString&, const QString&) override { return fileToOpen; }
    QString saveFileName(QWidget*, const QString&, const QString& suggested,
                         const QString&) override {
        suggestedSaveName = suggested;
        return fileToSave;
    }

    QList<Message> messages;
    std::function<void()> whileShown;
    int openMessages = 0;
    int mostOpenAtOnce = 0;
    QList<Message> questions;
    bool confirmAnswer = true;
    QList<QUrl> openedUrls;
    bool urlOpens = true;  // false: the desktop has no handler
    QString clipboard;
    QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(20, 41, 59));
    QString fileToOpen;
    QString fileToSave;  // what the user "chooses" to write; empty: cancelled
    QString suggestedSaveName;
};
