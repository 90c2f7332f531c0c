#include "common/QtDesktopServices.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon ToQtIcon(DesktopServices::Icon icon) {
    switch (icon) {
        case DesktopServices::Icon::Information:
            return QMessageBox::Information;
        case DesktopServices::Icon::Warning:
            return QMessageBox::Warning;
        case DesktopServices::Icon::Critical:
            return QMessageBox::Critical;
        case DesktopServices::Icon::Question:
            return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtDesktopServices::showMessage(QWidget* parent, Icon icon, const QString& title,
                                    const QString& text) {
    QMessageBox box(ToQtIcon(icon), title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool QtDesktopServices::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

void QtDesktopServices::setClipboardText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

QDateTime QtDesktopServices::currentDateTime() const {
    return QDateTime::currentDateTime();
}

QString QtDesktopServices::openFileName(QWidget* parent, const QString& title,
                                        const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, QString(), filter);
}
