#include "app/MainSettings.h"

#include "common/SettingsRecords.h"
#include "morse/MorseTiming.h"
#include "morse/ToneFrequency.h"

namespace {

const QString kToneName = QStringLiteral("トーン周波数");
const QString kCallsignName = QStringLiteral("コールサイン");
const QString kPeerAddressName = QStringLiteral("接続先IP");

void NoteText(SaveOutcome& outcome, RecordFile::TextWrite result, const QString& name) {
    if (result == RecordFile::TextWrite::FileError) {
        outcome.failed << name;
    } else if (result != RecordFile::TextWrite::Written) {
        outcome.unfit << name;
    }
}

void NoteWrite(SaveOutcome& outcome, bool written, const QString& name) {
    if (!written) {
        outcome.failed << name;
    }
}

}  // namespace

SaveOutcome SaveMainSettings(RecordFile& file, const MainSettings& settings) {
    SaveOutcome outcome;
    if (!file.canWrite()) {
        outcome.fileUnwritable = true;
        return outcome;
    }
    if (const std::optional<qint16> tone = ToneTextAsInt16(settings.toneText)) {
        NoteWrite(outcome, file.writeInt(SettingsRecord::Tone, *tone), kToneName);
    } else {
        outcome.unfit << kToneName;
    }
    if (settings.speed) {
        NoteWrite(outcome,
                  file.writeInt(SettingsRecord::Speed, static_cast<qint16>(*settings.speed)),
                  QStringLiteral("速度"));
    }
    if (IsFineAdjustStep(settings.fineAdjust)) {
        NoteWrite(
            outcome,
            file.writeInt(SettingsRecord::FineAdjust, static_cast<qint16>(settings.fineAdjust)),
            QStringLiteral("微調整"));
    }
    if (settings.soundMode) {
        NoteText(outcome, file.writeText(SettingsRecord::SoundMode, *settings.soundMode),
                 QStringLiteral("サウンド"));
    }
    NoteText(outcome, file.writeText(SettingsRecord::Callsign, settings.callsign), kCallsignName);
    NoteText(outcome, file.writeText(SettingsRecord::PeerAddress, settings.peerAddress),
             kPeerAddressName);
    return outcome;
}

bool SaveCallsign(RecordFile& file, const QString& callsign) {
    return file.writeText(SettingsRecord::Callsign, callsign) == RecordFile::TextWrite::Written;
}

QString SaveOutcomeMessage(const SaveOutcome& outcome, const QString& path) {
    if (outcome.fileUnwritable) {
        return QStringLiteral(
                   "設定ファイル「%1」に書き込めないため、設定は保存されませんでした。\n"
                   "ファイルとフォルダーの書き込み権限を確認して下さい。")
            .arg(path);
    }
    QStringList parts;
    const QString separator = QStringLiteral("、");
    if (!outcome.unfit.isEmpty()) {
        parts << QStringLiteral(
                     "次の設定は保存できませんでした：%1\n\n"
                     "トーン周波数は -32768～32767 の整数で、コールサインと接続先IPは"
                     "半角12文字（全角6文字）以内で入力して下さい。")
                     .arg(outcome.unfit.join(separator));
    }
    if (!outcome.failed.isEmpty()) {
        parts << QStringLiteral(
                     "設定ファイル「%1」への書き込みに失敗したため、次の設定は"
                     "保存できませんでした：%2")
                     .arg(path, outcome.failed.join(separator));
    }
    parts << QStringLiteral("それ以外の設定は保存しました。");
    return parts.join(QStringLiteral("\n"));
}
