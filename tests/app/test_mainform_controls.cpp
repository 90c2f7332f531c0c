// The main window's controls: names, captions, menus, option groups, the fine-adjustment
// bar, layout and what screen readers see.
#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QStatusBar>
#include <QTest>
#include <memory>

#include "core/kit/LessonState.h"
#include "ui/app/MainFormUi.h"
#include "ui/kit/AccessibleValueLabel.h"
#include "ui/lesson/LessonPanelView.h"
#include "ui/link/RoleLayout.h"

using namespace Qt::StringLiterals;

namespace {

const QString kAnswerCharacters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ1234567890"_s;

QString AnswerButtonName(QChar character) {
    return character.isDigit() ? u"Num"_s + character + u"_Button"_s
                               : QString(character) + u"_Button"_s;
}

QString AccessibleText(QObject* object, QAccessible::Text kind) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(kind) : QString();
}

// What a control shows as its caption or design text.
QString CaptionOf(const QWidget* widget) {
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text();
    }
    if (auto* frame = qobject_cast<const QGroupBox*>(widget)) {
        return frame->title();
    }
    if (auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        return edit->text();
    }
    if (auto* text = qobject_cast<const QPlainTextEdit*>(widget)) {
        return text->toPlainText();
    }
    return {};
}

template <typename T>
QStringList NamesOf(const QList<T*>& objects) {
    QStringList names;
    for (const T* object : objects) {
        names << object->objectName();
    }
    return names;
}

QStringList Names(const QString& spaceSeparated) {
    return spaceSeparated.split(u' ');
}

// Where the fine-adjustment bar is operated: a share of its width in per cent, or one of these.
constexpr int kLeftKey = -1;
constexpr int kRightKey = -2;
constexpr int kBesideLeftArrow = -3;

QGroupBox* NearestFrame(QWidget* widget) {
    for (QWidget* parent = widget->parentWidget(); parent; parent = parent->parentWidget()) {
        if (auto* frame = qobject_cast<QGroupBox*>(parent)) {
            return frame;
        }
    }
    return nullptr;
}

}  // namespace

class MainFormControlsTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void everyControlHasItsKindCaptionToolTipAndAccessibleName_data();
    void everyControlHasItsKindCaptionToolTipAndAccessibleName();
    void membersPointAtTheControlsOfTheirName();
    void answerButtonFindsTheButtonOfACharacter_data();
    void answerButtonFindsTheButtonOfACharacter();

    void menusSitOnTheBarInOrder();
    void menusHoldTheirEntriesInOrder_data();
    void menusHoldTheirEntriesInOrder();
    void soundEntriesAreNotAnExclusiveGroup();
    void checkableEntriesAreToldAsSuch();

    void optionGroupsAreExclusiveEachInItsFrame_data();
    void optionGroupsAreExclusiveEachInItsFrame();
    void selectingInOneGroupLeavesTheOthers();

    void arrowKeysChooseWithinAGroup_data();
    void arrowKeysChooseWithinAGroup();
    void fineAdjustmentRangeAndSteps();
    void fineAdjustmentHasPlus20AtTheLeftEnd_data();
    void fineAdjustmentHasPlus20AtTheLeftEnd();

    void framesHoldTheirControls_data();
    void framesHoldTheirControls();
    void pairedControlsSitSideBySide_data();
    void pairedControlsSitSideBySide();
    void answerButtonsFormRowsOfSix();
    void changingTextsDoNotMoveOtherControls_data();
    void changingTextsDoNotMoveOtherControls();

    void accessibleNamesAreUniqueInTheWindow();
    void tabVisitsTheControlsInWorkingOrder();
    void everyButtonHasItsOwnAccessKey();
    void valueLabelsReadOutWhatTheyShow();
    void labelsShowPlainText();
    void logAndAnswerAreReadOnlyPlainText();
    void windowTitleFontAndStatusBar();

  private:
    void showWindow();
    template <typename T = QWidget>
    T* control(const QString& name) const {
        return m_window->findChild<T*>(name);
    }

    std::unique_ptr<QMainWindow> m_window;
    MainFormUi m_ui;
};

void MainFormControlsTest::init() {
    m_window = std::make_unique<QMainWindow>();
    m_ui = MainFormUi{};
    m_ui.setupUi(m_window.get());
}

void MainFormControlsTest::cleanup() {
    m_window.reset();
}

void MainFormControlsTest::showWindow() {
    m_window->resize(1024, 768);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void MainFormControlsTest::everyControlHasItsKindCaptionToolTipAndAccessibleName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("toolTip");
    QTest::addColumn<QString>("accessibleName");
    // Without an accessible name of its own a control is read out by its caption.
    auto add = [](const QString& name, const char* kind, const QString& caption,
                  const QString& toolTip = {}, const QString& accessibleName = {}) {
        QTest::newRow(name.toUtf8().constData())
            << name << QByteArray(kind) << caption << toolTip
            << (accessibleName.isEmpty() ? caption : accessibleName);
    };
    const char* const button = "QPushButton";
    const char* const option = "QRadioButton";
    const char* const valueLabel = "AccessibleValueLabel";
    add(u"StartButton_Command"_s, button, u"スタート"_s);
    add(u"StopButton_Command"_s, button, u"ストップ"_s);
    add(u"KaitoupassButton_Command"_s, button, u"解答パス"_s);
    add(u"SaveSetButton_Command"_s, button, u"設定保存"_s,
        u"コールサイン・接続先IP・トーン・速度の保存"_s);
    add(u"toneTestButton"_s, button, u"テスト"_s);
    add(u"ListenButton"_s, button, u"待受"_s);
    add(u"ConnectButton"_s, button, u"接続"_s);
    add(u"CloseButton"_s, button, u"切断"_s);
    add(u"SendMessageButton"_s, button, u"送信"_s);
    add(u"CheckGrovalIpButton"_s, button, u"WebでIPチェック"_s, u"グローバルIPアドレスを確認"_s);
    add(u"SearchIpButton"_s, button, u"コピー"_s, u"左のIPアドレスをコピー"_s);
    for (QChar character : kAnswerCharacters) {
        add(AnswerButtonName(character), button, QString(character));
    }
    add(u"TeacherOption"_s, option, u"出題者になる"_s);
    add(u"StudentOption"_s, option, u"解答者になる"_s);
    add(u"StepMode_Option"_s, option, u"ステップ受信モード"_s);
    add(u"NormalMode_Option"_s, option, u"ノーマル受信モード"_s);
    add(u"ChatMode_Option"_s, option, u"チャットモード"_s);
    add(u"optionMoji"_s, option, u"文字"_s);
    add(u"optionCw"_s, option, u"CW"_s);
    add(u"Speed25_Option"_s, option, u"毎分２５文字"_s);
    add(u"Speed45_Option"_s, option, u"毎分４５文字"_s);
    add(u"Speed60_Option"_s, option, u"毎分６０文字"_s);
    add(u"Speed_HScroll"_s, "QScrollBar", {}, {}, u"微調整"_s);
    add(u"ToneText"_s, "QLineEdit", u"800"_s, {}, u"トーン周波数"_s);
    add(u"CallsignText"_s, "QLineEdit", {}, {}, u"コールサイン"_s);
    add(u"ConnectIpText"_s, "QLineEdit", {}, u"ダブルクリックでアドレスクリア"_s, u"接続先IP"_s);
    add(u"SendMessageText"_s, "QLineEdit", {}, {}, u"送信メッセージ"_s);
    add(u"ChatText"_s, "QPlainTextEdit", {}, {}, u"チャット・ログ"_s);
    add(u"AnswerText"_s, "QPlainTextEdit", {}, {}, u"正解欄"_s);
    add(u"ScoreList"_s, "QListWidget", {}, {}, u"成績表"_s);
    add(u"CopyText"_s, "QPlainTextEdit", {}, {}, u"受信メモ（入力は相手に送られません）"_s);
    add(u"CopyResult"_s, "QPlainTextEdit", {}, {}, u"受信メモと問題の比較"_s);
    add(u"CopyScore"_s, valueLabel, {}, {}, u"受信メモの得点"_s);
    add(u"Label1"_s, valueLabel, {}, {}, u"受信文字"_s);
    add(u"Label4"_s, valueLabel, {}, {}, u"出題数"_s);
    add(u"Label2"_s, valueLabel, {}, {}, u"正解数"_s);
    add(u"Label7"_s, valueLabel, u"微調整 ±0%"_s, {}, u"微調整の値"_s);
    add(u"StatusLabel"_s, valueLabel, {}, {}, u"接続状態"_s);
    add(u"TeacherLabel"_s, valueLabel, {}, {}, u"出題者"_s);
    add(u"StudentLabel"_s, valueLabel, {}, {}, u"解答者"_s);
    add(u"DispIpLabel"_s, valueLabel, {}, {}, u"自局IPアドレス"_s);
    add(u"soundStatusLabel"_s, valueLabel, u"サウンド: 確認中…"_s, {}, u"サウンド状態"_s);
    add(u"bandStatusLabel"_s, valueLabel, u"バンド: なし"_s, {}, u"バンドコンディション状態"_s);
    add(u"Label5"_s, "QLabel", u"問出題"_s);
    add(u"Label3"_s, "QLabel", u"問正解"_s);
    add(u"IPLabel"_s, "QLabel", u"接続先IP"_s);
    add(u"callsignLabel"_s, "QLabel", u"コールサイン"_s);
    add(u"hzLabel"_s, "QLabel", u"Hz"_s);
    add(u"IpFrame"_s, "QGroupBox", u"IPアドレス表示"_s);
    add(u"toneFrame"_s, "QGroupBox", u"トーン周波数"_s, {}, u"トーン周波数の枠"_s);
    add(u"scoreFrame"_s, "QGroupBox", u"成績表"_s, {}, u"成績表の枠"_s);
    add(u"answerFrame"_s, "QGroupBox", u"正解欄"_s, {}, u"正解欄の枠"_s);
}

void MainFormControlsTest::everyControlHasItsKindCaptionToolTipAndAccessibleName() {
    QFETCH(QString, name);
    QFETCH(QByteArray, kind);
    QFETCH(QString, caption);
    QFETCH(QString, toolTip);
    QFETCH(QString, accessibleName);

    const QList<QWidget*> found = m_window->findChildren<QWidget*>(name);
    QCOMPARE(found.size(), 1);
    QWidget* widget = found.first();
    QVERIFY2(widget->inherits(kind.constData()), widget->metaObject()->className());
    QCOMPARE(CaptionOf(widget), caption);
    QCOMPARE(widget->toolTip(), toolTip);
    QCOMPARE(AccessibleText(widget, QAccessible::Name), accessibleName);
}

void MainFormControlsTest::membersPointAtTheControlsOfTheirName() {
#define NAMED(member) std::pair<QObject*, QString>(m_ui.member, QStringLiteral(#member))
    // clang-format off
    const std::pair<QObject*, QString> members[] = {
        NAMED(StartButton_Command), NAMED(StopButton_Command), NAMED(KaitoupassButton_Command),
        NAMED(Label1), NAMED(Label4), NAMED(Label5), NAMED(Label2), NAMED(Label3),
        NAMED(scoreFrame), NAMED(ScoreList), NAMED(answerFrame), NAMED(AnswerText),
        NAMED(copyFrame), NAMED(CopyText), NAMED(CopyResult), NAMED(CopyScore),
        NAMED(TeacherOption), NAMED(StudentOption), NAMED(StepMode_Option),
        NAMED(NormalMode_Option), NAMED(ChatMode_Option), NAMED(optionMoji), NAMED(optionCw),
        NAMED(Speed25_Option), NAMED(Speed45_Option), NAMED(Speed60_Option), NAMED(roleGroup),
        NAMED(practiceModeGroup), NAMED(chatKindGroup), NAMED(speedGroup), NAMED(Speed_HScroll),
        NAMED(Label7), NAMED(toneFrame), NAMED(ToneText), NAMED(hzLabel), NAMED(toneTestButton),
        NAMED(SaveSetButton_Command), NAMED(callsignLabel), NAMED(CallsignText), NAMED(IPLabel),
        NAMED(ConnectIpText), NAMED(ListenButton), NAMED(ConnectButton), NAMED(CloseButton),
        NAMED(StatusLabel), NAMED(TeacherLabel), NAMED(StudentLabel), NAMED(IpFrame),
        NAMED(DispIpLabel), NAMED(SearchIpButton), NAMED(CheckGrovalIpButton), NAMED(ChatText),
        NAMED(SendMessageText), NAMED(SendMessageButton), NAMED(soundStatusLabel), NAMED(mnuSound),
        NAMED(mnuSoundWave), NAMED(mnuSoundBeep), NAMED(mnuSeparator), NAMED(mnuSoundQuarity),
        NAMED(mnuSoundBand),
        NAMED(mnuMojiHanni), NAMED(mnuMojiHanniAtoE), NAMED(mnuMojiHanniFtoJ),
        NAMED(mnuMojiHanniKtoO), NAMED(mnuMojiHanniPtoT), NAMED(mnuMojiHanniUtoZ),
        NAMED(mnuMojiHanniAll), NAMED(mnuNet), NAMED(mnuNetTeacherMode), NAMED(mnuNetStudentMode),
        NAMED(mnuHelp), NAMED(mnuHelpReadme), NAMED(mnuHelpOnline), NAMED(mnuHelpAbout),
        NAMED(mnuEnd)};
    // clang-format on
#undef NAMED
    for (const auto& [member, name] : members) {
        QVERIFY2(member, qPrintable(name));
        QCOMPARE(member->objectName(), name);
        QCOMPARE(m_window->findChild<QObject*>(name), member);
    }
    for (qsizetype index = 0; index < kAnswerCharacters.size(); ++index) {
        QPushButton* button = m_ui.answerButtons.at(static_cast<std::size_t>(index));
        QVERIFY(button);
        QCOMPARE(button->objectName(), AnswerButtonName(kAnswerCharacters.at(index)));
    }
}

void MainFormControlsTest::answerButtonFindsTheButtonOfACharacter_data() {
    QTest::addColumn<QChar>("character");
    QTest::addColumn<QString>("button");
    QTest::newRow("a") << QChar(u'a') << u"A_Button"_s;
    QTest::newRow("A") << QChar(u'A') << u"A_Button"_s;
    QTest::newRow("z") << QChar(u'z') << u"Z_Button"_s;
    QTest::newRow("Z") << QChar(u'Z') << u"Z_Button"_s;
    QTest::newRow("1") << QChar(u'1') << u"Num1_Button"_s;
    QTest::newRow("9") << QChar(u'9') << u"Num9_Button"_s;
    QTest::newRow("0") << QChar(u'0') << u"Num0_Button"_s;
    QTest::newRow("full stop") << QChar(u'.') << QString();
    QTest::newRow("space") << QChar(u' ') << QString();
    QTest::newRow("full-width a") << QChar(u'ａ') << QString();
    QTest::newRow("dotless i, whose capital is I") << QChar(u'ı') << QString();
}

void MainFormControlsTest::answerButtonFindsTheButtonOfACharacter() {
    QFETCH(QChar, character);
    QFETCH(QString, button);
    QPushButton* found = m_ui.answerButton(character);
    QCOMPARE(found ? found->objectName() : QString(), button);
}

void MainFormControlsTest::menusSitOnTheBarInOrder() {
    auto* end = m_window->findChild<QAction*>(u"mnuEnd"_s);
    const QList<QAction*> expected = {control<QMenu>(u"mnuSound"_s)->menuAction(),
                                      control<QMenu>(u"mnuMojiHanni"_s)->menuAction(),
                                      control<QMenu>(u"mnuNet"_s)->menuAction(),
                                      control<QMenu>(u"mnuPartner"_s)->menuAction(),
                                      control<QMenu>(u"mnuSending"_s)->menuAction(),
                                      control<QMenu>(u"mnuRecord"_s)->menuAction(),
                                      control<QMenu>(u"mnuHelp"_s)->menuAction(),
                                      end};
    QCOMPARE(m_window->menuBar()->actions(), expected);
    QVERIFY(!end->menu() && !end->isCheckable());
    QCOMPARE(end->text(), u"終了(&X)"_s);
}

void MainFormControlsTest::menusHoldTheirEntriesInOrder_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("captions");  // empty for the separator
    QTest::addColumn<QStringList>("checkable");
    QTest::newRow("sound")
        << u"mnuSound"_s << u"サウンド切替・設定(&S)"_s
        << Names(u"mnuSoundWave mnuSoundBeep mnuSeparator mnuSoundQuarity mnuSoundBand"_s)
        << QStringList{u"Wave音(&W)"_s,
                       u"Beep音(WinXP/2000用)(&B)"_s,
                       {},
                       u"Wave音質設定(&Q)"_s,
                       u"バンドコンディション(&C)..."_s}
        << Names(u"mnuSoundWave mnuSoundBeep"_s);
    // The range captions use the full-width tilde U+FF5E, not the wave dash U+301C.
    const QStringList ranges = Names(
        u"mnuMojiHanniAtoE mnuMojiHanniFtoJ mnuMojiHanniKtoO "
        u"mnuMojiHanniPtoT mnuMojiHanniUtoZ mnuMojiHanniAll"_s);
    QTest::newRow("range") << u"mnuMojiHanni"_s << u"出題文字範囲設定(&M)"_s << ranges
                           << QStringList{u"A\uFF5EE(&A)"_s, u"F\uFF5EJ(&F)"_s,
                                          u"K\uFF5EO(&K)"_s, u"P\uFF5ET(&P)"_s,
                                          u"U\uFF5EZ(&U)"_s, u"全アルファベット(&Z)"_s}
                           << ranges;
    const QStringList modes = Names(u"mnuNetTeacherMode mnuNetStudentMode"_s);
    QTest::newRow("net") << u"mnuNet"_s << u"ネットモード切替(&M)"_s << modes
                         << QStringList{u"先生モード(&T)"_s, u"学生モード(&N)"_s} << modes;
    QTest::newRow("partner") << u"mnuPartner"_s << u"練習相手(&R)"_s << Names(u"mnuPartnerSolo"_s)
                             << QStringList{u"ひとりで練習(&P)"_s} << QStringList();
    QTest::newRow("sending") << u"mnuSending"_s << u"送信練習(&O)"_s
                             << Names(u"mnuSendingPractice mnuSendingFromSound mnuSendingInput"_s)
                             << QStringList{u"送信練習(&P)..."_s, u"音声から解読(&D)..."_s,
                                            u"キー入力の設定(&I)..."_s}
                             << QStringList();
    QTest::newRow("record") << u"mnuRecord"_s << u"記録(&K)"_s << Names(u"mnuRecordHistory"_s)
                            << QStringList{u"成績履歴(&G)..."_s} << QStringList();
    QTest::newRow("help") << u"mnuHelp"_s << u"ヘルプ(&H)"_s
                          << Names(u"mnuHelpReadme mnuHelpOnline mnuHelpAbout"_s)
                          << QStringList{u"ReadMe.txtを開く(&T)"_s, u"オンラインヘルプを見る(&O)"_s,
                                         u"バージョン情報(&A)"_s}
                          << QStringList();
}

void MainFormControlsTest::menusHoldTheirEntriesInOrder() {
    QFETCH(QString, menu);
    QFETCH(QString, title);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, captions);
    QFETCH(QStringList, checkable);
    const QList<QMenu*> found = m_window->findChildren<QMenu*>(menu);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first()->title(), title);
    const QList<QAction*> actions = found.first()->actions();
    QCOMPARE(NamesOf(actions), entries);
    for (qsizetype index = 0; index < actions.size(); ++index) {
        const QAction* action = actions.at(index);
        QCOMPARE(m_window->findChildren<QAction*>(action->objectName()).size(), 1);
        QCOMPARE(action->text(), captions.at(index));
        QCOMPARE(action->isSeparator(), captions.at(index).isEmpty());
        QCOMPARE(action->isCheckable(), checkable.contains(action->objectName()));
    }
}

void MainFormControlsTest::soundEntriesAreNotAnExclusiveGroup() {
    // Neither entry may be checked, so the handlers keep them apart rather than a group.
    auto* wave = m_window->findChild<QAction*>(u"mnuSoundWave"_s);
    auto* beep = m_window->findChild<QAction*>(u"mnuSoundBeep"_s);
    QVERIFY(!wave->actionGroup());
    QVERIFY(!beep->actionGroup());
    wave->setChecked(true);
    wave->setChecked(false);
    QVERIFY(!wave->isChecked() && !beep->isChecked());
}

void MainFormControlsTest::checkableEntriesAreToldAsSuch() {
    // A screen reader must hear that an unchecked entry can be checked, and which kind it is.
    QSet<QAccessible::Role> kinds;
    for (QMenu* menu : m_window->findChildren<QMenu*>()) {
        for (QAction* entry : menu->actions()) {
            if (!entry->isCheckable()) {
                continue;
            }
            QAccessibleInterface* told = QAccessible::queryAccessibleInterface(entry);
            QVERIFY(told);
            const bool exclusive = entry->actionGroup() && entry->actionGroup()->isExclusive();
            QCOMPARE(told->role(), exclusive ? QAccessible::RadioButton : QAccessible::CheckBox);
            QVERIFY(told->state().checkable);
            QCOMPARE(bool(told->state().checked), entry->isChecked());
            QCOMPARE(told->text(QAccessible::Name), QString(entry->text()).remove(u'&'));
            kinds.insert(told->role());
        }
    }
    QVERIFY(kinds.contains(QAccessible::CheckBox));
}

void MainFormControlsTest::optionGroupsAreExclusiveEachInItsFrame_data() {
    QTest::addColumn<QString>("group");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("selected");
    QTest::newRow("roles") << u"roleGroup"_s << Names(u"TeacherOption StudentOption"_s)
                           << QString();
    QTest::newRow("practice modes")
        << u"practiceModeGroup"_s << Names(u"StepMode_Option NormalMode_Option ChatMode_Option"_s)
        << QString();
    QTest::newRow("chat kinds") << u"chatKindGroup"_s << Names(u"optionMoji optionCw"_s)
                                << QString();
    QTest::newRow("speeds")
        << u"speedGroup"_s
        << Names(u"Speed25_Option Speed45_Option Speed60_Option SpeedFree_Option"_s)
        << u"Speed25_Option"_s;
}

void MainFormControlsTest::optionGroupsAreExclusiveEachInItsFrame() {
    QFETCH(QString, group);
    QFETCH(QStringList, options);
    QFETCH(QString, selected);
    auto* found = m_window->findChild<QButtonGroup*>(group);
    QVERIFY(found);
    QCOMPARE(found->parent(), m_window.get());
    QVERIFY(found->exclusive());
    QCOMPARE(NamesOf(found->buttons()), options);
    QCOMPARE(found->checkedButton() ? found->checkedButton()->objectName() : QString(), selected);

    // One visible frame around the group that holds no option of another group.
    QGroupBox* frame = NearestFrame(found->buttons().first());
    QVERIFY(frame);
    QVERIFY(!frame->title().isEmpty());
    const QList<QRadioButton*> inFrame = frame->findChildren<QRadioButton*>();
    QCOMPARE(inFrame.size(), options.size());
    for (QRadioButton* option : inFrame) {
        QCOMPARE(option->group(), found);
    }
}

void MainFormControlsTest::selectingInOneGroupLeavesTheOthers() {
    const QList<QButtonGroup*> groups = {m_ui.roleGroup, m_ui.practiceModeGroup, m_ui.chatKindGroup,
                                         m_ui.speedGroup};
    for (QButtonGroup* group : groups) {
        for (QAbstractButton* option : group->buttons()) {
            QHash<QButtonGroup*, QAbstractButton*> before;
            for (QButtonGroup* other : groups) {
                before.insert(other, other->checkedButton());
            }
            option->click();
            QCOMPARE(group->checkedButton(), option);
            for (QAbstractButton* sibling : group->buttons()) {
                QCOMPARE(sibling->isChecked(), sibling == option);
            }
            for (QButtonGroup* other : groups) {
                if (other != group) {
                    QCOMPARE(other->checkedButton(), before.value(other));
                }
            }
        }
    }
}

void MainFormControlsTest::arrowKeysChooseWithinAGroup_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("fromChosen");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("chosen");
    // Chosen or only focused (no receive mode is chosen after connecting), the next one is chosen;
    // the ends wrap round, as in any desktop's option groups.
    QTest::newRow("down from the chosen")
        << u"StepMode_Option"_s << true << int(Qt::Key_Down) << u"NormalMode_Option"_s;
    QTest::newRow("right, none chosen")
        << u"StepMode_Option"_s << false << int(Qt::Key_Right) << u"NormalMode_Option"_s;
    QTest::newRow("up wraps to the last")
        << u"Speed25_Option"_s << true << int(Qt::Key_Up) << u"SpeedFree_Option"_s;
    QTest::newRow("left in the roles")
        << u"StudentOption"_s << true << int(Qt::Key_Left) << u"TeacherOption"_s;
}

void MainFormControlsTest::arrowKeysChooseWithinAGroup() {
    QFETCH(QString, from);
    QFETCH(bool, fromChosen);
    QFETCH(int, key);
    QFETCH(QString, chosen);
    showWindow();
    auto* start = control<QRadioButton>(from);
    if (fromChosen) {
        start->setChecked(true);
    }
    start->setFocus();
    QTest::keyClick(start, Qt::Key(key));
    auto* target = control<QRadioButton>(chosen);
    QVERIFY(target->isChecked());
    QCOMPARE(QApplication::focusWidget(), target);
}

void MainFormControlsTest::fineAdjustmentRangeAndSteps() {
    QScrollBar* bar = control<QScrollBar>(u"Speed_HScroll"_s);
    QCOMPARE(bar->orientation(), Qt::Horizontal);
    QCOMPARE(bar->minimum(), -20);
    QCOMPARE(bar->maximum(), 20);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(bar->singleStep(), 5);
    QCOMPARE(bar->pageStep(), 5);
    QVERIFY(bar->focusPolicy() & Qt::TabFocus);
    // Read out as the change of speed the label shows, never with the bar's own sign.
    m_ui.Label7->setText(u"微調整 + 5%"_s);
    bar->setValue(-5);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(bar);
    QCOMPARE(iface->valueInterface()->currentValue().toInt(), 5);
    QCOMPARE(iface->valueInterface()->maximumValue().toInt(), 20);
    QCOMPARE(iface->text(QAccessible::Description), u"微調整 + 5%"_s);
    iface->valueInterface()->setCurrentValue(10);
    QCOMPARE(bar->value(), -10);
}

void MainFormControlsTest::fineAdjustmentHasPlus20AtTheLeftEnd_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("place");
    QTest::addColumn<int>("expected");
    QTest::newRow("left arrow") << 0 << 0 << 5;
    QTest::newRow("track left of the handle") << 0 << 30 << 5;
    QTest::newRow("track right of the handle") << 0 << 70 << -5;
    QTest::newRow("right arrow") << 0 << 100 << -5;
    QTest::newRow("left arrow key") << 0 << kLeftKey << 5;
    QTest::newRow("right arrow key") << 0 << kRightKey << -5;
    // At +20 the handle sits at the left end, so a click there changes nothing; at -20 the
    // same click is on the track and pages towards the left.
    QTest::newRow("handle at +20") << 20 << kBesideLeftArrow << 20;
    QTest::newRow("track at -20") << -20 << kBesideLeftArrow << -15;
}

void MainFormControlsTest::fineAdjustmentHasPlus20AtTheLeftEnd() {
    QFETCH(int, start);
    QFETCH(int, place);
    QFETCH(int, expected);
    showWindow();
    QScrollBar* bar = control<QScrollBar>(u"Speed_HScroll"_s);
    bar->setValue(start);
    const int middle = bar->height() / 2;
    switch (place) {
        case kLeftKey:
            QTest::keyClick(bar, Qt::Key_Left);
            break;
        case kRightKey:
            QTest::keyClick(bar, Qt::Key_Right);
            break;
        case kBesideLeftArrow:
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->height() + 2, middle));
            break;
        default:  // a share of the width in per cent
            const int x = qBound(2, bar->width() * place / 100, bar->width() - 3);
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(x, middle));
    }
    QCOMPARE(bar->value(), expected);
}

void MainFormControlsTest::framesHoldTheirControls_data() {
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QStringList>("controls");
    QTest::newRow("tone") << u"toneFrame"_s << Names(u"ToneText hzLabel toneTestButton"_s);
    QTest::newRow("score") << u"scoreFrame"_s << Names(u"ScoreList"_s);
    QTest::newRow("answer") << u"answerFrame"_s << Names(u"AnswerText"_s);
    QTest::newRow("address") << u"IpFrame"_s
                             << Names(u"DispIpLabel SearchIpButton CheckGrovalIpButton"_s);
    QTest::newRow("speed") << u"speedFrame"_s << Names(u"Speed25_Option Speed_HScroll Label7"_s);
    QTest::newRow("lesson") << u"lessonFrame"_s
                            << Names(
                                   u"Label1 Label4 Label2 StartButton_Command StopButton_Command "
                                   u"KaitoupassButton_Command A_Button Num0_Button ScoreList "
                                   u"AnswerText"_s);
    QTest::newRow("link") << u"linkFrame"_s
                          << Names(
                                 u"CallsignText ConnectIpText ListenButton ConnectButton "
                                 u"CloseButton StatusLabel TeacherLabel StudentLabel "
                                 u"TeacherOption StudentOption"_s);
    QTest::newRow("chat") << u"chatFrame"_s
                          << Names(u"ChatText SendMessageText SendMessageButton optionMoji"_s);
}

void MainFormControlsTest::framesHoldTheirControls() {
    QFETCH(QString, frame);
    QFETCH(QStringList, controls);
    auto* found = control<QGroupBox>(frame);
    QVERIFY(found);
    for (const QString& name : controls) {
        QWidget* widget = control(name);
        QVERIFY2(widget && found->isAncestorOf(widget), qPrintable(name));
    }
}

void MainFormControlsTest::pairedControlsSitSideBySide_data() {
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("right");
    QTest::newRow("played count") << u"Label4"_s << u"Label5"_s;
    QTest::newRow("correct count") << u"Label2"_s << u"Label3"_s;
    QTest::newRow("tone unit") << u"ToneText"_s << u"hzLabel"_s;
    QTest::newRow("tone test") << u"hzLabel"_s << u"toneTestButton"_s;
    QTest::newRow("callsign") << u"callsignLabel"_s << u"CallsignText"_s;
    QTest::newRow("peer address") << u"IPLabel"_s << u"ConnectIpText"_s;
    QTest::newRow("send") << u"SendMessageText"_s << u"SendMessageButton"_s;
    QTest::newRow("copy address") << u"DispIpLabel"_s << u"SearchIpButton"_s;
}

void MainFormControlsTest::pairedControlsSitSideBySide() {
    QFETCH(QString, left);
    QFETCH(QString, right);
    showWindow();
    const QWidget* first = control(left);
    const QWidget* second = control(right);
    const QRect a(first->mapTo(m_window.get(), QPoint()), first->size());
    const QRect b(second->mapTo(m_window.get(), QPoint()), second->size());
    QVERIFY2(a.right() < b.left(), "not left of its partner");
    QVERIFY2(a.top() <= b.bottom() && b.top() <= a.bottom(), "not on the same line");
}

void MainFormControlsTest::answerButtonsFormRowsOfSix() {
    showWindow();
    auto position = [this](qsizetype index) {
        const QPushButton* button = m_ui.answerButtons.at(static_cast<std::size_t>(index));
        return button->mapTo(m_window.get(), QPoint());
    };
    for (qsizetype index = 0; index < kAnswerCharacters.size(); ++index) {
        const qsizetype rowStart = index - index % 6;
        QCOMPARE(position(index).y(), position(rowStart).y());   // same row
        QCOMPARE(position(index).x(), position(index % 6).x());  // same column as row 1
        if (index % 6 != 0) {
            QVERIFY(position(index).x() > position(index - 1).x());
        } else if (index > 0) {
            QVERIFY(position(index).y() > position(index - 6).y());
        }
    }
}

void MainFormControlsTest::changingTextsDoNotMoveOtherControls_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    QTest::newRow("display") << u"Label1"_s << u"ＢＴ ○×"_s;
    QTest::newRow("status") << u"StatusLabel"_s << u"相手局との接続を待っています。しばらく"_s;
    QTest::newRow("setter") << u"TeacherLabel"_s << u"出題者:JA1ABCDEFGHIJ[問題作成中]"_s;
    QTest::newRow("answerer") << u"StudentLabel"_s << u"JA1ABCDEFGHIJ[CWチャットモード45]"_s;
    QTest::newRow("address") << u"DispIpLabel"_s << u"192.168.100.200"_s;
}

void MainFormControlsTest::changingTextsDoNotMoveOtherControls() {
    QFETCH(QString, label);
    QFETCH(QString, text);
    showWindow();
    const QList<QWidget*> widgets = m_window->findChildren<QWidget*>();
    QList<QRect> before;
    for (const QWidget* widget : widgets) {
        before << widget->geometry();
    }
    control<QLabel>(label)->setText(text);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    for (qsizetype index = 0; index < widgets.size(); ++index) {
        QVERIFY2(widgets.at(index)->geometry() == before.at(index),
                 qPrintable(widgets.at(index)->objectName()));
    }
}

void MainFormControlsTest::accessibleNamesAreUniqueInTheWindow() {
    QHash<QString, QString> owners;  // accessible name -> objectName
    QList<QWidget*> widgets = m_window->findChildren<QWidget*>();
    widgets.prepend(m_window.get());
    for (QWidget* widget : widgets) {
        // A caption names its control and so carries the same name.
        auto* label = qobject_cast<QLabel*>(widget);
        if (label && label->buddy()) {
            continue;
        }
        const QString name = AccessibleText(widget, QAccessible::Name);
        if (name.isEmpty()) {
            continue;
        }
        QVERIFY2(!owners.contains(name), qPrintable(name + u" on "_s + widget->objectName() +
                                                    u" and "_s + owners.value(name)));
        owners.insert(name, widget->objectName());
    }
}

void MainFormControlsTest::tabVisitsTheControlsInWorkingOrder() {
    // The link, the role, mode, speed and tone, the lesson, the chat; the answer buttons last.
    // An option group is one stop (its arrow keys move within it); disabled controls are passed.
    // No box keeps the focus (the tone box's digit filter once swallowed Tab).
    const QStringList expected = Names(
        u"CallsignText ConnectIpText AcceptOnlyPeerCheck ListenButton ConnectButton CloseButton "
        u"TeacherOption "
        "StepMode_Option Speed25_Option freeSpeedButton Speed_HScroll ToneText toneTestButton "
        "SaveSetButton_Command StartButton_Command StopButton_Command "
        "ScoreList AnswerText CopyResult optionMoji ChatText SendMessageText SendMessageButton "
        "SearchIpButton CheckGrovalIpButton A_Button B_Button"_s);
    showWindow();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    // The window opens where the user must act first.
    QCOMPARE(QApplication::focusWidget(), m_ui.CallsignText);
    QStringList visited;
    for (int i = 0; i < expected.size(); ++i) {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(visited, expected);
}

void MainFormControlsTest::everyButtonHasItsOwnAccessKey() {
    // Alt + a letter of its own, clear of the menu bar's letters and of the check boxes', for
    // every button but the 36 answer buttons (typed keys answer); a caption changed by a role
    // keeps its key.
    LessonState lesson;
    LessonPanelView panel(m_ui, lesson);
    ApplyRoleControls(m_ui, panel, true);
    QSet<QString> taken;
    for (QAction* menu : m_window->menuBar()->actions()) {
        taken.insert(QKeySequence::mnemonic(menu->text()).toString());
    }
    for (QCheckBox* box : m_window->findChildren<QCheckBox*>()) {
        taken.insert(box->shortcut().toString());
    }
    QVERIFY(taken.contains(u"Alt+O"_s));
    for (QPushButton* button : m_window->findChildren<QPushButton*>()) {
        if (std::find(m_ui.answerButtons.begin(), m_ui.answerButtons.end(), button) !=
            m_ui.answerButtons.end()) {
            continue;
        }
        const QString key = button->shortcut().toString();
        QVERIFY2(key.startsWith(u"Alt+"_s) && !taken.contains(key),
                 qPrintable(button->objectName() + u" "_s + key));
        taken.insert(key);
    }
}

void MainFormControlsTest::valueLabelsReadOutWhatTheyShow() {
    const QList<AccessibleValueLabel*> labels = m_window->findChildren<AccessibleValueLabel*>();
    // Label1, 2, 4, 7, the link labels, both addresses, the sound, the copy's score, the free
    // speed, the band
    QCOMPARE(labels.size(), 13);
    for (AccessibleValueLabel* label : labels) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(label);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::StaticText);
        const QString name = iface->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(label->objectName()));
        for (const QString& text : {u"12"_s, u"出題者:JA1ABC[問題作成中]"_s, QString()}) {
            label->setText(text);
            QCOMPARE(iface->text(QAccessible::Description), text);
            QCOMPARE(iface->text(QAccessible::Value), text);
            QCOMPARE(iface->text(QAccessible::Name), name);
        }
    }
}

void MainFormControlsTest::labelsShowPlainText() {
    // Texts from the peer or a file must never be read as markup.
    for (const QLabel* label : m_window->findChildren<QLabel*>()) {
        QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
    }
}

void MainFormControlsTest::logAndAnswerAreReadOnlyPlainText() {
    for (const QString& name : {u"ChatText"_s, u"AnswerText"_s}) {
        auto* text = control<QPlainTextEdit>(name);
        QVERIFY2(text && text->isReadOnly(), qPrintable(name));
    }
}

void MainFormControlsTest::windowTitleFontAndStatusBar() {
    QCOMPARE(m_window->windowTitle(), u"Quillstart\u3000<ネット版>"_s);
    if (QFontDatabase::families().contains(u"IPAGothic"_s)) {
        QCOMPARE(m_window->font().family(), u"IPAGothic"_s);
    }
    QVERIFY(m_window->statusBar()->isAncestorOf(control(u"soundStatusLabel"_s)));
}

QTEST_MAIN(MainFormControlsTest)
#include "test_mainform_controls.moc"
