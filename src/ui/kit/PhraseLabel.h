#pragma once

#include <QLabel>
#include <QStringList>

class QFontMetrics;

// The lines a text is shown in at most width pixels wide, broken only where Japanese reads well:
// after 、。！？ and closing quotes, before opening brackets, after spaces and slashes, and at the
// text's own line breaks. A phrase wider than width keeps a line of its own, never cut.
QStringList PhraseLines(const QString& text, const QFontMetrics& metrics, int width);

// A label that wraps its text between phrases instead of between any two characters, so that a
// word such as 下さい is never cut in two. Its text stays exactly as set, and screen readers read
// it whole.
class PhraseLabel : public QLabel {
    Q_OBJECT
  public:
    explicit PhraseLabel(const QString& text = {}, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QSize frame() const;
    int widestPhrase() const;
};
