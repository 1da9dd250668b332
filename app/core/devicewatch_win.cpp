#include "devicewatch.h"

#include <utility>

// Windows tells of arriving devices only through window messages (WM_DEVICECHANGE),
// which this build does not listen to yet: the watch is refused, and the window says
// that it cannot wait for the device.
struct DeviceWatch::Source
{
};

DeviceWatch::DeviceWatch(QString devDir, QObject *parent)
    : QObject(parent)
    , m_devDir(std::move(devDir))
{
}

DeviceWatch::~DeviceWatch() = default;

bool DeviceWatch::start()
{
    return false;
}

void DeviceWatch::stop()
{
    m_source.reset();
}
