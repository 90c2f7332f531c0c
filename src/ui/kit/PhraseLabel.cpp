#include "ui/kit/PhraseLabel.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

using namespace Qt::StringLiterals;

namespace {

// A line is as wide as this many full-width characters when the text is long enough.
constexpr int kPreferredCharacters = 26;

bool BreaksAfter(QChar character) {
    return u"、。，．！？」』 \u3000/,!?"_s.contains(character);
}

bool BreaksBefore(QChar character) {
    return u"「『（(["_s.contains(character);
}

// The text's own lines, each cut into the phrases that may start a line.
QList<QStringList> Phrases(const QString& text) {
    QList<QStringList> paragraphs;
    for (const QString& line : QString(text).replace(u"\r\n"_s, u"\n"_s).split(u'\n')) {
        QStringList phrases(QString{});
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (i > 0 && !phrases.last().isEmpty() && BreaksBefore(line[i]) &&
                !BreaksBefore(line[i - 1])) {
                phrases.append(QString());
            }
            phrases.last() += line[i];
            if (BreaksAfter(line[i]) && (i + 1 == line.size() || !BreaksAfter(line[i + 1]))) {
                phrases.append(QString());
            }
        }
        phrases.removeAll(QString());
        paragraphs.append(phrases);
    }
    return paragraphs;
}

}  // namespace

QStringList PhraseLines(const QString& text, const QFontMetrics& metrics, int width) {
    QStringList lines;
    for (const QStringList& phrases : Phrases(text)) {
        QString line;
        for (const QString& phrase : phrases) {
            if (!line.isEmpty() && metrics.horizontalAdvance(line + phrase) > width) {
                lines.append(line.trimmed());
                line.clear();
            }
            line += phrase;
        }
        lines.append(line.trimmed());
    }
    return lines;
}

PhraseLabel::PhraseLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QSize PhraseLabel::frame() const {
    const QMargins margins = contentsMargins();
    return {margins.left() + margins.right() + 2 * margin(),
            margins.top() + margins.bottom() + 2 * margin()};
}

int PhraseLabel::widestPhrase() const {
    int widest = 0;
    for (const QStringList& phrases : Phrases(text())) {
        for (const QString& phrase : phrases) {
            widest = qMax(widest, fontMetrics().horizontalAdvance(phrase.trimmed()));
        }
    }
    return widest;
}

int PhraseLabel::heightForWidth(int width) const {
    const int lines =
        static_cast<int>(PhraseLines(text(), fontMetrics(), width - frame().width()).size());
    return lines * fontMetrics().lineSpacing() + frame().height();
}

QSize PhraseLabel::sizeHint() const {
    int natural = 0;
    for (const QString& line : PhraseLines(text(), fontMetrics(), QWIDGETSIZE_MAX)) {
        natural = qMax(natural, fontMetrics().horizontalAdvance(line));
    }
    const int preferred = fontMetrics().horizontalAdvance(u'あ') * kPreferredCharacters;
    const int width = qMax(widestPhrase(), qMin(natural, preferred)) + frame().width();
    return {width, heightForWidth(width)};
}

QSize PhraseLabel::minimumSizeHint() const {
    const int width = widestPhrase() + frame().width();
    return {width, heightForWidth(width)};
}

void PhraseLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QString shown = PhraseLines(text(), fontMetrics(), area.width()).join(u'\n');
    style()->drawItemText(&painter, area, static_cast<int>(alignment()), palette(), isEnabled(),
                          shown, foregroundRole());
}
