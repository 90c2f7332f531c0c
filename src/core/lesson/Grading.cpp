#include "core/lesson/Grading.h"

#include "core/kit/LessonState.h"

namespace {

constexpr int kLetterCount = 26;

QChar TallyCharacter(int index) {
    if (index < kLetterCount) {
        return QChar(u'A' + index);
    }
    return index == 35 ? QChar(u'0') : QChar(u'1' + (index - kLetterCount));
}

}  // namespace

std::optional<int> MissTallyIndex(const QString& character) {
    if (character.size() != 1) {
        return std::nullopt;
    }
    const char16_t code = character.front().unicode();
    if (code >= u'A' && code <= u'Z') {
        return code - u'A';
    }
    if (code >= u'1' && code <= u'9') {
        return kLetterCount + (code - u'1');
    }
    if (code == u'0') {
        return 35;
    }
    return std::nullopt;
}

void RecordMiss(std::array<qint16, 36>& tally, const QString& character) {
    if (const std::optional<int> index = MissTallyIndex(character)) {
        qint16& count = tally[static_cast<std::size_t>(*index)];
        // The counter is 16 bits; a miss beyond it is not counted rather than wrapping round.
        if (count < 32767) {
            ++count;
        }
    }
}

Grade GradeFor(qint16 given, qint16 correct) {
    const float ratio = static_cast<float>(static_cast<double>(correct) / given);
    if (ratio == 1.0f) {
        return Grade::Perfect;
    }
    if (ratio < 1.0f && ratio >= 0.8f) {
        return Grade::Good;
    }
    if (ratio >= 0.5f && ratio < 0.8f) {
        return Grade::Soso;
    }
    if (ratio >= 0.0f && ratio < 0.5f) {
        return Grade::Bad;
    }
    return Grade::None;
}

QString GradePictureName(Grade grade) {
    switch (grade) {
        case Grade::Perfect:
            return QStringLiteral("Perfect.gaz");
        case Grade::Good:
            return QStringLiteral("Good.gaz");
        case Grade::Soso:
            return QStringLiteral("Soso.gaz");
        case Grade::Bad:
            return QStringLiteral("Bad.gaz");
        case Grade::None:
            break;
    }
    return {};
}

void AppendMissList(const std::array<qint16, 36>& tally, QString& list, qint16& counter) {
    const int entries = static_cast<int>(tally.size());
    for (int index = 0; index < entries; ++index) {
        const qint16 misses = tally[static_cast<std::size_t>(index)];
        if (misses == 0) {
            continue;
        }
        ++counter;
        list += TallyCharacter(index) + QStringLiteral(":") + QString::number(misses) +
                QStringLiteral("回\u3000");
        if (counter % 3 == 0 && counter < entries) {
            list += QStringLiteral("\r\r\n");
        }
    }
}

QString GradeName(Grade grade) {
    switch (grade) {
        case Grade::Perfect:
            return QStringLiteral("満点");
        case Grade::Good:
            return QStringLiteral("良い");
        case Grade::Soso:
            return QStringLiteral("まあまあ");
        case Grade::Bad:
            return QStringLiteral("もう一息");
        case Grade::None:
            break;
    }
    return {};
}

QString ScoreLine(const QString& played, const QString& correct) {
    return QStringLiteral("ステップ:") + played + QStringLiteral("問中") + correct +
           QStringLiteral("問正解");
}

Judgement JudgeAnswer(LessonState& lesson, const QString& answer, const QString& soundedToken,
                      const QString& soundedCharacter) {
    lesson.currentAnswer = answer;
    if (soundedCharacter.size() == 1) {
        // A pass, or a key that is no character, is heard as nothing.
        const QChar heard = answer.size() == 1 ? answer.front().toUpper() : QChar();
        ++lesson.confusions[{soundedCharacter.front().toUpper(), heard}];
    }
    if (answer != soundedToken) {
        RecordMiss(lesson.missTally, soundedCharacter);
        return Judgement::Miss;
    }
    if (lesson.correctCount < 32767) {
        ++lesson.correctCount;
    }
    return Judgement::Correct;
}
