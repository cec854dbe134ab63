#pragma once

#include "port_discovery.h"

// The serial ports the system reports: on Linux through Qt's serial port
// information, USB boards and adapters by their stable name below
// /dev/serial/by-id where there is one, and the built-in ports that really
// exist, in the order of their paths; on Windows from the system's own list
// of COM ports, in the order of their numbers.
class SerialPortDiscovery : public PortDiscovery {
public:
    QList<PortEntry> Ports() override;
};
