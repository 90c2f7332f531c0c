#pragma once

#include <QVector>
#include <QtGlobal>

class BandFilter;

// What every effect's sound is made against: the band's seed and the receiver around the tone.
struct BandReceiver {
    quint64 seed = 1;
    int toneHz = 800;
    const BandFilter& filter;
};

// One effect of the band as the sound output renders it, at sample indices of the band's own
// timeline. An effect overrides the hooks it needs; each of the others leaves the sound as it is.
// The same index gives the same samples however the rendering is cut into blocks.
class BandSound {
  public:
    virtual ~BandSound() = default;

    // Added at the receiver's input, before its filter (noise, crashes): samples [first, +count).
    virtual bool addsInput() const { return false; }
    virtual void addInput(qint64 /*first*/, double* /*samples*/, int /*count*/) const {}
    // Heard beside the wanted signal, after the filter (other stations).
    virtual bool addsBeside() const { return false; }
    virtual void addBeside(qint64 /*first*/, double* /*samples*/, int /*count*/) const {}
    // Its power at the receiver's output added to power: what the band's fixed level is set by.
    virtual void addPower(double& /*power*/) const {}

    // The wanted signal's gain (fading), asked every BandFading::kStep samples and linear between.
    virtual bool fades() const { return false; }
    virtual double wantedGain(qint64 /*index*/) const { return 1; }

    // The transmitter: a planned tone of that length (empty: the tone as ToneShaper shapes it),
    // and a recorded mark as it is sent.
    virtual QVector<qint16> tone(int /*frequencyHz*/, qint64 /*lengthSamples*/) const { return {}; }
    virtual bool changesMarks() const { return false; }
    virtual void transmitMark(QVector<qint16>& /*mark*/) const {}

    // The sender's hand: a planned key-down's and key-up's length in ms, and a recorded key-up's
    // and mark's in samples, the element starting at index. owed is what the key-downs took
    // from the key-ups so far, kept by the caller for the run.
    virtual bool changesTiming() const { return false; }
    virtual int keyDownMs(qint64 /*index*/, int ms, double& /*owedMs*/) const { return ms; }
    virtual int keyUpMs(qint64 /*index*/, int ms, double& /*owedMs*/) const { return ms; }
    virtual qsizetype keyUpSamples(qint64 /*index*/, qsizetype samples, qsizetype& /*owed*/) const {
        return samples;
    }
    virtual void weighMark(QVector<qint16>& /*mark*/, qsizetype& /*owed*/) const {}
};
