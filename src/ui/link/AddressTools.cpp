#include "ui/link/AddressTools.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QPushButton>
#include <QUdpSocket>
#include <QUrl>

#include "ui/kit/DesktopServices.h"
#include "ui/link/LinkUi.h"

using namespace Qt::StringLiterals;

namespace {

// A page that shows the address the internet sees this PC at.
const QUrl kGlobalAddressPage(u"https://www.cman.jp/network/support/go_access.cgi"_s);

bool Usable(const QHostAddress& address) {
    return address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback() &&
           !address.isLinkLocal() && !address.isNull();
}

// Connecting a UDP socket sends nothing; it only picks the route and so the source address.
QHostAddress RouteSourceAddress() {
    QUdpSocket probe;
    probe.connectToHost(QHostAddress(u"192.0.2.1"_s), 9);
    return probe.state() == QAbstractSocket::ConnectedState ? probe.localAddress() : QHostAddress();
}

}  // namespace

AddressTools::AddressTools(NetWindow& window, QObject* parent) : QObject(parent), m_w(window) {
    m_w.ui.ConnectIpText->installEventFilter(this);
    connect(m_w.ui.SearchIpButton, &QPushButton::clicked, this,
            &AddressTools::MainForm_SearchIpButton_Click);
    connect(m_w.ui.CheckGrovalIpButton, &QPushButton::clicked, this,
            &AddressTools::MainForm_CheckGrovalIpButton_Click);
}

QString AddressTools::OwnIpv4Address() {
    const QHostAddress routed = RouteSourceAddress();
    if (Usable(routed)) {
        return routed.toString();
    }
    const auto up = QNetworkInterface::IsUp | QNetworkInterface::IsRunning;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        if ((interface.flags() & up) != up ||
            interface.flags().testFlag(QNetworkInterface::IsLoopBack)) {
            continue;
        }
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            if (Usable(entry.ip())) {
                return entry.ip().toString();
            }
        }
    }
    return QHostAddress(QHostAddress::LocalHost).toString();
}

void AddressTools::ShowOwnAddress() {
    m_w.ui.DispIpLabel->setText(OwnIpv4Address());
}

void AddressTools::MainForm_SearchIpButton_Click() {
    m_w.desktop.setClipboardText(m_w.ui.DispIpLabel->text());
}

void AddressTools::MainForm_CheckGrovalIpButton_Click() {
    m_w.desktop.openUrl(kGlobalAddressPage);
}

void AddressTools::MainForm_ConnectIpText_DblClick() {
    m_w.ui.ConnectIpText->clear();
}

bool AddressTools::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_w.ui.ConnectIpText && event->type() == QEvent::MouseButtonDblClick) {
        MainForm_ConnectIpText_DblClick();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
