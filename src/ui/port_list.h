#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

#include "port_discovery.h"

class QComboBox;

// The drop-down of serial ports in the Parameters dialog. Its first entry,
// "COM port number above", leaves the choice to the COM number; then come
// the ports present now, each by the path it is opened by, with its maker
// and product beside it. A path may also be typed, for a device the list
// cannot know, such as a pseudo-terminal. While the list is shown it looks
// for ports plugged in or pulled out once a second.
class PortList : public QObject {
    Q_OBJECT

public:
    PortList(QComboBox* box, std::unique_ptr<PortDiscovery> discovery);

    void SetDiscovery(std::unique_ptr<PortDiscovery> discovery);

    // Fills the list, shows `chosen` (empty: the first entry) and starts
    // following the ports.
    void Show(const QString& chosen);
    void StopFollowing();

    // The chosen path, or empty when the COM number decides.
    QString Chosen() const;

    static const char kNumberAbove[];

private:
    void Rescan();

    QComboBox* box_;
    std::unique_ptr<PortDiscovery> discovery_;
    QList<PortEntry> shown_;
    QTimer rescan_;
};
