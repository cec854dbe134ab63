#pragma once

#include <QList>
#include <QString>

// One serial port that is present now: the path (or, on Windows, the name)
// to open it by, and who made it and what it is, when the system knows.
struct PortEntry {
    QString path;
    QString details;

    bool operator==(const PortEntry& other) const {
        return path == other.path && details == other.details;
    }
};

// Where the port list learns which serial ports are present. The program
// asks the system; a test hands in ports of its own.
class PortDiscovery {
public:
    virtual ~PortDiscovery() = default;
    virtual QList<PortEntry> Ports() = 0;
};
