#pragma once

#include "serialline.h"

#include <QByteArray>

#include <windows.h>

class QWinEventNotifier;
class WinCommApi;

// The Win32 line: a COM port opened overlapped, so that neither reads nor writes
// block the thread. One read is always pending; its event, watched by a
// QWinEventNotifier, says when it has ended. Timeouts (interval, 0, 0) make a read
// wait for the first byte and end at the first pause after it, alike on Windows and
// Wine. After each read ClearCommError tells the line errors, which go up as counts
// beside the data. All Win32 calls go through a WinCommApi.
class WinCommLine : public SerialLine
{
    Q_OBJECT

public:
    explicit WinCommLine(WinCommApi &api, QObject *parent = nullptr);
    ~WinCommLine() override;

    void open(const QString &path, const PortSettings &settings) override;
    void close() override;
    bool isOpen() const override { return m_handle != INVALID_HANDLE_VALUE; }
    const QString &path() const override { return m_path; }
    void write(QByteArrayView bytes) override;
    qsizetype pending() const override { return m_out.size() + m_writing.size(); }
    // A Win32 write ends through its event in the event loop, so nothing waits here.
    bool waitForBytesWritten(int) override { return false; }
    bool marksErrors() const override { return false; }

    // Bytes one read asks for: about 20 ms of the line, so that a steady stream shows
    // as it comes rather than when a large buffer has filled.
    static DWORD readSize(int baud);

private:
    void configure(const PortSettings &settings);
    void startRead();
    void readDone();
    void startWrite();
    void writeDone();
    // Closes and raises failed() with the reason of `error`.
    void lose(DWORD error);

    WinCommApi &m_api;
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    QString m_path;
    HANDLE m_readEvent = nullptr;
    HANDLE m_writeEvent = nullptr;
    OVERLAPPED m_readOverlapped{};
    OVERLAPPED m_writeOverlapped{};
    QWinEventNotifier *m_readNotifier = nullptr;
    QWinEventNotifier *m_writeNotifier = nullptr;
    QByteArray m_readBuffer;
    // What the pending write sends; it must stay put until the write has ended.
    QByteArray m_writing;
    QByteArray m_out;
    // A read or write that the system has taken and not yet ended.
    bool m_reading = false;
    bool m_sending = false;
    // Grows at every open, so that a handler that reopens the line is not followed
    // by a second read.
    quint64 m_opens = 0;
};
