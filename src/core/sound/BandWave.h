#pragma once

#include <QVector>
#include <QtGlobal>

// A recorded mark (a run of tone from a WAV file) as another sender's key and transmitter would
// send it. A recording cannot be synthesised again at another pitch or length, so both work on
// its own periods: the weight repeats or leaves out whole periods in the mark's middle, the
// chirp reads its start a little faster, then a little slower, so the pitch glides down to the
// recorded one and the mark keeps its length. A mark without a steady pitch is left as it is.
namespace BandWave {

// The mark about factor times as long, by whole periods.
QVector<qint16> Reweighted(const QVector<qint16>& mark, double factor);
// The mark's pitch chirpHz higher at its start, gliding back within some milliseconds.
QVector<qint16> Chirped(const QVector<qint16>& mark, double chirpHz, double decaySamples);

}  // namespace BandWave
