#include "core/history/LessonRecord.h"

using namespace Qt::StringLiterals;

QString ModeName(LessonRecord::Mode mode) {
    return mode == LessonRecord::Mode::Step ? u"step"_s : u"normal"_s;
}

LessonRecord::Mode ModeNamed(QStringView name) {
    return name == u"normal" ? LessonRecord::Mode::Normal : LessonRecord::Mode::Step;
}
