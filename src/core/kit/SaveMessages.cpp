#include "core/kit/SaveMessages.h"

#include "core/kit/ProgramSettings.h"

namespace {

const QString kSeparator = QStringLiteral("、");

QString WhyAndWhatToDo(const OwnFile::Access& access, const QString& file) {
    QString text = SaveMessages::Why(access, file);
    if (access.refusal == OwnFile::Refusal::NotOwn) {
        text += QStringLiteral("移動するか名前を変えてから、もう一度保存して下さい。");
    }
    return text;
}

// Why the program's own settings file refuses writes, as it stands now.
QString WhyNotStored(const QString& path) {
    return WhyAndWhatToDo(ProgramSettings(path).writeAccess(), SaveMessages::kSettingsFile);
}

}  // namespace

namespace SaveMessages {

QString Why(const OwnFile::Access& access, const QString& file) {
    switch (access.refusal) {
        case OwnFile::Refusal::NotRegular:
            return QStringLiteral(
                "通常のファイルではありません（フォルダー、名前付きパイプ、装置、"
                "行き先のないリンクなど）。");
        case OwnFile::Refusal::NotOwn:
            return QStringLiteral(
                       "このプログラムの%1ではない別のファイル（または、そのようなファイルへの"
                       "リンク）のため、その内容を壊さないよう書き込みませんでした。")
                .arg(file);
        case OwnFile::Refusal::CannotOpen:
        case OwnFile::Refusal::None:
            break;
    }
    return QStringLiteral("ファイルとフォルダーの書き込み権限を確認して下さい。");
}

QString Refused(const OwnFile::Access& access, const QString& path, const QString& what,
                const QString& file) {
    return QStringLiteral("%1「%2」に書き込めないため、%3は保存されませんでした。\n")
               .arg(file, path, what) +
           WhyAndWhatToDo(access, file);
}

QString WritesFailed(const QString& path, const QStringList& names) {
    return QStringLiteral(
               "設定ファイル「%1」への書き込みに失敗したため、次の設定は保存できませんでした："
               "%2")
        .arg(path, names.join(kSeparator));
}

QString KeptForThisRun(const QString& path) {
    return QStringLiteral(
               "設定ファイル %1 に保存できませんでした。この設定は今回の起動中だけ有効です。\n")
               .arg(path) +
           WhyNotStored(path);
}

QString NotStored(const QString& path, const QStringList& names) {
    return QStringLiteral(
               "設定ファイル「%1」に書き込めないため、次の設定は保存できませんでした：%2\n")
               .arg(path, names.join(kSeparator)) +
           WhyNotStored(path);
}

}  // namespace SaveMessages
