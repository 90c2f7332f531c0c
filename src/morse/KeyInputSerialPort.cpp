#include <QSerialPort>
#include <QSerialPortInfo>

#include "morse/KeyInputSerial.h"

namespace {

class QtSerialPins : public SerialPinReader {
  public:
    explicit QtSerialPins(std::unique_ptr<QSerialPort> port) : m_port(std::move(port)) {}

    std::optional<Lines> read() override {
        const QSerialPort::PinoutSignals pins = m_port->pinoutSignals();
        if (m_port->error() != QSerialPort::NoError) {
            return std::nullopt;
        }
        return Lines{pins.testFlag(QSerialPort::ClearToSendSignal),
                     pins.testFlag(QSerialPort::DataSetReadySignal),
                     pins.testFlag(QSerialPort::DataCarrierDetectSignal)};
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
