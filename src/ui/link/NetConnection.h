#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

#include "ui/link/NetWindow.h"

class LinkSocket;
class LinkWindow;
class PingSocket;
class QuillNetModule;

// Listening, connecting and closing the link, the TCP socket's events, and the two roles.
class NetConnection : public QObject {
    Q_OBJECT
  public:
    NetConnection(NetWindow& window, QuillNetModule& module, LinkSocket& winsock1,
                  PingSocket& winsock2, QObject* parent = nullptr);

    void MainForm_ListenButton_Click();
    void MainForm_ConnectButton_Click();
    void MainForm_ConnectTimer_Timer();
    void MainForm_CloseButton_Click();

    void MainForm_Winsock1_ConnectionRequest();
    void MainForm_Winsock1_Connect();
    void MainForm_Winsock1_Close();
    void MainForm_Winsock1_Error(const QString& description);
    // The peer sent more than one receive may hold: the link is cut.
    void MainForm_Winsock1_Overflow();
    void MainForm_Winsock1_DataArrival(const QByteArray& data);

    void MainForm_TeacherOption_Click();
    void MainForm_StudentOption_Click();
    void MainForm_mnuNetTeacherMode_Click();
    void MainForm_mnuNetStudentMode_Click();

    // Every control as it is while no link stands; the ping stops and its socket closes.
    void ApplyIdleLayout();
    // The window that selects chat mode and its kind, as a connection does.
    void setView(LinkWindow* view) { m_view = view; }

  private:
    // False (after telling the user) when the callsign or the peer address is missing.
    bool addressCheckPassed();
    void setAddressBoxesLocked(bool locked);
    void logDeparture(const QString& stamp);
    void enterChatMode();
    bool linkGoneSince(quint64 serial) const;
    // Runs step after ms unless the link of serial has gone by then.
    void afterOnThisLink(quint64 serial, int ms, std::function<void()> step);
    // With the option on, a connection from anywhere but the peer address is turned away (and
    // the user told): true then.
    bool refusedStranger();
    void showPeerAddress();

    NetWindow& m_w;
    QuillNetModule& m_module;
    LinkSocket& m_winsock1;
    PingSocket& m_winsock2;
    LinkWindow* m_view = nullptr;
};
