#include "core/kit/LessonState.h"

#include "core/kit/SharedTexts.h"

QString Caption(MainButton state) {
    switch (state) {
        case MainButton::Set:
            return StartCaption::kSet;
        case MainButton::Ready:
            return StartCaption::kReady;
        case MainButton::Waiting:
            return StartCaption::kWaiting;
        case MainButton::Preparing:
            return StartCaption::kPreparing;
        case MainButton::Next:
            return StartCaption::kNext;
        case MainButton::Retry:
            return StartCaption::kRetry;
        case MainButton::Start:
            break;
    }
    return StartCaption::kStart;
}

QString Caption(StopButton state) {
    return state == StopButton::Stop ? StopCaption::kStop : StopCaption::kModeSwitch;
}

QString CountText(const std::optional<int>& count) {
    return count ? QString::number(*count) : QStringLiteral(" - ");
}
