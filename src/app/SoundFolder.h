#pragma once

#include <QString>

// The folder of synthesised sound files. Both operations ignore their errors.
namespace SoundFolder {

// Creates the folder and its marker file "dummy.wav" (record 1 = 0).
void Prepare(const QString& folder);

// Deletes every "*.wav" in the folder, then the folder if it is empty.
void Remove(const QString& folder);

}  // namespace SoundFolder
