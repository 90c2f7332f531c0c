#include "ui/help/AboutText.h"

#include <QUrl>

#include "core/kit/SharedTexts.h"

ProgramVersion CurrentVersion() {
    return {QUILL_VERSION_MAJOR, QUILL_VERSION_MINOR, QUILL_VERSION_PATCH};
}

QString HomePageAddress(const QString& manualPath) {
    const QString configured = QStringLiteral(QUILL_HOME_PAGE);
    return configured.isEmpty() ? QUrl::fromLocalFile(manualPath).toString() : configured;
}

QString AboutCaption() {
    return kApplicationTitle + QStringLiteral(" について");
}

QString AboutTitleLine(const ProgramVersion& version) {
    return kApplicationTitle + QStringLiteral("\u3000Ver. ") + QString::number(version.major) +
           u'.' + QString::number(version.minor) + QString::number(version.revision);
}

QString AboutDescription(const QString& homePage) {
    return QStringLiteral(
               "二台のPCをネットワークでつないで練習する、モールス符号（CW）の"
               "受信練習ソフトです。") +
           QStringLiteral("\r\n\r\n(Web) ") + homePage;
}
