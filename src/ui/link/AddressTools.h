#pragma once

#include <QObject>
#include <QString>

#include "ui/link/NetWindow.h"

// The own address display and its copy button, the web check of the global address, and
// emptying the peer address with a double click.
class AddressTools : public QObject {
    Q_OBJECT
  public:
    explicit AddressTools(NetWindow& window, QObject* parent = nullptr);

    void ShowOwnAddress();
    void MainForm_SearchIpButton_Click();
    void MainForm_CheckGrovalIpButton_Click();
    void MainForm_ConnectIpText_DblClick();

    // The IPv4 address a peer would reach this PC at: the one the default route leaves from,
    // else the first of an interface that is up, and 127.0.0.1 only when there is no other.
    static QString OwnIpv4Address();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    NetWindow& m_w;
};
