#include "portdirectory.h"

#include <windows.h>

// Defines the class GUID here rather than only declaring it.
#include <initguid.h>

#include <devguid.h>
#include <setupapi.h>

namespace {

// What the system knows a COM name as: SetupAPI's friendly name of the port device
// ("USB Serial Port (COM5)"), else the device the name leads to (\Device\Serial0);
// empty when neither knows it, as under Wine for a port linked by hand.
QString describe(const QString &name)
{
    const QString suffix = u'(' + name + u')';
    const HDEVINFO devices = ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices != INVALID_HANDLE_VALUE) {
        SP_DEVINFO_DATA info{};
        info.cbSize = sizeof(info);
        for (DWORD i = 0; ::SetupDiEnumDeviceInfo(devices, i, &info); ++i) {
            wchar_t friendly[256] = {};
            if (::SetupDiGetDeviceRegistryPropertyW(devices, &info, SPDRP_FRIENDLYNAME, nullptr,
                                                    reinterpret_cast<BYTE *>(friendly), sizeof(friendly) - 2, nullptr)
                && QString::fromWCharArray(friendly).endsWith(suffix)) {
                ::SetupDiDestroyDeviceInfoList(devices);
                return QString::fromWCharArray(friendly);
            }
        }
        ::SetupDiDestroyDeviceInfoList(devices);
    }
    wchar_t target[512] = {};
    if (::QueryDosDeviceW(reinterpret_cast<const wchar_t *>(name.utf16()), target, DWORD(std::size(target))) == 0)
        return QString();
    return QString::fromWCharArray(target);
}

} // namespace

// Asked afresh each time, since adapters come and go while the program runs. Every
// number counts as present: whether its port exists is for the open to find out and
// say, since Wine does not tell of ports linked by hand.
PortDirectory::Port PortDirectory::port(int number)
{
    if (number < 1 || number > kPorts)
        return Port();
    const QString name = QStringLiteral("COM%1").arg(number);
    return {TtyIdentity{QStringLiteral("name ") + name, name, describe(name)}, QStringLiteral("\\\\.\\") + name,
            true};
}

QString PortDirectory::devicePath(int number)
{
    const Port found = port(number);
    return found.present ? found.path : QString();
}
