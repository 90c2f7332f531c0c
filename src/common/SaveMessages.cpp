#include "common/SaveMessages.h"

namespace {

const QString kSeparator = QStringLiteral("、");

}  // namespace

namespace SaveMessages {

QString Refused(const RecordFile::Access& access, const QString& path, const QString& what) {
    const QString message =
        QStringLiteral("設定ファイル「%1」に書き込めないため、%2は保存されませんでした。\n")
            .arg(path, what);
    switch (access.refusal) {
        case RecordFile::Refusal::NotRegular:
            return message + QStringLiteral(
                                 "通常のファイルではありません（フォルダー、名前付きパイプ、"
                                 "装置、行き先のないリンクなど）。");
        case RecordFile::Refusal::NotThisLayout:
            return message + QStringLiteral(
                                 "このプログラムの設定ファイルではない別のファイル（または、"
                                 "そのようなファイルへのリンク）のため、その内容を壊さないよう"
                                 "書き込みませんでした。移動するか名前を変えてから、もう一度"
                                 "保存して下さい。");
        case RecordFile::Refusal::CannotOpen:
        case RecordFile::Refusal::None:
            break;
    }
    return message + QStringLiteral("ファイルとフォルダーの書き込み権限を確認して下さい。");
}

QString WritesFailed(const QString& path, const QStringList& names) {
    return QStringLiteral(
               "設定ファイル「%1」への書き込みに失敗したため、次の設定は保存できませんでした："
               "%2")
        .arg(path, names.join(kSeparator));
}

QString KeptForThisRun(const QString& path) {
    return QStringLiteral(
               "設定ファイル %1 に保存できませんでした。この設定は今回の起動中だけ有効です。")
        .arg(path);
}

QString NotStored(const QString& path, const QStringList& names) {
    return QStringLiteral(
               "設定ファイル「%1」に書き込めないため、次の設定は保存できませんでした：%2\n"
               "書き込み権限を確認し、同じ名前のフォルダーや別のファイルがあれば移動して"
               "下さい。")
        .arg(path, names.join(kSeparator));
}

}  // namespace SaveMessages
