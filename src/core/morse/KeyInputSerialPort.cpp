#include <sys/ioctl.h>
#include <QSerialPort>
#include <QSerialPortInfo>

#include "core/morse/KeyInputSerial.h"

namespace {

class QtSerialPins : public SerialPinReader {
  public:
    explicit QtSerialPins(std::unique_ptr<QSerialPort> port) : m_port(std::move(port)) {}

    // Straight from the descriptor: this runs on the watching thread, and the port object, which
    // belongs to the window thread, is left alone.
    std::optional<Lines> read() override {
        int pins = 0;
        if (::ioctl(static_cast<int>(m_port->handle()), TIOCMGET, &pins) < 0) {
            return std::nullopt;
        }
        return Lines{(pins & TIOCM_CTS) != 0, (pins & TIOCM_DSR) != 0, (pins & TIOCM_CAR) != 0};
    }

  private:
    std::unique_ptr<QSerialPort> m_port;
};

}  // namespace

std::unique_ptr<SerialPinReader> OpenSerialPins(const QString& portName, QString& error) {
    if (portName.isEmpty()) {
        error =
            QStringLiteral("シリアルポートが選ばれていません。キー入力の設定で選んでください。");
        return nullptr;
    }
    auto port = std::make_unique<QSerialPort>(portName);
    if (!port->open(QIODevice::ReadOnly)) {
        error = QStringLiteral(
                    "シリアルポート「%1」を開けません（%2）。ほかのプログラムが使って"
                    "いないか、接続と使用権限を確かめてください。")
                    .arg(portName, port->errorString());
        return nullptr;
    }
    return std::make_unique<QtSerialPins>(std::move(port));
}

QStringList SerialPortNames() {
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        names << info.portName();
    }
    return names;
}
