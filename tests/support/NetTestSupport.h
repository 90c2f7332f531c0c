#pragma once

#include <poll.h>

#include <QAbstractSocket>
#include <QApplication>
#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QTcpServer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "core/link/LinkSocket.h"
#include "support/TestContext.h"
#include "ui/app/MainForm.h"
#include "ui/link/PeerLink.h"

// Virtual time stands still while anything of a test's links is on its way: bytes or a close
// that the system holds for a socket, a connection not yet taken, events not yet delivered.
class LinkWatch {
  public:
    explicit LinkWatch(VirtualClock& clock) : m_state(std::make_shared<State>()) {
        std::weak_ptr<State> state = m_state;
        clock.addBusyCheck([state] {
            const auto s = state.lock();
            return s && s->busy();
        });
    }
    void add(MainForm* form) { m_state->forms.append(form); }
    void add(QAbstractSocket* socket) { m_state->sockets.append(socket); }

  private:
    struct State {
        QList<QPointer<MainForm>> forms;
        QList<QPointer<QAbstractSocket>> sockets;

        static bool readable(qintptr descriptor) {
            pollfd watched{static_cast<int>(descriptor), POLLIN, 0};
            return descriptor != -1 && ::poll(&watched, 1, 0) > 0;
        }
        bool busy() const {
            for (const auto& form : forms) {
                if (!form) {
                    continue;
                }
                PeerLink& link = form->peerLink();
                if (link.hasWorkInFlight()) {
                    return true;
                }
                for (qintptr descriptor : link.winsock1().descriptors()) {
                    if (readable(descriptor)) {
                        return true;
                    }
                }
            }
            for (const auto& socket : sockets) {
                if (socket &&
                    (socket->state() == QAbstractSocket::ConnectingState ||
                     socket->bytesToWrite() > 0 || readable(socket->socketDescriptor()))) {
                    return true;
                }
            }
            return false;
        }
    };
    std::shared_ptr<State> m_state;
};

// Fills in what the address check asks for.
inline void SetIdentity(MainForm& form, const QString& callsign) {
    form.ui().CallsignText->setText(callsign);
    form.ui().ConnectIpText->setText(QStringLiteral("127.0.0.1"));
}
