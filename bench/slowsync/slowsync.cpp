// A disk whose flushes are slow, for the benchmarks: preloaded (LD_PRELOAD), it makes
// every fdatasync of a file in the folder LORVANE_SLOW_SYNC_DIR take
// LORVANE_SLOW_SYNC_MS (1500 unless set) longer, as a slow USB stick or a network
// share does. Other files sync as they would.

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <dlfcn.h>
#include <unistd.h>

namespace {

bool isSlow(int fd)
{
    const char *folder = std::getenv("LORVANE_SLOW_SYNC_DIR");
    if (!folder || !*folder)
        return false;
    char path[4096] = {};
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(link.c_str(), path, sizeof path - 1);
    return n > 0 && std::strncmp(path, folder, std::strlen(folder)) == 0;
}

} // namespace

extern "C" int fdatasync(int fd)
{
    using Call = int (*)(int);
    static const Call real = reinterpret_cast<Call>(::dlsym(RTLD_NEXT, "fdatasync"));
    if (isSlow(fd)) {
        const char *ms = std::getenv("LORVANE_SLOW_SYNC_MS");
        std::this_thread::sleep_for(std::chrono::milliseconds(ms ? std::atoi(ms) : 1500));
    }
    return real(fd);
}
