#include "core/link/NetLog.h"

#include <QStringList>

void NetLog::append(const QString& line) {
    if (m_counter < kLines + 1) {
        ++m_counter;
    }
    if (m_counter <= kLines) {
        m_lines[static_cast<std::size_t>(m_counter - 1)] = line;
    } else {
        std::move(m_lines.begin() + 1, m_lines.end(), m_lines.begin());
        m_lines.back() = line;
    }
    QStringList shown;
    for (int i = 0; i < qMin(m_counter, kLines); ++i) {
        shown.append(m_lines[static_cast<std::size_t>(i)]);
    }
    m_text = shown.join(QStringLiteral("\r\n"));
}

QString LogStamp(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
}
