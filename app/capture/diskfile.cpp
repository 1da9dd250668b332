#include "diskfile.h"

#include <atomic>
#include <cstring>

namespace DiskFile {

namespace {

std::atomic<SyncCall> g_syncCall{nullptr};

} // namespace

void setSyncCall(SyncCall call)
{
    g_syncCall.store(call);
}

SyncCall syncCall()
{
    return g_syncCall.load();
}

QString reasonOf(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace DiskFile
