// The serial ports Windows knows now: every COM name in the system's own
// list of serial devices, with the maker and the name of the device behind
// it where Plug and Play has them (a USB board, an adapter), in the order
// of their numbers.
#include <windows.h>
// windows.h first: the device headers build on it.
#include <devguid.h>
#include <setupapi.h>

#include <QHash>
#include <QStringList>
#include <algorithm>

#include "serial_port_discovery.h"

namespace {

QString RegistryText(HKEY key, const wchar_t* name) {
    wchar_t value[256] = {};
    DWORD size = sizeof value - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    return QString::fromWCharArray(value);
}

QString DeviceText(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t value[256] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, property, nullptr,
                                           reinterpret_cast<BYTE*>(value),
                                           sizeof value - sizeof(wchar_t), nullptr)) {
        return {};
    }
    return QString::fromWCharArray(value);
}

// "Maker, product" of each present serial device, by its COM name.
QHash<QString, QString> DeviceDetails() {
    QHash<QString, QString> details;
    const HDEVINFO devices =
        SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) {
        return details;
    }
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        const HKEY key =
            SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) {
            continue;
        }
        const QString name = RegistryText(key, L"PortName");
        RegCloseKey(key);
        QStringList parts;
        for (const QString& part : {DeviceText(devices, device, SPDRP_MFG),
                                    DeviceText(devices, device, SPDRP_DEVICEDESC)}) {
            if (!part.isEmpty() && !parts.contains(part)) {
                parts << part;
            }
        }
        if (!name.isEmpty()) {
            details.insert(name.toUpper(), parts.join(", "));
        }
    }
    SetupDiDestroyDeviceInfoList(devices);
    return details;
}

int PortNumber(const QString& name) {
    return name.mid(3).toInt();
}

}  // namespace

QList<PortEntry> SerialPortDiscovery::Ports() {
    QList<PortEntry> ports;
    HKEY map = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &map) !=
        ERROR_SUCCESS) {
        return ports;
    }
    const QHash<QString, QString> details = DeviceDetails();
    for (DWORD i = 0;; ++i) {
        wchar_t valueName[256];
        DWORD nameLength = 256;
        wchar_t data[64] = {};
        DWORD dataSize = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        const LONG result = RegEnumValueW(map, i, valueName, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (result != ERROR_SUCCESS || type != REG_SZ) {
            continue;
        }
        const QString name = QString::fromWCharArray(data).toUpper();
        if (name.startsWith("COM") && PortNumber(name) > 0) {
            ports << PortEntry{name, details.value(name)};
        }
    }
    RegCloseKey(map);
    std::sort(ports.begin(), ports.end(), [](const PortEntry& a, const PortEntry& b) {
        return PortNumber(a.path) < PortNumber(b.path);
    });
    return ports;
}
