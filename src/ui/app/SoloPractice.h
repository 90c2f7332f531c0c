#pragma once

#include <QObject>
#include <QProcess>

#include "core/link/NetPorts.h"
#include "ui/kit/FormContext.h"

class Places;
struct PartnerUi;

// Solo practice: the menu entry starts the practice partner program on this PC, waits until it
// listens, and connects to it, so that one person can take the answerer's place alone. The
// partner ends with the link, or with the program. It drills the characters the history says
// are missed most.
class NetConnection;

class SoloPractice : public QObject {
    Q_OBJECT
  public:
    // historyPath: the lesson history the partner's drill reads.
    // Connecting goes through the link's own address box and its connect handler.
    SoloPractice(const FormContext& form, NetConnection& connection, const PartnerUi& ui,
                 const Places& places, NetPorts ports, QString historyPath,
                 QObject* parent = nullptr);
    ~SoloPractice() override;

    void MainForm_mnuPartnerSolo_Click();

    // The partner's output so far, one line an event.
    const QStringList& partnerOutput() const { return m_output; }
    bool partnerRunning() const { return m_partner.state() != QProcess::NotRunning; }
    // The ready-made conditions the partner asks for its questions (0: none, nothing is asked).
    int bandChoice() const { return m_bandChoice; }

  private:
    void readOutput();
    void connectToPartner();
    void addBandChoices(const PartnerUi& ui);

    FormContext m_form;
    NetConnection& m_connection;
    const Places& m_places;
    NetPorts m_ports;
    QString m_historyPath;
    QProcess m_partner;
    QByteArray m_pending;
    QStringList m_output;
    bool m_connecting = false;
    int m_bandChoice = 0;
};
