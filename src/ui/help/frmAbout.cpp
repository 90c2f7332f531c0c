#include "ui/help/frmAbout.h"

#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/help/AboutText.h"
#include "ui/kit/PhraseLabel.h"

using namespace Qt::StringLiterals;

namespace {

QFrame* MakeLine(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setObjectName(u"Line1"_s);  // the two separators share their name
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QLabel* MakeText(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

frmAbout::frmAbout(const QString& homePage, QWidget* parent) : QDialog(parent) {
    setObjectName(u"frmAbout"_s);
    setWindowTitle(AboutCaption());
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    picIcon = new QLabel(this);
    picIcon->setObjectName(u"picIcon"_s);
    picIcon->setAccessibleName(u"アイコン"_s);
    picIcon->setPixmap(QApplication::windowIcon().pixmap(64, 64));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblTitle = MakeText(this, u"lblTitle"_s, AboutTitleLine(CurrentVersion()));
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    lblTitle->setFont(titleFont);
    // The description's CR LF breaks show as line breaks; its sentences wrap between phrases.
    lblDescription = new PhraseLabel(AboutDescription(homePage).replace(u"\r\n"_s, u"\n"_s), this);
    lblDescription->setObjectName(u"lblDescription"_s);
    lblDescription->setMinimumWidth(lblDescription->fontMetrics().averageCharWidth() * 48);

    cmdGotoHomesite = new QPushButton(u"Go Web Page"_s, this);
    cmdGotoHomesite->setObjectName(u"cmdGotoHomesite"_s);
    cmdGotoHomesite->setAutoDefault(false);
    cmdOK = new QPushButton(u"OK"_s, this);
    cmdOK->setObjectName(u"cmdOK"_s);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);
    connect(cmdGotoHomesite, &QPushButton::clicked, this, &frmAbout::homePageWanted);

    auto* grid = new QGridLayout(this);
    grid->addWidget(picIcon, 0, 0, 3, 1);
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(MakeLine(this), 1, 1);
    grid->addWidget(lblDescription, 2, 1);
    grid->addWidget(cmdGotoHomesite, 3, 1, Qt::AlignLeft);
    grid->addWidget(MakeLine(this), 4, 0, 1, 2);
    grid->addWidget(cmdOK, 5, 1, Qt::AlignRight);
    grid->setSizeConstraint(QLayout::SetFixedSize);
}
