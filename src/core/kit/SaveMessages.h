#pragma once

#include <QString>
#include <QStringList>

#include "core/kit/OwnFile.h"

// Why settings were not saved, in the same words wherever the program saves them. The names are
// the Japanese names of the settings as the windows show them.
namespace SaveMessages {

inline const QString kSettingsFile = QStringLiteral("設定ファイル");

// Why one of the program's files (`file`: what it is, "設定ファイル") refused a write, in a
// sentence or two.
QString Why(const OwnFile::Access& access, const QString& file);

// The file refuses every write: what was not saved (`what`, "設定" for all of them), why, and
// what the user can do about it.
QString Refused(const OwnFile::Access& access, const QString& path, const QString& what,
                const QString& file = kSettingsFile);

// The record file opened, but these writes failed.
QString WritesFailed(const QString& path, const QStringList& names);

// The program's own settings file, beside the record file, refused these.
QString NotStored(const QString& path, const QStringList& names);

// A dialog's settings could not be written to the program's own settings file: they hold until
// the program ends.
QString KeptForThisRun(const QString& path);

}  // namespace SaveMessages
