#pragma once

#include <QString>

// The folder of synthesised sound files. Both operations ignore their errors.
namespace SoundFolder {

// Creates the folder and its marker file "dummy.wav" (record 1 = 0).
void Prepare(const QString& folder);

// Deletes the files this program writes there (the marker and one file per Morse symbol), then
// the folder if it is empty. Files of other names stay, and nothing is deleted through a link.
void Remove(const QString& folder);

}  // namespace SoundFolder
