#pragma once

#include <windows.h>

// The Win32 calls that drive a COM port, as virtual functions: the line calls them
// through here, so that a test can stand in for a driver that reports line errors or
// goes away, which Wine's serial driver never does. Each mirrors its Win32 call;
// lastError() is GetLastError() after a call that failed.
class WinCommApi
{
public:
    virtual ~WinCommApi() = default;

    // The calls of the system itself.
    static WinCommApi &system();

    // CreateFileW for reading and writing, not shared, overlapped.
    virtual HANDLE open(const wchar_t *path) = 0;
    virtual BOOL close(HANDLE handle) = 0;
    virtual BOOL getState(HANDLE handle, DCB *dcb) = 0;
    virtual BOOL setState(HANDLE handle, DCB *dcb) = 0;
    virtual BOOL setTimeouts(HANDLE handle, COMMTIMEOUTS *timeouts) = 0;
    virtual BOOL purge(HANDLE handle, DWORD flags) = 0;
    virtual BOOL read(HANDLE handle, void *buffer, DWORD size, OVERLAPPED *overlapped) = 0;
    virtual BOOL write(HANDLE handle, const void *data, DWORD size, OVERLAPPED *overlapped) = 0;
    // GetOverlappedResult; `wait` blocks until the operation has ended.
    virtual BOOL result(HANDLE handle, OVERLAPPED *overlapped, DWORD *transferred, bool wait) = 0;
    // ClearCommError: the CE_ bits seen since the last call.
    virtual BOOL clearErrors(HANDLE handle, DWORD *errors) = 0;
    virtual BOOL cancel(HANDLE handle) = 0;
    virtual DWORD lastError() = 0;
};
