#include "ui/app/SoloPractice.h"

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "core/history/KochCourse.h"
#include "core/kit/LinkState.h"
#include "core/kit/Places.h"
#include "core/link/SessionChoices.h"
#include "core/morse/BandConditions.h"
#include "ui/app/PartnerUi.h"
#include "ui/kit/DesktopServices.h"
#include "ui/link/NetConnection.h"

using namespace Qt::StringLiterals;

namespace {

const QString kSoloTitle = u"ひとりで練習"_s;
const QString kLoopback = u"127.0.0.1"_s;

}  // namespace

SoloPractice::SoloPractice(const FormContext& form, NetConnection& connection, const PartnerUi& ui,
                           const Places& places, NetPorts ports, QString historyPath,
                           QObject* parent)
    : QObject(parent),
      m_form(form),
      m_connection(connection),
      m_places(places),
      m_ports(ports),
      m_historyPath(std::move(historyPath)) {
    connect(ui.mnuPartnerSolo, &QAction::triggered, this,
            &SoloPractice::MainForm_mnuPartnerSolo_Click);
    addBandChoices(ui);
    connect(&m_partner, &QProcess::readyReadStandardOutput, this, &SoloPractice::readOutput);
    connect(&m_partner, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart) {
            return;
        }
        m_connecting = false;
        m_form.desktop.showMessage(
            &m_form.window, DesktopServices::Icon::Critical, kSoloTitle,
            u"練習相手のプログラム（%1）を起動できませんでした。"_s.arg(m_partner.program()));
    });
}

void SoloPractice::addBandChoices(const PartnerUi& ui) {
    // Asked by the partner that the next start runs; the learner's own conditions win.
    QMenu* menu = ui.mnuPartner->addMenu(u"相手が求めるバンドコンディション(&B)"_s);
    menu->setObjectName(u"mnuPartnerBand"_s);
    auto* group = new QActionGroup(menu);
    const QList<BandPreset> presets = BandPresets();
    for (int i = 0; i < presets.size(); ++i) {
        QAction* choice = menu->addAction(presets[i].name, this, [this, i] { m_bandChoice = i; });
        choice->setCheckable(true);
        choice->setChecked(i == 0);
        choice->setObjectName(u"mnuPartnerBand%1"_s.arg(i));
        group->addAction(choice);
    }
}

SoloPractice::~SoloPractice() {
    // The partner goes with the program.
    if (m_partner.state() != QProcess::NotRunning) {
        m_partner.kill();
        m_partner.waitForFinished(1000);
    }
}

void SoloPractice::MainForm_mnuPartnerSolo_Click() {
    if (!m_form.link.linkIdle) {
        m_form.desktop.showMessage(&m_form.window, DesktopServices::Icon::Information, kSoloTitle,
                                   u"接続中はひとりで練習を始められません。"
                                   u"切断してから選んで下さい。"_s);
        return;
    }
    if (m_partner.state() != QProcess::NotRunning) {
        m_partner.kill();
        m_partner.waitForFinished(1000);
    }
    m_pending.clear();
    m_output.clear();
    m_connecting = true;
    // On this PC only, on the ports the trainer uses; the partner's own defaults otherwise.
    QStringList arguments{u"--listen"_s,
                          u"--listen-address"_s,
                          kLoopback,
                          u"--port"_s,
                          QString::number(m_ports.tcp),
                          u"--listener-udp"_s,
                          QString::number(m_ports.listenerUdp),
                          u"--connector-udp"_s,
                          QString::number(m_ports.connectorUdp),
                          u"--drill"_s,
                          u"--history"_s,
                          m_historyPath,
                          u"--course"_s,
                          KochCoursePath(m_historyPath)};
    if (m_bandChoice > 0) {
        arguments << u"--band"_s << QString::number(m_bandChoice);
    }
    m_partner.start(m_places.partnerPath(), arguments);
}

void SoloPractice::readOutput() {
    m_pending += m_partner.readAllStandardOutput();
    qsizetype end;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
        m_pending.remove(0, end + 1);
        m_output << line;
        if (m_connecting && line.contains(u"listening on"_s)) {
            m_connecting = false;
            connectToPartner();
        }
    }
}

void SoloPractice::connectToPartner() {
    // The peer address is this PC: the partner is the other side of the link.
    m_form.choices.setPeerAddress(kLoopback);
    // As the user's click would: nothing while a link stands or is being made.
    if (m_form.link.linkIdle) {
        m_connection.MainForm_ConnectButton_Click();
    }
}
