#include "ui/lesson/CopyScoring.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextCursor>

#include "core/kit/LessonState.h"
#include "core/lesson/LessonKind.h"
#include "core/link/SessionChoices.h"
#include "ui/kit/Announcer.h"
#include "ui/lesson/LessonController.h"
#include "ui/lesson/LessonUi.h"
#include "ui/lesson/QuestionPlayer.h"

using namespace Qt::StringLiterals;

namespace {

// The faults a spoken comparison names before it sums up the rest.
constexpr int kFaultsSpoken = 3;

// A word gap is spoken and shown as one.
QString Named(QChar character) {
    return character == u' ' ? u"空白"_s : QString(character);
}

QString FaultPhrase(const AlignedPair& pair, CopyWording wording) {
    const bool keyed = wording == CopyWording::Keyed;
    switch (pair.op) {
        case AlignedPair::Op::Substitute:
            return (keyed ? u"%1を%2と送信"_s : u"%1を%2と聞き取り"_s)
                .arg(Named(pair.sent), Named(pair.heard));
        case AlignedPair::Op::Delete:
            return (keyed ? u"%1を送り漏らし"_s : u"%1を聞き逃し"_s).arg(Named(pair.sent));
        case AlignedPair::Op::Insert:
            return (keyed ? u"%1を余分に送信"_s : u"%1を余分に入力"_s).arg(Named(pair.heard));
        case AlignedPair::Op::Match:
            break;
    }
    return {};
}

}  // namespace

QString CopyScoreText(const CopyAlignment& alignment) {
    return u"%1文字中%2文字正解（編集距離 %3）"_s.arg(alignment.sentCharacters)
        .arg(alignment.rightCharacters)
        .arg(alignment.distance);
}

QString CopySpokenText(const CopyAlignment& alignment, CopyWording wording) {
    QString spoken =
        u"%1文字中%2文字正解。"_s.arg(alignment.sentCharacters).arg(alignment.rightCharacters);
    QStringList faults;
    int more = 0;
    for (const AlignedPair& pair : alignment.pairs) {
        if (pair.op == AlignedPair::Op::Match) {
            continue;
        }
        if (faults.size() < kFaultsSpoken) {
            faults << FaultPhrase(pair, wording);
        } else {
            ++more;
        }
    }
    if (!faults.isEmpty()) {
        spoken += faults.join(u'、');
        spoken += more > 0 ? u"、ほか%1か所。"_s.arg(more) : u"。"_s;
    }
    return spoken;
}

// Two lines, the question over the copy, character under character: a right character plain,
// one heard as another or missed in red and bold, an extra one in blue and underlined; "_"
// stands where one side has nothing. The lines never wrap (a long question scrolls sideways),
// and the gap mark is as wide as a letter in the fixed font, so the columns stay in line; a
// full-width mark would come from a fallback font twice as wide.
void ShowCopyComparison(QPlainTextEdit* box, const CopyAlignment& alignment, CopyWording wording) {
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->clear();
    QTextCursor cursor(box->document());
    QTextCharFormat plain;
    QTextCharFormat wrong;
    wrong.setForeground(Qt::red);
    wrong.setFontWeight(QFont::Bold);
    QTextCharFormat extra;
    extra.setForeground(Qt::blue);
    extra.setFontUnderline(true);
    for (const bool sentLine : {true, false}) {
        const bool keyed = wording == CopyWording::Keyed;
        cursor.insertText(sentLine ? (keyed ? u"見本: "_s : u"送信: "_s)
                                   : (keyed ? u"\n送信: "_s : u"\n受信: "_s),
                          plain);
        for (const AlignedPair& pair : alignment.pairs) {
            const QChar shown = sentLine ? pair.sent : pair.heard;
            const QTextCharFormat& format = pair.op == AlignedPair::Op::Match    ? plain
                                            : pair.op == AlignedPair::Op::Insert ? extra
                                                                                 : wrong;
            cursor.insertText(shown.isNull() ? u"_"_s : QString(shown), format);
        }
    }
}

bool CopyScoring::takesCopy() const {
    return LessonKindFor(m_form.choices.mode()).takesCopy();
}

CopyScoring::CopyScoring(const PracticeWindow& form, QuestionPlayer& player,
                         LessonController& lesson, Announcer& announcer, QObject* parent)
    : QObject(parent), m_form(form), m_announcer(announcer) {
    const LessonUi& ui = m_form.ui;
    // Typing goes to the answers in Step mode: the box takes it only in Normal mode.
    ui.CopyText->setEnabled(takesCopy());
    connect(&m_form.choices, &SessionChoices::modeChanged, ui.CopyText,
            [this] { m_form.ui.CopyText->setEnabled(takesCopy()); });
    connect(&lesson, &LessonController::callUpSounding, this, &CopyScoring::lessonStarting);
    connect(&player, &QuestionPlayer::questionEnded, this, &CopyScoring::questionEnded);
}

void CopyScoring::lessonStarting(bool callUpSounding) {
    if (!callUpSounding) {
        return;
    }
    const LessonUi& ui = m_form.ui;
    m_form.lesson.confusions.clear();
    if (!takesCopy()) {
        return;
    }
    ui.CopyText->clear();
    ui.CopyResult->clear();
    ui.CopyScore->clear();
    ui.CopyText->setFocus();
}

void CopyScoring::questionEnded(const QString& question) {
    const LessonUi& ui = m_form.ui;
    const QString copy = ui.CopyText->toPlainText();
    if (!takesCopy() || copy.trimmed().isEmpty()) {
        return;
    }
    const CopyAlignment alignment = AlignCopy(question, copy);
    CountPairs(m_form.lesson.confusions, alignment);
    ShowCopyComparison(ui.CopyResult, alignment);
    ui.CopyScore->setText(CopyScoreText(alignment));
    // Beside the Step lessons' lines, in the copy's own words: characters, not questions.
    ui.ScoreList->addItem(u"ノーマル:%1文字中%2文字正解（受信メモ）"_s.arg(alignment.sentCharacters)
                              .arg(alignment.rightCharacters));
    m_announcer.announce(CopySpokenText(alignment));
}
