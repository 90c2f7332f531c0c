#include "ui/lesson/SendingPracticeWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

#include "core/kit/Clock.h"
#include "core/lesson/SendingFile.h"
#include "core/morse/CharacterDispatch.h"
#include "ui/kit/AccessibleValueLabel.h"
#include "ui/kit/Announcer.h"
#include "ui/kit/DesktopServices.h"
#include "ui/kit/NamedComboBox.h"
#include "ui/lesson/CopyScoring.h"

using namespace Qt::StringLiterals;

namespace {

// Groups of a text to key in copy sending: a short line, read at a glance.
constexpr int kCopyGroups = 5;
// Silence before an echo group sounds: it is not heard as part of what was just keyed. A screen
// reader's verdict is said to its end first.
constexpr int kEchoPauseMs = 1500;
// Wrong tries of a group before the verdict tells it: the learner tries again by ear first.
constexpr int kMissesBeforeTold = 2;

const QString kTitle = u"送信練習"_s;

// Keyed words as a screen reader is to say them: spelled, for a word read as a word ("PARIS")
// would hide the letter keyed wrong.
QString SpelledWords(const QString& words) {
    QStringList spelled;
    for (const QString& word : words.split(u' ', Qt::SkipEmptyParts)) {
        QStringList letters;
        for (const QChar letter : word) {
            letters << QString(letter);
        }
        spelled << letters.join(u' ');
    }
    return spelled.join(u'、');
}

}  // namespace

SendingPracticeWindow::SendingPracticeWindow(Clock& clock, CharacterDispatch& dispatch,
                                             DesktopServices& desktop, QWidget* keyingArea,
                                             QWidget* parent)
    : QDialog(parent),
      m_clock(clock),
      m_dispatch(dispatch),
      m_desktop(desktop),
      m_announcer(new Announcer(this, clock)),
      m_mode(new NamedComboBox(u"練習の種類"_s, this)),
      m_source(new NamedComboBox(u"送信する文字の種類"_s, this)),
      m_fileButton(new QPushButton(u"ファイルを選ぶ(&F)..."_s, this)),
      m_target(new AccessibleValueLabel(u"送信する文"_s, this)),
      m_decoded(new QPlainTextEdit(this)),
      m_comparison(new QPlainTextEdit(this)),
      m_score(new AccessibleValueLabel(u"結果"_s, this)),
      m_tally(new AccessibleValueLabel(u"集計"_s, this)),
      m_startButton(new QPushButton(u"始め(&S)"_s, this)),
      m_finishButton(new QPushButton(u"終わり(&E)"_s, this)),
      m_replayButton(new QPushButton(u"もう一度聞く(&A)"_s, this)),
      m_keyingArea(keyingArea != nullptr ? keyingArea : new QWidget) {
    setWindowTitle(kTitle);
    m_mode->addItems({u"自由送信"_s, u"見て送信"_s, u"エコー"_s});
    m_source->addItems(
        {u"Koch 法の文字"_s, u"コールサイン"_s, u"交信でよく使う語"_s, u"ファイルの語"_s});
    QFont large = m_target->font();
    large.setPointSizeF(large.pointSizeF() * 2);
    m_target->setFont(large);
    m_target->setWordWrap(true);
    m_target->setFocusPolicy(Qt::StrongFocus);
    for (QLabel* label : {m_target, m_score, m_tally}) {
        label->setTextFormat(Qt::PlainText);  // words of the learner's file
    }
    for (QPlainTextEdit* box : {m_decoded, m_comparison}) {
        box->setReadOnly(true);
        box->setTabChangesFocus(true);
    }
    m_decoded->setAccessibleName(u"解読した文字"_s);
    m_comparison->setAccessibleName(u"比較"_s);
    m_keyingArea->setParent(this);

    auto* choices = new QFormLayout;
    choices->addRow(u"練習の種類(&M)"_s, m_mode);
    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(m_source, 1);
    sourceRow->addWidget(m_fileButton);
    choices->addRow(u"文字の種類(&C)"_s, sourceRow);
    qobject_cast<QLabel*>(choices->labelForField(sourceRow))->setBuddy(m_source);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_startButton);
    buttons->addWidget(m_finishButton);
    buttons->addWidget(m_replayButton);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(choices);
    layout->addWidget(m_target);
    layout->addLayout(buttons);
    layout->addWidget(m_keyingArea, 1);
    layout->addWidget(new QLabel(u"解読した文字"_s, this));
    layout->addWidget(m_decoded, 1);
    layout->addWidget(new QLabel(u"比較"_s, this));
    layout->addWidget(m_comparison, 1);
    layout->addWidget(m_score);
    layout->addWidget(m_tally);
    QWidget* chain[] = {m_mode,         m_source,     m_fileButton, m_startButton, m_finishButton,
                        m_replayButton, m_keyingArea, m_target,     m_decoded,     m_comparison};
    for (std::size_t i = 1; i < std::size(chain); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }

    connect(m_mode, &QComboBox::currentIndexChanged, this, &SendingPracticeWindow::updateControls);
    connect(m_source, &QComboBox::currentIndexChanged, this,
            &SendingPracticeWindow::updateControls);
    connect(m_fileButton, &QPushButton::clicked, this, &SendingPracticeWindow::chooseFile);
    connect(m_startButton, &QPushButton::clicked, this, &SendingPracticeWindow::start);
    connect(m_finishButton, &QPushButton::clicked, this, &SendingPracticeWindow::finish);
    // Hearing the group again is no try: it is judged only when keyed.
    connect(m_replayButton, &QPushButton::clicked, this, [this] {
        playEchoGroup();
        m_keyingArea->setFocus();
    });
    connect(this, &SendingPracticeWindow::practiceStarted, m_keyingArea,
            qOverload<>(&QWidget::setFocus));
    updateControls();
}

SendingPracticeWindow::~SendingPracticeWindow() {
    stopPlaying();
}

SendingMode SendingPracticeWindow::mode() const {
    const SendingMode modes[] = {SendingMode::Free, SendingMode::Copy, SendingMode::Echo};
    return modes[std::clamp(m_mode->currentIndex(), 0, 2)];
}

void SendingPracticeWindow::updateControls() {
    const bool texts = mode() != SendingMode::Free;
    m_mode->setEnabled(!m_running);
    m_source->setEnabled(!m_running && texts);
    m_fileButton->setEnabled(!m_running && texts && m_source->currentIndex() == 3);
    m_startButton->setEnabled(!m_running);
    m_finishButton->setEnabled(m_running);
    m_replayButton->setEnabled(m_running && !m_echoPlayback.running());
    m_replayButton->setVisible(mode() == SendingMode::Echo);
    m_comparison->setVisible(mode() == SendingMode::Copy);
}

bool SendingPracticeWindow::loadFile(const QString& path) {
    const SendingFile file = ReadSendingFile(path);
    if (!file.ok()) {
        m_desktop.showMessage(this, DesktopServices::Icon::Warning, kTitle, file.error);
        return false;
    }
    m_fileWords = file.words;
    if (!file.notice.isEmpty()) {
        m_desktop.showMessage(this, DesktopServices::Icon::Information, kTitle, file.notice);
    }
    m_source->setCurrentIndex(3);
    return true;
}

void SendingPracticeWindow::chooseFile() {
    const QString path = m_desktop.openFileName(
        this, u"送信する語のファイル"_s, u"テキストファイル (*.txt);;すべてのファイル (*)"_s);
    if (!path.isEmpty()) {
        loadFile(path);
    }
}

QString SendingPracticeWindow::sourceProblem(const QString& kochCharacters) const {
    if (mode() == SendingMode::Free) {
        return {};
    }
    if (m_source->currentIndex() == 0 && kochCharacters.size() < 2) {
        return u"Koch 法の文字がまだありません。"_s;
    }
    if (m_source->currentIndex() == 3 && m_fileWords.isEmpty()) {
        return u"先に送信する語のファイルを選んで下さい。"_s;
    }
    return {};
}

void SendingPracticeWindow::start() {
    if (m_running) {
        return;
    }
    const QString kochCharacters = m_kochSource ? m_kochSource() : QString();
    if (const QString problem = sourceProblem(kochCharacters); !problem.isEmpty()) {
        m_desktop.showMessage(this, DesktopServices::Icon::Warning, kTitle, problem);
        return;
    }
    const SendingSource sources[] = {SendingSource::Koch, SendingSource::Callsigns,
                                     SendingSource::Words, SendingSource::File};
    SendingTexts::Settings settings;
    settings.source = sources[std::clamp(m_source->currentIndex(), 0, 3)];
    settings.kochCharacters = kochCharacters;
    settings.fileWords = m_fileWords;
    settings.seed = m_seed.value_or(QRandomGenerator::global()->generate());
    m_free.clear();
    m_copy.reset();
    m_echo.reset();
    m_texts = std::make_unique<SendingTexts>(settings);
    m_runMode = mode();
    m_decoded->clear();
    m_comparison->clear();
    m_score->clear();
    m_tally->clear();
    m_target->clear();
    m_saidUpTo = 0;
    m_running = true;
    updateControls();
    switch (m_runMode) {
        case SendingMode::Free:
            m_announcer->announce(u"自由送信を始めます。"_s);
            break;
        case SendingMode::Copy:
            m_copy.emplace(m_texts->nextText(kCopyGroups));
            m_target->setText(m_copy->target());
            m_announcer->announce(u"送信する文: "_s + m_copy->target());
            break;
        case SendingMode::Echo:
            m_echo.emplace(*m_texts);
            m_target->setText(u"聞こえた組を送信して下さい"_s);
            m_tally->setText(EchoTallyText(0, 0));
            playEchoGroupLater();
            break;
    }
    emit practiceStarted();
}

void SendingPracticeWindow::takeDecoded(const QString& text) {
    if (!m_running || m_echoPlayback.running()) {
        return;  // what is keyed over the echo group is not an answer to it
    }
    switch (m_runMode) {
        case SendingMode::Free:
            m_free.take(text);
            m_decoded->setPlainText(m_free.text());
            m_announcer->announce(newKeyedWords(m_free.text(), false));
            return;
        case SendingMode::Copy:
            m_copy->take(text);
            m_decoded->setPlainText(m_copy->keyed());
            m_announcer->announce(newKeyedWords(m_copy->keyed(), false));
            return;
        case SendingMode::Echo: {
            const QString group = m_echo->group();
            const std::optional<bool> verdict = m_echo->take(text);
            m_decoded->setPlainText(verdict ? m_echo->lastTry() : m_echo->keyed());
            if (verdict) {
                echoJudged(*verdict, m_echo->lastTry(), group);
            }
            return;
        }
    }
}

QString SendingPracticeWindow::newKeyedWords(const QString& keyed, bool toTheEnd) {
    const qsizetype end = toTheEnd ? keyed.size() : keyed.lastIndexOf(u' ') + 1;
    if (end <= m_saidUpTo) {
        return {};
    }
    const QString words = SpelledWords(keyed.mid(m_saidUpTo, end - m_saidUpTo));
    m_saidUpTo = end;
    return words;
}

void SendingPracticeWindow::echoJudged(bool right, const QString& keyed, const QString& group) {
    const bool told = m_echo->missesOfGroup() >= kMissesBeforeTold;
    const QString verdict = right  ? u"正解: %1"_s.arg(group)
                            : told ? u"誤り: %1 を送信（正しくは %2）"_s.arg(keyed, group)
                                   : u"誤り: %1 を送信。もう一度"_s.arg(keyed);
    m_score->setText(verdict);
    const QString tally = EchoTallyText(m_echo->groupsRight(), m_echo->tries());
    m_tally->setText(tally);
    m_announcer->announce(verdict);  // the tally is read on asking: short before the group
    playEchoGroupLater();
}

void SendingPracticeWindow::playEchoGroupLater() {
    if (m_echoTimer != 0) {
        m_clock.cancel(m_echoTimer);
    }
    m_echoTimer = m_clock.scheduleAt(m_clock.now() + kEchoPauseMs, [this] {
        m_echoTimer = 0;
        m_announcer->whenSaid(this, [this, stops = m_playStops] {
            if (stops == m_playStops) {
                playEchoGroup();
            }
        });
    });
}

// Sounded as a lesson sounds a question: planned ahead on the trainer's generator, tone and
// speed, and cut off where the learner ends the practice.
void SendingPracticeWindow::playEchoGroup() {
    if (!m_running || !m_echo || m_echoPlayback.running()) {
        return;
    }
    const QString group = m_echo->group();
    const quint64 stops = m_playStops;
    const auto stopped = [this, stops] { return m_playStops != stops; };
    m_echoPlayback.play(group, CharacterTable::Chat, {stopped, stopped},
                        [this] { updateControls(); });
    updateControls();
}

void SendingPracticeWindow::stopPlaying() {
    ++m_playStops;
    m_echoPlayback.wake();
    if (m_echoTimer != 0) {
        m_clock.cancel(m_echoTimer);
        m_echoTimer = 0;
    }
}

void SendingPracticeWindow::finish() {
    if (!m_running) {
        return;
    }
    emit finishing();
    stopPlaying();
    m_running = false;
    updateControls();
    SendingResult result;
    switch (m_runMode) {
        case SendingMode::Free: {
            result.charactersKeyed = m_free.characters();
            const QString count = u"%1文字を送信しました。"_s.arg(result.charactersKeyed);
            const QString last = newKeyedWords(m_free.text(), true);
            m_announcer->announce(last.isEmpty() ? count : last + u"。"_s + count);
            break;
        }
        case SendingMode::Copy: {
            const CopyAlignment alignment = m_copy->score();
            ShowCopyComparison(m_comparison, alignment, CopyWording::Keyed);
            m_score->setText(CopyScoreText(alignment));
            m_announcer->announce(CopySpokenText(alignment, CopyWording::Keyed));
            result = m_copy->result();
            break;
        }
        case SendingMode::Echo:
            result = m_echo->result();
            m_announcer->announce(u"終わり。"_s + m_tally->text());
            break;
    }
    emit practiceEnded(result);
}

void SendingPracticeWindow::reject() {
    close();
}

void SendingPracticeWindow::closeEvent(QCloseEvent* event) {
    finish();
    // Not the dialog's own: it would reject, which closes again.
    QWidget::closeEvent(event);
}
