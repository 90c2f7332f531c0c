#include "ui/app/KochCourseMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "core/history/HistoryReader.h"
#include "core/kit/RegularFile.h"
#include "core/kit/SaveMessages.h"
#include "core/lesson/QuestionFile.h"
#include "ui/app/PartnerUi.h"
#include "ui/kit/Announcer.h"
#include "ui/kit/DesktopServices.h"

using namespace Qt::StringLiterals;

namespace {

const QString kKochTitle = u"Kochコース"_s;
// An order file is a line of 36 characters at most; anything far longer is not one.
constexpr qint64 kLongestOrderFile = 4096;

}  // namespace

KochCourseMenu::KochCourseMenu(const FormContext& form, const PartnerUi& ui, Announcer& announcer,
                               QString historyPath, QObject* parent)
    : QObject(parent),
      m_form(form),
      m_announcer(announcer),
      m_historyPath(std::move(historyPath)),
      m_path(KochCoursePath(m_historyPath)),
      m_course(LoadKochCourse(m_path)),
      m_menu(ui.mnuPartner->addMenu(kKochTitle)),
      m_levels(new QMenu(u"段階を選ぶ(&L)"_s, m_menu)),
      m_levelGroup(new QActionGroup(this)) {
    m_menu->setObjectName(u"mnuKochCourse"_s);
    m_levels->setObjectName(u"mnuKochLevels"_s);
    QAction* status =
        m_menu->addAction(u"段階と次の条件(&S)..."_s, this, &KochCourseMenu::showStatus);
    status->setObjectName(u"mnuKochStatus"_s);
    QAction* back = m_menu->addAction(u"前の段階に戻る(&B)"_s, this, &KochCourseMenu::goBack);
    back->setObjectName(u"mnuKochBack"_s);
    m_menu->addMenu(m_levels);
    QAction* order = m_menu->addAction(u"文字の順序をファイルから読む(&O)..."_s, this,
                                       &KochCourseMenu::readOrder);
    order->setObjectName(u"mnuKochOrder"_s);
    showLevel();
}

KochGate KochCourseMenu::gate() const {
    HistoryReader reader(m_historyPath);
    reader.open();
    return JudgeKochGate(reader.recentConfusions(KochGate::kRecentLessons), m_course.newest());
}

void KochCourseMenu::lessonKept() {
    if (m_course.atEnd() || !gate().ready()) {
        return;
    }
    setLevel(m_course.level + 1);
    m_announcer.announce(
        u"新しい文字 %1 を加えました。%2"_s.arg(m_course.newest()).arg(KochLevelText(m_course)));
}

void KochCourseMenu::showStatus() {
    m_form.desktop.showMessage(&m_form.window, DesktopServices::Icon::Information, kKochTitle,
                               KochLevelText(m_course) + u'\n' + KochNeedText(m_course, gate()));
}

void KochCourseMenu::setLevel(int level) {
    m_course.setLevel(level);
    keep();
}

void KochCourseMenu::goBack() {
    if (m_course.level <= KochCourse::kFirstLevel) {
        m_form.desktop.showMessage(
            &m_form.window, DesktopServices::Icon::Information, kKochTitle,
            u"段階 %1 は最初の段階のため、これより前には戻れません。"_s.arg(m_course.level));
        return;
    }
    setLevel(m_course.level - 1);
}

void KochCourseMenu::readOrder() {
    const QString path = m_form.desktop.openFileName(&m_form.window, u"文字の順序"_s,
                                                     u"テキスト (*.txt);;すべて (*)"_s);
    if (path.isEmpty()) {
        return;
    }
    // Read as question files are: a regular file only, never waited on, never read for ever.
    const RegularFile::Contents contents = RegularFile::Read(path, kLongestOrderFile + 1);
    QString error = u"ファイルを読めません。"_s;
    std::optional<QString> order;
    if (contents.opening.status == RegularFile::Status::NotRegular) {
        error = u"通常のファイルではありません（フォルダー、名前付きパイプ、装置など）。"_s;
    } else if (contents.bytes.size() > kLongestOrderFile) {
        error = u"文字の順序のファイルとしては大きすぎます。"_s;
    } else if (contents.opening.opened()) {
        order = ParseKochOrder(QuestionFile::Decode(contents.bytes), &error);
    }
    if (!order) {
        m_form.desktop.showMessage(&m_form.window, DesktopServices::Icon::Warning, kKochTitle,
                                   u"文字の順序を読めませんでした: %1"_s.arg(error));
        return;
    }
    m_course.order = *order;
    setLevel(m_course.level);
}

void KochCourseMenu::keep() {
    const OwnFile::Access access = SaveKochCourse(m_path, m_course);
    if (!access.allowed()) {
        m_form.desktop.showMessage(
            &m_form.window, DesktopServices::Icon::Warning, kKochTitle,
            SaveMessages::Refused(access, m_path, u"Kochコースの段階と文字の順序"_s,
                                  kKochCourseFile));
    }
    showLevel();
}

void KochCourseMenu::showLevel() {
    m_menu->setTitle(u"Kochコース（段階 %1）(&K)"_s.arg(m_course.level));
    m_levels->clear();
    for (QAction* action : m_levelGroup->actions()) {
        m_levelGroup->removeAction(action);
    }
    for (int level = KochCourse::kFirstLevel; level <= m_course.order.size(); ++level) {
        QAction* action =
            m_levels->addAction(u"%1（%2 まで）"_s.arg(level).arg(m_course.order.at(level - 1)),
                                this, [this, level] { setLevel(level); });
        action->setCheckable(true);
        action->setChecked(level == m_course.level);
        m_levelGroup->addAction(action);
    }
}
