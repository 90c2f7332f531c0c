#include "core/kit/LinkState.h"

QString Text(LinkMode mode) {
    switch (mode) {
        case LinkMode::Unchosen:
            return QStringLiteral("モード未選択");
        case LinkMode::Normal:
            return QStringLiteral("ノーマルモード");
        case LinkMode::Step:
            return QStringLiteral("ステップモード");
        case LinkMode::TextChat:
            return QStringLiteral("文字チャットモード");
        case LinkMode::CwChat:
            return QStringLiteral("CWチャットモード");
        case LinkMode::Empty:
            break;
    }
    return {};
}

QString Text(LinkStatus status) {
    switch (status) {
        case LinkStatus::Composing:
            return QStringLiteral("問題作成中");
        case LinkStatus::QuestionSent:
            return QStringLiteral("問題送信済");
        case LinkStatus::SettingAborted:
            return QStringLiteral("出題中止");
        case LinkStatus::Ready:
            return QStringLiteral("解答準備完了");
        case LinkStatus::TestRunning:
            return QStringLiteral("受験中");
        case LinkStatus::TestFinished:
            return QStringLiteral("受験終了");
        case LinkStatus::TestAborted:
            return QStringLiteral("受験中止");
        case LinkStatus::Typing:
            return QStringLiteral("(入力中)");
        case LinkStatus::Sending:
            return QStringLiteral("送信中");
        case LinkStatus::SendingEnded:
            return QStringLiteral("送信終了");
        case LinkStatus::Receiving:
            return QStringLiteral("受信中");
        case LinkStatus::ReceivingEnded:
            return QStringLiteral("受信終了");
        case LinkStatus::Empty:
            break;
    }
    return {};
}

QString SpeedText(int perMinute) {
    return perMinute > 0 ? QString::number(perMinute) : QString();
}

QString MySpeedText(const LinkState& s) {
    return s.myExactSpeed.isEmpty() ? SpeedText(s.mySpeed) : s.myExactSpeed;
}

QString PeerSpeedText(const LinkState& s) {
    return s.peerExactSpeed.isEmpty() ? SpeedText(s.peerSpeed) : s.peerExactSpeed;
}
