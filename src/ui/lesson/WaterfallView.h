#pragma once

#include <QImage>
#include <QList>
#include <QWidget>
#include <vector>

// The waterfall as drawn: one row of levels a line, the newest at the top, pitch 200 to 1,500 Hz
// from left to right, a marker over each followed signal's pitch. A click picks the pitch under
// the pointer; from the keyboard, Left and Right move a cursor by 10 Hz and Enter picks it.
class WaterfallView : public QWidget {
    Q_OBJECT
  public:
    static constexpr double kLowestHz = 200;
    static constexpr double kHighestHz = 1500;
    static constexpr double kCursorStepHz = 10;

    explicit WaterfallView(QWidget* parent = nullptr);

    // A row of levels in dB over bins from firstHz, binHz apart.
    void addRow(const std::vector<float>& levelsDb, double firstHz, double binHz);
    // The followed signals' pitches; the accessible description tells them.
    void setMarkers(const QList<double>& pitches);
    void clearRows();
    double cursorHz() const { return m_cursorHz; }
    const QImage& image() const { return m_image; }
    QSize sizeHint() const override { return {520, 160}; }

  signals:
    void pitchPicked(double hz);
    void cursorMoved(double hz);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    double pitchAt(double x) const;
    double xOf(double hz) const;
    void moveCursorTo(double hz);
    void describe();

    QImage m_image;
    QList<double> m_markers;
    double m_cursorHz = 700;
};
