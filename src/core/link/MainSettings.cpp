#include "core/link/MainSettings.h"

#include "core/kit/SaveMessages.h"
#include "core/kit/SettingsRecords.h"
#include "core/morse/MorseTiming.h"
#include "core/morse/ToneFrequency.h"

namespace {

const QString kToneName = QStringLiteral("トーン周波数");
const QString kCallsignName = QStringLiteral("コールサイン");
const QString kPeerAddressName = QStringLiteral("接続先IP");
const QString kAcceptOnlyPeerName = QStringLiteral("接続先IPからの接続だけ受け付ける");
const QString kFreeSpeedName = QStringLiteral("自由な速度");

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

void NoteNotStored(SaveOutcome& outcome, const ProgramSettings& store, const QString& name) {
    outcome.notStored << name;
    outcome.storePath = store.path();
}

void SavePeerAddress(SaveOutcome& outcome, RecordFile& file, ProgramSettings& store,
                     const QString& address) {
    const int record = SettingsRecord::PeerAddress;
    if (address.size() > kLongestPeerAddress) {
        outcome.unfit << kPeerAddressName;
    } else if (RecordFile::CanHold(address)) {
        const RecordFile::TextWrite written = file.writeText(record, address);
        NoteText(outcome, written, kPeerAddressName);
        // A longer address kept before would come back at start-up if this one is empty.
        if (written == RecordFile::TextWrite::Written &&
            !store.remove(ProgramSettingKey::PeerAddress) && address.isEmpty()) {
            NoteNotStored(outcome, store, kPeerAddressName);
        }
    } else if (!store.setValue(ProgramSettingKey::PeerAddress, address)) {
        // The record keeps its address rather than lose both.
        NoteNotStored(outcome, store, kPeerAddressName);
    } else {
        NoteText(outcome, file.writeText(record, QString()), kPeerAddressName);
    }
}

QString Hint(const QString& name) {
    if (name == kToneName) {
        return QStringLiteral("トーン周波数は -32768～32767 の整数で入力して下さい。");
    }
    if (name == kCallsignName) {
        return QStringLiteral("コールサインは半角12文字（全角6文字）以内で入力して下さい。");
    }
    return QStringLiteral("接続先IPは%1文字以内で入力して下さい。").arg(kLongestPeerAddress);
}

}  // namespace

SaveOutcome SaveMainSettings(RecordFile& file, ProgramSettings& store,
                             const MainSettings& settings) {
    SaveOutcome outcome;
    outcome.access = file.writeAccess();
    if (outcome.fileUnwritable()) {
        return outcome;
    }
    if (settings.tone) {
        NoteWrite(outcome, file.writeInt(SettingsRecord::Tone, *settings.tone), kToneName);
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
    SavePeerAddress(outcome, file, store, settings.peerAddress);
    if (!SaveAcceptOnlyPeer(store, settings.acceptOnlyPeer)) {
        NoteNotStored(outcome, store, kAcceptOnlyPeerName);
    }
    if (!SaveFreeSpeedChoice(store, settings.freeSpeed)) {
        NoteNotStored(outcome, store, kFreeSpeedName);
    }
    return outcome;
}

QString LoadPeerAddress(const RecordFile& file, const ProgramSettings& store) {
    const QString recorded = file.readText(SettingsRecord::PeerAddress);
    if (!recorded.isEmpty()) {
        return recorded;
    }
    return store.value(ProgramSettingKey::PeerAddress).toString().left(kLongestPeerAddress);
}

bool LoadAcceptOnlyPeer(const ProgramSettings& store) {
    // Anything but what was written reads as the default, off.
    return store.value(ProgramSettingKey::AcceptOnlyPeer).toString() == u"true";
}

bool SaveAcceptOnlyPeer(ProgramSettings& store, bool on) {
    // Off is the default: nothing is written for it, so no file is made for a setting never used.
    return on ? store.setValue(ProgramSettingKey::AcceptOnlyPeer, true)
              : store.remove(ProgramSettingKey::AcceptOnlyPeer);
}

QString AcceptOnlyPeerNotKeptMessage(const ProgramSettings& store) {
    return SaveMessages::NotStored(store.path(), {kAcceptOnlyPeerName}) +
           QStringLiteral("\nこの選択は、プログラムを終えるまでは有効です。");
}

bool SaveCallsign(RecordFile& file, const QString& callsign) {
    return file.writeText(SettingsRecord::Callsign, callsign) == RecordFile::TextWrite::Written;
}

QString SaveOutcomeMessage(const SaveOutcome& outcome, const QString& path) {
    if (outcome.fileUnwritable()) {
        return SaveMessages::Refused(outcome.access, path, QStringLiteral("設定"));
    }
    QStringList parts;
    const QString separator = QStringLiteral("、");
    if (!outcome.unfit.isEmpty()) {
        QStringList hints;
        for (const QString& name : outcome.unfit) {
            hints << Hint(name);
        }
        parts << QStringLiteral("次の設定は保存できませんでした：%1\n\n%2")
                     .arg(outcome.unfit.join(separator), hints.join(QStringLiteral("\n")));
    }
    if (!outcome.failed.isEmpty()) {
        parts << SaveMessages::WritesFailed(path, outcome.failed);
    }
    if (!outcome.notStored.isEmpty()) {
        parts << SaveMessages::NotStored(outcome.storePath, outcome.notStored);
    }
    parts << QStringLiteral("それ以外の設定は保存しました。");
    return parts.join(QStringLiteral("\n"));
}
