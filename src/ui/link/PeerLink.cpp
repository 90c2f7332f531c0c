#include "ui/link/PeerLink.h"

#include <QLabel>

#include "ui/kit/DesktopServices.h"
#include "ui/link/LinkUi.h"

PeerLink::PeerLink(NetWindow window, CharacterDispatch& dispatch, QObject* parent)
    : QObject(parent),
      m_window(window),
      m_module(m_window.link, m_winsock1, m_window.clock,
               [&desktop = m_window.desktop] { return desktop.currentDateTime(); }),
      m_connection(m_window, m_module, m_winsock1, m_winsock2),
      m_ping(m_window, m_module, m_connection, m_winsock1, m_winsock2),
      m_chatSession(m_module, dispatch, m_window.clock),
      m_cwChat(m_window, m_chatSession),
      m_textChat(m_window, m_module, m_chatSession),
      m_view(m_window, m_module, m_connection, m_textChat),
      m_addressTools(m_window) {
    m_module.setSession(&m_window.choices, &m_window.lesson);
    // The peer chooses what these show: never let it be read as rich text.
    for (QLabel* label : {m_window.ui.StatusLabel, m_window.ui.TeacherLabel,
                          m_window.ui.StudentLabel, m_window.ui.DispIpLabel}) {
        label->setTextFormat(Qt::PlainText);
    }
}

void PeerLink::PrepareAtStartUp() {
    if (m_winsock1.state() != LinkSocket::State::Closed) {
        m_winsock1.close();
        m_winsock2.close();
    }
    m_addressTools.ShowOwnAddress();
}

void PeerLink::MainForm_Form_Unload() {
    m_winsock1.close();
    m_winsock2.close();
}

bool PeerLink::hasWorkInFlight() const {
    return m_winsock1.hasPendingWork() || m_winsock2.hasPendingWork();
}
