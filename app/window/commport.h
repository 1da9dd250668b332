#pragma once

#include "mscomm.h"
#include "receivelog.h"

#include <QWidget>

#include <array>
#include <optional>

class CommLine;
class IndicatorShape;
class LogCapture;
class LogView;
class MessageSession;
class MessagesWindow;
class QAction;
class QFrame;
class QGroupBox;
class QInputMethodEvent;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;
class ReconnectWait;
class SerialStringDisplay;

// The main window: a byte-level terminal on one serial port. The left column picks
// port and line settings, the receive box logs every byte in the chosen notation,
// every key typed into the transmit box goes out as one byte, and two lights show
// parity and framing errors for a second.
//
// A member named X_Event handles event Event of control X (Form is the window itself)
// and does what the window's design says that handler does; every other member is a
// helper of ours. The members are defined by role: building the controls
// (commportform.cpp), settings and connection (commportconnection.cpp), reopening a
// lost port when its device comes back (commportreconnect.cpp), receiving
// (commportreceive.cpp), sending (commporttransmit.cpp), start-up, event routing
// and resizing (commport.cpp), and the Messages window, F-keys and Send File that the
// transmit box leads to (commportmessages.cpp).
class CommPort : public QWidget
{
    Q_OBJECT

public:
    explicit CommPort(PortDirectory ports = PortDirectory(), QWidget *parent = nullptr);

    MSComm &serialControl() { return MSComm1; }
    const ReceiveLog &receivedText() const { return ReceivedText; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createSettingsColumn();
    void createMiddle();
    void createRightColumn();
    void connectHandlers();
    void Form_Load();

    void Baudrate_Click(int index);
    void Parity_Click(int index);
    void StopBits_Click(int index);
    void Port_Click(int index);
    void Connect_Click();
    void command2_Click();
    void ApplySettings();
    void portLost(const QString &reason);
    void tellWhy(const QString &reason);
    void setConnectTip(const QString &tip);

    void createReconnect();
    void menuReconnect_Toggled(bool on);
    void reopenLostPort();
    void waitForDevice();
    void stopWaiting();

    void MSComm1_OnComm();
    void Timer1_Timer();
    void Display_Click();
    void Clear_Click();
    void Text2_KeyPress(const QKeyEvent &key);
    void sendComposed(const QInputMethodEvent &input);
    void send(std::optional<quint8> byte);
    void restartErrorTimer();

    void Form_Resize();

    // Talking to the device: nothing here runs until the operator asks for it.
    void createTransmitMenu();
    void showTransmitMenu(const QPoint &pos);
    MessagesWindow *messagesWindow();
    void openMessagesWindow();
    bool functionKey(const QKeyEvent &key);
    void sendFile();

    QString BaudText;
    QString ParityText;
    QString StopBitsText;
    ReceiveLog ReceivedText;
    MSComm MSComm1;

    std::array<QRadioButton *, 8> Port{};
    std::array<QRadioButton *, 7> Baudrate{};
    std::array<QRadioButton *, 3> Parity{};
    std::array<QRadioButton *, 2> StopBits{};
    std::array<QRadioButton *, 3> Display{};
    QLabel *Label3 = nullptr;
    LogView *Text1 = nullptr;
    QGroupBox *TransmitFrame = nullptr;
    QPlainTextEdit *Text2 = nullptr;
    SerialStringDisplay *SerialStringDisplay1 = nullptr;
    QFrame *LeftFrame = nullptr;
    IndicatorShape *PE = nullptr;
    IndicatorShape *FE = nullptr;
    QPushButton *Connect = nullptr;
    QPushButton *Clear = nullptr;
    QPushButton *command2 = nullptr;
    QTimer *Timer1 = nullptr;
    LogCapture *m_capture = nullptr;
    // Connect's context menu item; off at start.
    QAction *menuReconnect = nullptr;
    // Says beside Connect which device a lost port waits for.
    QLabel *ReconnectLabel = nullptr;
    ReconnectWait *m_reconnect = nullptr;
    // Connect's tooltip as the connection has it, before what reconnecting adds.
    QString m_connectTip;
    // Set while the port is reopened on its own, not by the operator.
    bool m_reopening = false;
    bool m_frameKnown = false;
    CommLine *m_line = nullptr;
    MessagesWindow *m_messages = nullptr;
    // The Messages window's session, once it exists; it hears received bytes only
    // while it awaits a reply.
    MessageSession *m_session = nullptr;
};
