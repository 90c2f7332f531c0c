#include "ui/kit/QtDesktopServices.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>

#include "ui/kit/WindowOpening.h"

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

void QtDesktopServices::showCentred(QWidget& window, QWidget* parent) {
    window.adjustSize();
    TwipsOffset offset{0, 0};
    if (parent != nullptr) {
        const QWidget* anchor = parent->window();
        // Centred over the opener, in its twips, as the other windows are placed.
        const int left = (anchor->frameGeometry().width() - window.width()) / 2;
        const int top = (anchor->frameGeometry().height() - window.height()) / 2;
        offset = {left * 1440 / qMax(1, anchor->logicalDpiX()),
                  top * 1440 / qMax(1, anchor->logicalDpiY())};
    }
    ShowModal(m_clock, &window, parent, offset);
}

void QtDesktopServices::showMessage(QWidget* parent, Icon icon, const QString& title,
                                    const QString& text) {
    QMessageBox box(ToQtIcon(icon), title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    showCentred(box, parent);
}

bool QtDesktopServices::confirm(QWidget* parent, const QString& title, const QString& text,
                                const QString& accept, const QString& reject) {
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* yes = box.addButton(accept, QMessageBox::AcceptRole);
    QPushButton* no = box.addButton(reject, QMessageBox::RejectRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    showCentred(box, parent);
    return box.clickedButton() == yes;
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
    QFileDialog dialog(parent, title, QString(), filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    return chosenFile(dialog, parent);
}

QString QtDesktopServices::saveFileName(QWidget* parent, const QString& title,
                                        const QString& suggested, const QString& filter) {
    QFileDialog dialog(parent, title, suggested, filter);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    return chosenFile(dialog, parent);
}

QString QtDesktopServices::chosenFile(QFileDialog& dialog, QWidget* parent) {
    showCentred(dialog, parent);
    if (dialog.result() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles().value(0);
}
