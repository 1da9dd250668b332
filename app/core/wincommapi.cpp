#include "wincommapi.h"

namespace {

class SystemCommApi final : public WinCommApi
{
public:
    HANDLE open(const wchar_t *path) override
    {
        return ::CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                             nullptr);
    }
    BOOL close(HANDLE handle) override { return ::CloseHandle(handle); }
    BOOL getState(HANDLE handle, DCB *dcb) override { return ::GetCommState(handle, dcb); }
    BOOL setState(HANDLE handle, DCB *dcb) override { return ::SetCommState(handle, dcb); }
    BOOL setTimeouts(HANDLE handle, COMMTIMEOUTS *timeouts) override { return ::SetCommTimeouts(handle, timeouts); }
    BOOL purge(HANDLE handle, DWORD flags) override { return ::PurgeComm(handle, flags); }
    BOOL read(HANDLE handle, void *buffer, DWORD size, OVERLAPPED *overlapped) override
    {
        return ::ReadFile(handle, buffer, size, nullptr, overlapped);
    }
    BOOL write(HANDLE handle, const void *data, DWORD size, OVERLAPPED *overlapped) override
    {
        return ::WriteFile(handle, data, size, nullptr, overlapped);
    }
    BOOL result(HANDLE handle, OVERLAPPED *overlapped, DWORD *transferred, bool wait) override
    {
        return ::GetOverlappedResult(handle, overlapped, transferred, wait);
    }
    BOOL clearErrors(HANDLE handle, DWORD *errors) override { return ::ClearCommError(handle, errors, nullptr); }
    BOOL cancel(HANDLE handle) override { return ::CancelIo(handle); }
    DWORD lastError() override { return ::GetLastError(); }
};

} // namespace

WinCommApi &WinCommApi::system()
{
    static SystemCommApi api;
    return api;
}
