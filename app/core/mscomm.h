#pragma once

#include "linedecoder.h"
#include "portdirectory.h"
#include "portsettings.h"
#include "serialline.h"

#include <QByteArray>
#include <QObject>

#include <array>
#include <memory>

// The serial-communications control: one port chosen by number, opened with a
// settings text, raising OnComm on the UI thread for received data (as soon as one
// byte waits), line errors and breaks. Received bytes wait in the control's own
// buffer and are taken one at a time; output is queued by the platform's line, so
// nothing blocks and nothing is lost when the driver's buffer is full.
// Assignments that fail throw CommError.
class MSComm : public QObject
{
    Q_OBJECT

public:
    // CommEvent codes.
    static constexpr qint16 comEvReceive = 2;
    static constexpr qint16 comEventBreak = 1001;
    static constexpr qint16 comEventFrame = 1004;
    static constexpr qint16 comEventRxParity = 1009;

    explicit MSComm(PortDirectory ports = PortDirectory(), QObject *parent = nullptr);
    ~MSComm() override;

    qint16 CommPort() const { return m_commPort; }
    void setCommPort(qint16 port);

    QString Settings() const { return toString(m_settings); }
    // Reopens an open port; when that fails the port stays closed with the settings it had.
    void setSettings(const QString &text);

    bool PortOpen() const { return m_line->isOpen(); }
    void setPortOpen(bool open);

    qint16 InBufferCount() const;
    std::array<quint8, 1> Input();
    void Output(QByteArrayView bytes);
    qint16 CommEvent() const { return m_commEvent; }
    // Bytes given to Output that the device has not taken yet.
    qsizetype OutBufferCount() const { return m_line->pending(); }
    // Waits up to msecs for the device to take more of the output queue, and gives it
    // what it takes; false when it took nothing. For a sender that keeps a fast line
    // busy without a turn of the event loop per write.
    bool waitForBytesWritten(int msecs);

    // The numbering that opens use; tooltips read the same one.
    PortDirectory &ports() { return m_ports; }
    // The device that is open, empty while closed.
    const QString &devicePath() const { return m_line->path(); }

    // Raw input as read from the device, error marks included where the line marks
    // them: decodes it, buffers the data and raises the events. The line feeds it; so
    // can a test.
    void receiveRaw(QByteArrayView raw, std::optional<LineCounters> counters = std::nullopt);

Q_SIGNALS:
    void OnComm();
    // A read or write on the open line failed or the line hung up; the port is closed
    // already, and the reason says what happened.
    void portLost(const QString &reason);
    // The output queue ran empty after the device had refused part of it, so that a
    // sender that waits for room can go on.
    void OutputDrained();
    // The port opened or closed, for whatever reason.
    void portOpenChanged(bool open);

private:
    void raise(qint16 event);
    void lose(const QString &reason);
    void closeDevice();
    void noteOpen();

    PortDirectory m_ports;
    qint16 m_commPort = 1;
    PortSettings m_settings;
    std::unique_ptr<SerialLine> m_line = SerialLine::create();
    LineDecoder m_decoder;
    QByteArray m_in;
    qsizetype m_inPos = 0;
    qint16 m_commEvent = 0;
    // Driver error counts that no mark has used yet.
    std::optional<LineCounters> m_unusedCounts;
    // Grows at every close, so that a handler closing the port stops the events of
    // the input that was being delivered.
    quint64 m_closes = 0;
    // Whether portOpenChanged last told open.
    bool m_toldOpen = false;
};
