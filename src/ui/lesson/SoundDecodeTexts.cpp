#include "ui/lesson/SoundDecodeTexts.h"

using namespace Qt::StringLiterals;

namespace SoundDecodeTexts {

namespace {

QString CaptureFaultText(CaptureFault fault) {
    switch (fault) {
        case CaptureFault::None:
            break;
        case CaptureFault::NoServer:
            return u"サウンドサーバーが見つかりません。PulseAudio か PipeWire が動いているか確かめて下さい。"_s;
        case CaptureFault::ServerSilent:
            return u"サウンドサーバーが応答しません。しばらくしてから「更新」を押して下さい。"_s;
        case CaptureFault::ServerGone:
            return u"サウンドサーバーが終了しました。サーバーを起動し直してから「更新」を押して下さい。"_s;
        case CaptureFault::ListRefused:
            return u"サウンドサーバーが入力の一覧を返しませんでした。"_s;
        case CaptureFault::BadFormat:
            return u"この入力の形式では録音できません。"_s;
        case CaptureFault::SourceGone:
            return u"選んだ入力がなくなりました（機器が外されたか、出力が削除されました）。「更新」で選び直して下さい。"_s;
        case CaptureFault::StreamFailed:
            return u"サウンドサーバーが録音を拒否したか、録音を終わらせました。"_s;
        case CaptureFault::NoData:
            return u"しばらく音が届いていません。入力が止まっていないか確かめて下さい。"_s;
    }
    return {};
}

QString RefusalWords(WaveInput::Result::Status status) {
    using Status = WaveInput::Result::Status;
    switch (status) {
        case Status::Read:
            break;
        case Status::CannotOpen:
            return u"ファイルを開けません"_s;
        case Status::NotRegularFile:
            return u"通常のファイルではありません（フォルダー、FIFO、デバイスなど）"_s;
        case Status::TooLong:
            return u"ファイルが大きすぎます"_s;
        case Status::NotWave:
            return u"WAVファイルではありません"_s;
        case Status::NotPcm:
            return u"このWAVファイルの形式（圧縮されたものなど）は読めません"_s;
        case Status::Unplayable:
            return u"サンプリング周波数かチャンネル数が録音のものではありません"_s;
    }
    return {};
}

QString CaptureStatus(const SoundDecodingSession& session) {
    const QString fault = CaptureFaultText(session.captureFault());
    switch (session.captureState()) {
        case CaptureStream::State::Connecting:
            return u"入力に接続しています…"_s;
        case CaptureStream::State::Running:
            return u"録音して解読しています（%1 Hz）。"_s.arg(session.sampleRate());
        case CaptureStream::State::Stalled:
            return fault.isEmpty() ? u"音が途切れています。"_s : fault;
        case CaptureStream::State::Failed:
            return u"録音できません: "_s + (fault.isEmpty() ? u"理由は不明です。"_s : fault);
        case CaptureStream::State::Stopped:
            break;
    }
    return u"録音を停止しました。"_s;
}

}  // namespace

QString Status(const SoundDecodingSession& session) {
    switch (session.input()) {
        case SoundDecodingSession::Input::Capture:
            return CaptureStatus(session);
        case SoundDecodingSession::Input::File:
            return session.fileTruncated()
                       ? u"WAVファイルが途中で切れています。ある所まで解読します。"_s
                       : u"WAVファイルを解読しています。"_s;
        case SoundDecodingSession::Input::None:
            break;
    }
    const QString fault = CaptureFaultText(session.captureFault());
    return fault.isEmpty() ? u"入力を選んで「開始」を押すか、WAVファイルを開いて下さい。"_s : fault;
}

QString ListingFault(CaptureFault fault) {
    return CaptureFaultText(fault);
}

QString FileRefused(WaveInput::Result::Status status, const QString& reason) {
    const QString why = RefusalWords(status);
    if (why.isEmpty()) {
        return {};
    }
    return u"WAVファイルを開けませんでした。"_s + why +
           (reason.isEmpty() ? QString() : u": "_s + reason) + u"。"_s;
}

QString FileHeard(bool cutOff) {
    return cutOff ? u"WAVファイルは途中で切れていました。ある所まで解読しました。"_s
                  : u"WAVファイルを最後まで解読しました。"_s;
}

QString Pitch(double hz) {
    return u"%1 Hz"_s.arg(qRound(hz));
}

QString Speed(double wpm) {
    return wpm > 0 ? u"%1 WPM"_s.arg(qRound(wpm)) : u"速度 推定中"_s;
}

QString SourceCaption(const CaptureSource& source) {
    const QString name = source.description.isEmpty() ? source.name : source.description;
    return source.monitorOfOutput ? name + u"（出力のモニター）"_s : name;
}

}  // namespace SoundDecodeTexts
