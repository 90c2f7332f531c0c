#include "app/MainSettings.h"

#include "common/SettingsRecords.h"

#include "morse/MorseTiming.h"
#include "morse/ToneFrequency.h"

QStringList SaveMainSettings(RecordFile& file, const MainSettings& settings) {
    QStringList notSaved;
    const std::optional<qint16> tone = ToneTextAsInt16(settings.toneText);
    if (!tone || !file.writeInt(SettingsRecord::Tone, *tone)) {
        notSaved << QStringLiteral("トーン周波数");
    }
    if (settings.speed) {
        file.writeInt(SettingsRecord::Speed, static_cast<qint16>(*settings.speed));
    }
    if (IsFineAdjustStep(settings.fineAdjust)) {
        file.writeInt(SettingsRecord::FineAdjust, static_cast<qint16>(settings.fineAdjust));
    }
    if (settings.soundMode) {
        file.writeText(SettingsRecord::SoundMode, *settings.soundMode);
    }
    if (file.writeText(SettingsRecord::Callsign, settings.callsign) !=
        RecordFile::TextWrite::Written) {
        notSaved << QStringLiteral("コールサイン");
    }
    if (file.writeText(SettingsRecord::PeerAddress, settings.peerAddress) !=
        RecordFile::TextWrite::Written) {
        notSaved << QStringLiteral("接続先IP");
    }
    return notSaved;
}

bool SaveCallsign(RecordFile& file, const QString& callsign) {
    return file.writeText(SettingsRecord::Callsign, callsign) == RecordFile::TextWrite::Written;
}
