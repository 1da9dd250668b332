#include "wincommline.h"

#include "commerror.h"
#include "dcbbuilder.h"
#include "wincommapi.h"

#include <QWinEventNotifier>

#include <algorithm>

namespace {

// A read ends this long after the last byte that came; on both Windows and Wine.
constexpr DWORD kReadIntervalMs = 1;

// A read or write that timed out has moved what it reports and the line is still
// there. Wine ends reads and writes so now and then, though no total timeout is set.
bool timedOut(DWORD error)
{
    return error == ERROR_TIMEOUT || error == ERROR_SEM_TIMEOUT || error == WAIT_TIMEOUT;
}

} // namespace

std::unique_ptr<SerialLine> SerialLine::create()
{
    return std::make_unique<WinCommLine>(WinCommApi::system());
}

bool SerialLine::takesSpeed(int baud)
{
    return baud > 0;
}

WinCommLine::WinCommLine(WinCommApi &api, QObject *parent)
    : SerialLine(parent)
    , m_api(api)
{
}

WinCommLine::~WinCommLine()
{
    close();
}

DWORD WinCommLine::readSize(int baud)
{
    // Ten bits a byte, 50 reads a second.
    return DWORD(std::clamp(baud / 10 / 50, 16, 4096));
}

void WinCommLine::open(const QString &path, const PortSettings &settings)
{
    close();
    const HANDLE handle = m_api.open(reinterpret_cast<const wchar_t *>(path.utf16()));
    if (handle == INVALID_HANDLE_VALUE)
        throw CommError::fromWinError(m_api.lastError(), path);
    m_handle = handle;
    m_path = path;
    try {
        configure(settings);
    } catch (const CommError &) {
        close();
        throw;
    }
    ++m_opens;
    m_readEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_writeEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_readNotifier = new QWinEventNotifier(m_readEvent, this);
    connect(m_readNotifier, &QWinEventNotifier::activated, this, &WinCommLine::readDone);
    m_writeNotifier = new QWinEventNotifier(m_writeEvent, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QWinEventNotifier::activated, this, &WinCommLine::writeDone);
    m_readBuffer.resize(qsizetype(readSize(settings.baud)));
    startRead();
}

void WinCommLine::configure(const PortSettings &settings)
{
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    if (!m_api.getState(m_handle, &dcb))
        throw CommError::fromWinError(m_api.lastError(), m_path);
    DCB wanted = DcbBuilder::build(dcb, settings);
    if (!m_api.setState(m_handle, &wanted))
        throw CommError::fromWinError(m_api.lastError(), m_path);
    COMMTIMEOUTS timeouts{kReadIntervalMs, 0, 0, 0, 0};
    if (!m_api.setTimeouts(m_handle, &timeouts))
        throw CommError::fromWinError(m_api.lastError(), m_path);
    m_api.purge(m_handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
    // Errors of whatever came before the open are no news.
    DWORD errors = 0;
    m_api.clearErrors(m_handle, &errors);
}

// Pending operations are cancelled and waited for, since they write into the
// buffers and OVERLAPPED records that go with the line. The notifiers may be the
// ones whose activation is running, so they go later.
void WinCommLine::close()
{
    if (!isOpen())
        return;
    m_api.purge(m_handle, PURGE_TXABORT | PURGE_TXCLEAR | PURGE_RXABORT);
    m_api.cancel(m_handle);
    DWORD ignored = 0;
    if (m_reading)
        m_api.result(m_handle, &m_readOverlapped, &ignored, true);
    if (m_sending)
        m_api.result(m_handle, &m_writeOverlapped, &ignored, true);
    m_reading = false;
    m_sending = false;
    for (QWinEventNotifier **notifier : {&m_readNotifier, &m_writeNotifier}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            (*notifier)->deleteLater();
            *notifier = nullptr;
        }
    }
    for (HANDLE *event : {&m_readEvent, &m_writeEvent}) {
        if (*event)
            ::CloseHandle(*event);
        *event = nullptr;
    }
    m_api.close(m_handle);
    m_handle = INVALID_HANDLE_VALUE;
    m_path.clear();
    m_writing.clear();
    m_out.clear();
}

void WinCommLine::write(QByteArrayView bytes)
{
    if (!isOpen())
        return;
    m_out.append(bytes);
    if (!m_sending)
        startWrite();
}

// The event is reset by hand as well, since a stand-in for the driver would not.
void WinCommLine::startRead()
{
    ::ResetEvent(m_readEvent);
    m_readOverlapped = {};
    m_readOverlapped.hEvent = m_readEvent;
    if (!m_api.read(m_handle, m_readBuffer.data(), DWORD(m_readBuffer.size()), &m_readOverlapped)) {
        const DWORD error = m_api.lastError();
        if (error != ERROR_IO_PENDING) {
            lose(error);
            return;
        }
    }
    m_reading = true;
}

void WinCommLine::readDone()
{
    DWORD n = 0;
    if (!m_api.result(m_handle, &m_readOverlapped, &n, false)) {
        const DWORD error = m_api.lastError();
        if (error == ERROR_IO_INCOMPLETE)
            return;
        if (!timedOut(error)) {
            m_reading = false;
            lose(error);
            return;
        }
    }
    m_reading = false;
    DWORD errors = 0;
    if (!m_api.clearErrors(m_handle, &errors)) {
        lose(m_api.lastError());
        return;
    }
    const quint64 opens = m_opens;
    if (n > 0 || errors != 0) {
        const LineCounters counters{errors & CE_FRAME ? 1 : 0, errors & CE_RXPARITY ? 1 : 0, errors & CE_BREAK ? 1 : 0};
        Q_EMIT received(QByteArrayView(m_readBuffer.constData(), qsizetype(n)), counters);
    }
    if (isOpen() && m_opens == opens)
        startRead();
}

void WinCommLine::startWrite()
{
    if (m_out.isEmpty())
        return;
    m_writing.swap(m_out);
    m_out.clear();
    ::ResetEvent(m_writeEvent);
    m_writeOverlapped = {};
    m_writeOverlapped.hEvent = m_writeEvent;
    if (!m_api.write(m_handle, m_writing.constData(), DWORD(m_writing.size()), &m_writeOverlapped)) {
        const DWORD error = m_api.lastError();
        if (error != ERROR_IO_PENDING) {
            lose(error);
            return;
        }
    }
    m_sending = true;
    m_writeNotifier->setEnabled(true);
}

void WinCommLine::writeDone()
{
    DWORD n = 0;
    if (!m_api.result(m_handle, &m_writeOverlapped, &n, false)) {
        const DWORD error = m_api.lastError();
        if (error == ERROR_IO_INCOMPLETE)
            return;
        if (!timedOut(error)) {
            m_sending = false;
            lose(error);
            return;
        }
    }
    m_sending = false;
    m_writeNotifier->setEnabled(false);
    // What did not go out goes first next time.
    m_out.prepend(QByteArrayView(m_writing).sliced(qsizetype(n)));
    m_writing.clear();
    startWrite();
    if (!m_sending && isOpen())
        Q_EMIT drained();
}

void WinCommLine::lose(DWORD error)
{
    const QString reason = CommError::fromWinError(error, m_path).message();
    close();
    Q_EMIT failed(reason);
}
