#pragma once

#include "diskfile.h"

#include <QTest>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>

// A disk whose sync takes until the test lets it go, and fails with `error` when set.
// A sync held past kHeldMs counts as a test held up: whoever waited on it failed.
struct HeldSync
{
    static constexpr int kHeldMs = 60000;

    static inline std::atomic<int> entered = 0;
    static inline std::atomic<bool> released = false;
    static inline std::atomic<bool> heldTooLong = false;
    static inline std::atomic<int> error = 0;

    explicit HeldSync(int failWith = 0)
    {
        entered = 0;
        released = false;
        heldTooLong = false;
        error = failWith;
        DiskFile::setSyncCall(&call);
    }
    ~HeldSync()
    {
        released = true;
        DiskFile::setSyncCall(nullptr);
    }
    static int call(int)
    {
        ++entered;
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHeldMs);
        while (!released && !(heldTooLong = std::chrono::steady_clock::now() > until))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        errno = error;
        return error ? -1 : 0;
    }
    static bool waitEntered() { return QTest::qWaitFor([] { return entered > 0; }, kHeldMs); }
};

