#pragma once

#include <QDir>
#include <QFile>
#include <QList>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <functional>
#include <memory>

#include "core/kit/LessonState.h"
#include "core/kit/LinkState.h"
#include "core/kit/Places.h"
#include "core/link/NetPorts.h"
#include "support/FakeDesktopServices.h"
#include "support/RecordingSoundOutput.h"
#include "support/VirtualClock.h"
#include "ui/app/AppContext.h"

// The status shown as text (tests' tables name the statuses as the labels show them).
inline LinkStatus StatusNamed(const QString& text) {
    for (int i = 0; i <= static_cast<int>(LinkStatus::ReceivingEnded); ++i) {
        if (Text(static_cast<LinkStatus>(i)) == text) {
            return static_cast<LinkStatus>(i);
        }
    }
    return LinkStatus::Empty;
}

// The lesson's state shown by a main button caption; a caption that names none gives Start.
inline MainButton MainButtonNamed(const QString& caption) {
    for (int i = 0; i <= static_cast<int>(MainButton::Retry); ++i) {
        if (Caption(static_cast<MainButton>(i)) == caption) {
            return static_cast<MainButton>(i);
        }
    }
    return MainButton::Start;
}

// Ports that nobody uses at the moment, so that tests running in parallel never meet.
inline NetPorts FreePorts() {
    QTcpServer tcp;
    QUdpSocket listenerUdp;
    QUdpSocket connectorUdp;
    tcp.listen(QHostAddress::Any, 0);
    listenerUdp.bind(QHostAddress::Any, 0);
    connectorUdp.bind(QHostAddress::Any, 0);
    return NetPorts{tcp.serverPort(), listenerUdp.localPort(), connectorUdp.localPort()};
}

// One main window's worth of fakes: a virtual clock, recorded sound, temporary
// program and current directories, free ports for the peer link.
struct TestContext {
    TestContext() : TestContext(nullptr) {}
    // A second window of the same test: it runs on the first one's clock and ports.
    explicit TestContext(TestContext& first) : TestContext(&first) {}

    AppContext context() {
        return AppContext{clock, sound,        desktop, places, [this] { ++exitCount; },
                          ports, historyPath()};
    }

    // Each window keeps its lessons in its own current directory, never in the user's history.
    QString historyPath() const {
        return QDir(currentDir.path()).filePath(QStringLiteral("history.sqlite"));
    }

    QString settingsPath() const {
        return QDir(currentDir.path()).filePath(QStringLiteral("saveset.dat"));
    }
    QString soundFolder() const {
        return QDir(programDir.path()).filePath(QStringLiteral("sound"));
    }

    QByteArray settingsBytes() const {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeSettingsBytes(const QByteArray& bytes) const {
        QFile file(settingsPath());
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            file.write(bytes);
        }
    }

  private:
    explicit TestContext(TestContext* first)
        : ownClock(first ? nullptr : std::make_unique<VirtualClock>(1000)),
          clock(first ? first->clock : *ownClock),
          places(programDir.path(), currentDir.path()),
          ports(first ? first->ports : FreePorts()) {}

    std::unique_ptr<VirtualClock> ownClock;

  public:
    QTemporaryDir programDir;
    QTemporaryDir currentDir;
    VirtualClock& clock;
    RecordingSoundOutput sound{clock};
    FakeDesktopServices desktop;
    Places places;
    NetPorts ports;
    int exitCount = 0;
};

// Bytes of a settings file laid out by hand: record n at (n - 1) * 14.
class SettingsFileBuilder {
  public:
    explicit SettingsFileBuilder(int records = 9, char fill = '\0') : m_bytes(records * 14, fill) {}

    SettingsFileBuilder& integer(int record, qint16 value) {
        const auto raw = static_cast<quint16>(value);
        m_bytes[(record - 1) * 14] = static_cast<char>(raw & 0xFF);
        m_bytes[(record - 1) * 14 + 1] = static_cast<char>(raw >> 8);
        return *this;
    }
    SettingsFileBuilder& text(int record, const QByteArray& bytes) {
        integer(record, static_cast<qint16>(bytes.size()));
        m_bytes.replace((record - 1) * 14 + 2, bytes.size(), bytes);
        return *this;
    }
    QByteArray bytes() const { return m_bytes; }

  private:
    QByteArray m_bytes;
};
