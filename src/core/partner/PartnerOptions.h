#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>
#include <optional>

#include "core/link/NetPorts.h"
#include "core/morse/BandConditions.h"
#include "core/partner/QuestionSource.h"

// What the practice partner was asked to do, from its command line.
struct PartnerOptions {
    bool listen = true;
    QHostAddress listenAddress = QHostAddress::Any;
    QString connectHost;
    NetPorts ports;
    QString callsign = QStringLiteral("PARTNER");
    QuestionSource::Settings questions;
    int composeMs = 1500;
    bool echo = false;    // in CW chat, groups for the learner to key back
    bool drill = false;   // weight the Koch groups by the history's miss rates
    QString historyPath;  // the history --drill reads; empty: the trainer's own
    QString coursePath;   // a Koch course file read before every question; empty: none
    std::optional<BandConditions> band;  // the conditions asked for the questions; none: not asked
};

// Parses the arguments (the program's name first). Nothing and an error line in *error when
// they are wrong; nothing and the help text in *help for --help.
std::optional<PartnerOptions> ParsePartnerOptions(const QStringList& arguments, QString* error,
                                                  QString* help);
