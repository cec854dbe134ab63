#include "serial_port_discovery.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSerialPortInfo>
#include <QStringList>
#include <algorithm>

namespace {

// The stable names of the devices plugged in now, by the device each one
// leads to: /dev/ttyACM0 -> /dev/serial/by-id/usb-Arduino_..._Uno_...-if00.
// A name that stays the same whichever socket the board is plugged into,
// and after a restart, where /dev/ttyACM0 may become /dev/ttyACM1.
QHash<QString, QString> StableNames() {
    QHash<QString, QString> names;
    const QDir byId("/dev/serial/by-id");
    for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files)) {
        const QString target = link.canonicalFilePath();
        if (!target.isEmpty()) {
            names.insert(target, link.absoluteFilePath());
        }
    }
    return names;
}

QString Details(const QSerialPortInfo& info) {
    QStringList parts;
    for (const QString& part : {info.manufacturer(), info.description()}) {
        if (!part.isEmpty() && !parts.contains(part)) {
            parts << part;
        }
    }
    return parts.join(", ");
}

// What the port is opened by: its stable name or device path.
QString OpenName(const QSerialPortInfo& info, const QHash<QString, QString>& stable) {
    const QString device = info.systemLocation();
    return stable.value(QFileInfo(device).canonicalFilePath(), device);
}

}  // namespace

QList<PortEntry> SerialPortDiscovery::Ports() {
    const QHash<QString, QString> stable = StableNames();
    QList<PortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ports << PortEntry{OpenName(info, stable), Details(info)};
    }
    std::sort(ports.begin(), ports.end(),
              [](const PortEntry& a, const PortEntry& b) { return a.path < b.path; });
    return ports;
}
