#pragma once

#include <QtGlobal>

// The ports of the peer link. The listening side binds listenerUdp and pings connectorUdp;
// the connecting side the other way round. Tests give free ports instead.
struct NetPorts {
    quint16 tcp = 10010;
    quint16 listenerUdp = 10012;
    quint16 connectorUdp = 10013;
};
