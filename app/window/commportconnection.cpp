#include "commport.h"

#include "commerror.h"
#include "optioncaptions.h"
#include "reasontip.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

void CommPort::Baudrate_Click(int index)
{
    if (index >= 0 && index < int(OptionCaptions::kBaudrate.size()))
        BaudText = OptionCaptions::text(OptionCaptions::kBaudrate[index]);
    ApplySettings();
}

void CommPort::Parity_Click(int index)
{
    if (index >= 0 && index < int(OptionCaptions::kParityLetters.size()))
        ParityText = OptionCaptions::text(OptionCaptions::kParityLetters[index]);
    ApplySettings();
}

void CommPort::StopBits_Click(int index)
{
    StopBitsText = index == 0 ? QStringLiteral("1") : QStringLiteral("2");
    ApplySettings();
}

void CommPort::Port_Click(int)
{
    stopWaiting();
    Connect->setEnabled(true);
    ApplySettings();
}

void CommPort::Connect_Click()
{
    if (!m_reopening)
        stopWaiting();
    ApplySettings();
    // Typing goes to the line at once; a Space would otherwise release Connect again.
    if (Connect->isChecked() && MSComm1.PortOpen() && !m_reopening)
        Text2->setFocus();
}

void CommPort::command2_Click()
{
    if (MSComm1.PortOpen())
        MSComm1.setPortOpen(false);
    // exit(), not quit(): quit() would close the windows first and run their events.
    QCoreApplication::exit(0);
}

// Unchecking Connect on failure raises its click, so this runs once more inside
// itself; that run finds Connect released and only closes the port.
void CommPort::ApplySettings()
{
    try {
        if (Connect->isChecked()) {
            if (MSComm1.PortOpen())
                MSComm1.setPortOpen(false);
            const auto chosen = std::find_if(Port.begin(), Port.end(), [](QRadioButton *b) { return b->isChecked(); });
            if (chosen == Port.end())
                return;
            const qint16 port = qint16(chosen - Port.begin() + 1);
            MSComm1.setCommPort(port);
            MSComm1.setSettings(BaudText + u',' + ParityText + QStringLiteral(",8,") + StopBitsText);
            MSComm1.setPortOpen(true);
            setConnectTip(QStringLiteral("Port %1 open: %2 at %3").arg(port).arg(MSComm1.devicePath(), MSComm1.Settings()));
        } else {
            if (MSComm1.PortOpen())
                MSComm1.setPortOpen(false);
            setConnectTip(QString());
        }
    } catch (const CommError &error) {
        Connect->setChecked(false);
        tellWhy(QStringLiteral("Port %1 could not be opened: %2").arg(MSComm1.CommPort()).arg(error.message()));
    }
}

void CommPort::portLost(const QString &reason)
{
    Connect->setChecked(false);
    tellWhy(QStringLiteral("Port %1 was closed: %2").arg(MSComm1.CommPort()).arg(reason));
    if (menuReconnect->isChecked())
        waitForDevice();
}

void CommPort::tellWhy(const QString &reason)
{
    ReasonTip::show(Connect, reason);
    setConnectTip(reason);
}
