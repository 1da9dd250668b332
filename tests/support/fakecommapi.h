#pragma once

#include "wincommapi.h"

#include <QByteArray>

#include <algorithm>

// Stands in for a COM port's driver. Reads and writes stay pending until the test
// ends them: completeRead() hands over bytes and CE_ bits, failRead() and failWrite()
// end them with an error, as a pulled adapter does. Opening and the settings calls
// fail when told to.
class FakeCommApi final : public WinCommApi
{
public:
    static inline const HANDLE kHandle = reinterpret_cast<HANDLE>(0x4C56);

    DWORD openError = 0;
    DWORD setStateError = 0;
    DCB lastDcb{};
    COMMTIMEOUTS lastTimeouts{};
    QByteArray written;
    int opens = 0;
    int closes = 0;
    int writes = 0;

    void completeRead(QByteArrayView bytes, DWORD errors = 0)
    {
        const auto n = std::min<qsizetype>(bytes.size(), m_readSize);
        std::copy_n(bytes.data(), n, m_readBuffer);
        m_readDone = DWORD(n);
        m_readError = 0;
        m_errors |= errors;
        ::SetEvent(m_read->hEvent);
    }
    void failRead(DWORD error)
    {
        m_readError = error;
        ::SetEvent(m_read->hEvent);
    }
    // Ends the pending write having sent `count` of its bytes, with `error` if it failed.
    void completeWrite(qsizetype count, DWORD error = 0)
    {
        written.append(QByteArrayView(m_writeData, count));
        m_writeDone = DWORD(count);
        m_writeError = error;
        ::SetEvent(m_write->hEvent);
    }
    bool writePending() const { return m_write != nullptr; }
    qsizetype pendingWriteSize() const { return m_writeSize; }

    HANDLE open(const wchar_t *) override
    {
        if (openError)
            return fail(openError, INVALID_HANDLE_VALUE);
        ++opens;
        return kHandle;
    }
    BOOL close(HANDLE) override
    {
        ++closes;
        return TRUE;
    }
    BOOL getState(HANDLE, DCB *dcb) override
    {
        *dcb = lastDcb;
        return TRUE;
    }
    BOOL setState(HANDLE, DCB *dcb) override
    {
        if (setStateError)
            return fail(setStateError, FALSE);
        lastDcb = *dcb;
        return TRUE;
    }
    BOOL setTimeouts(HANDLE, COMMTIMEOUTS *timeouts) override
    {
        lastTimeouts = *timeouts;
        return TRUE;
    }
    BOOL purge(HANDLE, DWORD) override { return TRUE; }
    BOOL read(HANDLE, void *buffer, DWORD size, OVERLAPPED *overlapped) override
    {
        m_read = overlapped;
        m_readBuffer = static_cast<char *>(buffer);
        m_readSize = size;
        return fail(ERROR_IO_PENDING, FALSE);
    }
    BOOL write(HANDLE, const void *data, DWORD size, OVERLAPPED *overlapped) override
    {
        ++writes;
        m_write = overlapped;
        m_writeData = static_cast<const char *>(data);
        m_writeSize = size;
        return fail(ERROR_IO_PENDING, FALSE);
    }
    // A cancelled operation ends at once, with nothing transferred.
    BOOL result(HANDLE, OVERLAPPED *overlapped, DWORD *transferred, bool wait) override
    {
        if (overlapped == m_read && m_readError)
            return fail(m_readError, FALSE);
        if (overlapped == m_read && (::WaitForSingleObject(m_read->hEvent, 0) == WAIT_OBJECT_0 || wait)) {
            *transferred = m_readDone;
            return TRUE;
        }
        if (overlapped == m_write && (::WaitForSingleObject(m_write->hEvent, 0) == WAIT_OBJECT_0 || wait)) {
            *transferred = m_writeDone;
            m_write = nullptr;
            return m_writeError ? fail(m_writeError, FALSE) : TRUE;
        }
        return fail(ERROR_IO_INCOMPLETE, FALSE);
    }
    BOOL clearErrors(HANDLE, DWORD *errors) override
    {
        *errors = m_errors;
        m_errors = 0;
        return TRUE;
    }
    BOOL cancel(HANDLE) override { return TRUE; }
    DWORD lastError() override { return m_lastError; }

private:
    template<typename T>
    T fail(DWORD error, T result)
    {
        m_lastError = error;
        return result;
    }

    DWORD m_lastError = 0;
    DWORD m_errors = 0;
    OVERLAPPED *m_read = nullptr;
    char *m_readBuffer = nullptr;
    DWORD m_readSize = 0;
    DWORD m_readDone = 0;
    DWORD m_readError = 0;
    OVERLAPPED *m_write = nullptr;
    const char *m_writeData = nullptr;
    DWORD m_writeSize = 0;
    DWORD m_writeDone = 0;
    DWORD m_writeError = 0;
};
