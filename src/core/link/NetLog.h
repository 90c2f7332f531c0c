#pragma once

#include <QDateTime>
#include <QString>
#include <array>

// The on-screen network log: the last 14 lines, oldest first, joined by CR LF.
class NetLog {
  public:
    static constexpr int kLines = 14;

    // A new connection: numbering starts again; the shown text stays until the next line.
    void restart() { m_counter = 0; }
    void clearText() { m_text.clear(); }

    void append(const QString& line);
    const QString& text() const { return m_text; }
    int counter() const { return m_counter; }

  private:
    std::array<QString, kLines> m_lines;
    int m_counter = 0;
    QString m_text;
};

// The local date and time as log lines show it, e.g. "2026/12/07 20:41:59".
QString LogStamp(const QDateTime& time);
