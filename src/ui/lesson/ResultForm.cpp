#include "ui/lesson/ResultForm.h"

#include <QBuffer>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/kit/RegularFile.h"
#include "core/lesson/Grading.h"
#include "ui/kit/AccessibleValueLabel.h"
#include "ui/kit/ControlHelpers.h"

using namespace Qt::StringLiterals;

namespace {

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* MakeValueLabel(QWidget* parent, const QString& name, const QString& accessibleName) {
    auto* label = new AccessibleValueLabel(accessibleName, parent);
    label->setObjectName(name);
    return label;
}

qint16 AsInt16(const QString& caption) {
    bool ok = false;
    const int value = caption.trimmed().toInt(&ok);
    return ok && value >= -32768 && value <= 32767 ? static_cast<qint16>(value) : 0;
}

// Far more than any grade picture; a bigger file is not one.
constexpr qint64 kLargestPicture = 16 * 1024 * 1024;

// The user's own picture in the given folder wins; without one, the program's own. A file there
// that cannot be read as a picture gives none, and one that is no regular file (a FIFO, a device)
// is never waited on nor read for ever.
QImage GradeImage(const QString& folder, const QString& fileName) {
    const QString own = QDir(folder).filePath(fileName);
    const RegularFile::Contents contents = RegularFile::Read(own, kLargestPicture + 1);
    if (contents.opening.status == RegularFile::Status::Missing) {
        QImageReader reader(u":/grades/"_s + QFileInfo(fileName).completeBaseName() + u".png"_s);
        return reader.read();
    }
    if (!contents.opening.opened() || contents.bytes.size() > kLargestPicture) {
        return {};
    }
    QBuffer buffer;
    buffer.setData(contents.bytes);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

}  // namespace

ResultForm::ResultForm(const QString& played, const QString& correct,
                       std::array<qint16, 36>& missTally, QString pictureDir, QWidget* parent)
    : QDialog(parent), m_missTally(missTally), m_pictureDir(std::move(pictureDir)) {
    setObjectName(u"ResultForm"_s);
    setWindowTitle(u"聞き取り成績"_s);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setSizeGripEnabled(true);
    buildControls();
    SyutudaiLabel->setText(played);
    SeikaiLabel->setText(correct);
    connect(CloseButton, &QPushButton::clicked, this, &ResultForm::CloseButton_Click);
    // Esc ends the dialog without a close event; it resets all the same.
    connect(this, &QDialog::finished, this, &ResultForm::resetTally);
    Form_Load();
}

void ResultForm::buildControls() {
    // The counts and the list change from lesson to lesson: screen readers read what they show.
    SyutudaiLabel = MakeValueLabel(this, u"SyutudaiLabel"_s, u"出題数"_s);
    Label2 = MakeLabel(this, u"Label2"_s, u"問中"_s);
    SeikaiLabel = MakeValueLabel(this, u"SeikaiLabel"_s, u"正解数"_s);
    Label4 = MakeLabel(this, u"Label4"_s, u"問正解"_s);
    QFont countFont = font();
    countFont.setPointSizeF(countFont.pointSizeF() * 1.6);
    countFont.setBold(true);
    for (QLabel* count : {SyutudaiLabel, SeikaiLabel}) {
        count->setFont(countFont);
    }

    gradePicture = MakeLabel(this, u"gradePicture"_s);
    gradePicture->setAlignment(Qt::AlignCenter);

    Frame1 = new QGroupBox(u"不正解符号リスト"_s, this);
    Frame1->setObjectName(u"Frame1"_s);
    HuseikaiListLabel = MakeValueLabel(Frame1, u"HuseikaiListLabel"_s, u"不正解符号リスト"_s);
    HuseikaiListLabel->setWordWrap(true);
    HuseikaiListLabel->setMinimumWidth(
        QFontMetrics(font()).horizontalAdvance(u"W:99回\u3000W:99回\u3000W:99回\u3000"_s));
    (new QVBoxLayout(Frame1))->addWidget(HuseikaiListLabel);

    CloseButton = new QPushButton(u"閉じる"_s, this);
    CloseButton->setObjectName(u"CloseButton"_s);
    CloseButton->setDefault(true);
    GiveAccessKey(CloseButton, 'C');

    auto* counts = new QHBoxLayout;
    counts->addStretch();
    for (QLabel* label : {SyutudaiLabel, Label2, SeikaiLabel, Label4}) {
        counts->addWidget(label);
    }
    counts->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(counts);
    layout->addWidget(gradePicture);
    layout->addWidget(Frame1, 1);
    layout->addWidget(CloseButton, 0, Qt::AlignRight);
}

void ResultForm::Form_Load() {
    const qint16 given = AsInt16(SyutudaiLabel->text());
    const qint16 correct = AsInt16(SeikaiLabel->text());
    setWindowIcon(QIcon());
    showGradePicture(GradeFor(given, correct));

    AppendMissList(m_missTally, m_huseikaiListBuf, m_crCounter);
    // A CR, CR, LF ends a row of three; on screen that is one line break.
    QString shown = m_huseikaiListBuf;
    shown.replace(u"\r\r\n"_s, u"\n"_s);
    HuseikaiListLabel->setText(shown);
    if (given == correct) {
        HuseikaiListLabel->setText(u"不正解の符号なし。"_s);
    }
}

void ResultForm::showGradePicture(Grade grade) {
    gradePicture->clear();
    gradePicture->hide();
    // Named with the grade it shows, so that a screen reader tells the grade, not a picture.
    gradePicture->setAccessibleName(u"評価: "_s + GradeName(grade));
    const QString fileName = GradePictureName(grade);
    if (fileName.isEmpty()) {
        return;
    }
    const QImage image = GradeImage(m_pictureDir, fileName);
    if (image.isNull()) {
        return;
    }
    const QPixmap picture = QPixmap::fromImage(image);
    setWindowIcon(QIcon(picture));
    gradePicture->setPixmap(
        picture.height() > 128 ? picture.scaledToHeight(128, Qt::SmoothTransformation) : picture);
    gradePicture->show();
}

void ResultForm::resetTally() {
    m_missTally.fill(0);
    m_huseikaiListBuf.clear();
    m_crCounter = 0;
}

void ResultForm::CloseButton_Click() {
    resetTally();
    close();
}

void ResultForm::closeEvent(QCloseEvent* event) {
    // The close box, and the closing that follows the button: both reset, as unloading does.
    resetTally();
    QDialog::closeEvent(event);
}
