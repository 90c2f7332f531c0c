#pragma once

#include <QLabel>
#include <QString>

// A label that shows a changing value (a count, a status line, a role). Screen readers
// and desktop test tools find it by a fixed accessible name and read what it shows as
// its description and value, so the name does not change with every update.
class AccessibleValueLabel : public QLabel {
    Q_OBJECT

  public:
    explicit AccessibleValueLabel(const QString& accessibleName, QWidget* parent = nullptr);

    // Registers the accessible interface of this class with Qt. Safe to call again.
    static void installAccessibility();

  signals:
    // A new text is on screen (emitted as it is painted).
    void textShown(const QString& text);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString m_announcedText;
};
