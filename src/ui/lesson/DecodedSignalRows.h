#pragma once

#include <QList>
#include <QWidget>
#include <array>

#include "core/lesson/SoundDecodingSession.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

// A row for each signal the session follows: its pitch, its speed, its copy (what is decided,
// then what may still change, in grey), and a button for the fist report of it.
class DecodedSignalRows : public QWidget {
    Q_OBJECT
  public:
    explicit DecodedSignalRows(QWidget* parent = nullptr);

    void showSignals(const QList<SoundDecodingSession::Signal>& signalList);

    QLabel* pitchLabel(int row) const { return m_rows[size_t(row)].pitch; }
    QLabel* speedLabel(int row) const { return m_rows[size_t(row)].speed; }
    QPlainTextEdit* copyBox(int row) const { return m_rows[size_t(row)].copy; }
    QPushButton* reportButton(int row) const { return m_rows[size_t(row)].report; }

  signals:
    void reportAsked(int signal);

  private:
    struct Row {
        QLabel* caption;
        QLabel* pitch;
        QLabel* speed;
        QPlainTextEdit* copy;
        QPushButton* report;
    };
    static void showCopy(QPlainTextEdit* box, const SoundDecodingSession::Signal& signal);

    std::array<Row, SoundDecodingSession::kMostSignals> m_rows;
};
