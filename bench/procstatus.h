#pragma once

#include <QtGlobal>

// This process's memory as the kernel counts it, for benchmarks that show what a run
// keeps: a field of /proc/self/status in KiB, and a reset of its peak.
namespace ProcStatus {

// The value of `field` ("VmRSS:", "VmHWM:") in KiB; 0 when it cannot be read.
qint64 kib(const char *field);
// From here on VmHWM is the peak since now.
void resetPeak();

} // namespace ProcStatus
