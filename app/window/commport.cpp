#include "commport.h"

#include "globals.h"
#include "logview.h"
#include "reconnectwait.h"
#include "serialstringdisplay.h"
#include "transmitkey.h"
#include "units.h"
#include "version.h"
#include "windowlayout.h"

#include <QAction>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWindow>

CommPort::CommPort(PortDirectory ports, QWidget *parent)
    : QWidget(parent)
    , MSComm1(std::move(ports))
{
    setObjectName(QStringLiteral("CommPort"));
    resize(Units::toPixels(8010), Units::toPixels(5415));
    // Text1 is made first, so that it comes first in the tab order and has the focus.
    createMiddle();
    createSettingsColumn();
    createRightColumn();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->setTimerType(Qt::PreciseTimer);

    // Selected as designed, before any handler is connected.
    Baudrate[2]->setChecked(true);
    Parity[2]->setChecked(true);
    StopBits[0]->setChecked(true);

    connectHandlers();
    createTransmitMenu();
    Form_Load();
}

void CommPort::connectHandlers()
{
    for (int i = 0; i < int(Port.size()); ++i) {
        connect(Port[i], &QRadioButton::toggled, this, [this, i](bool on) { if (on) Port_Click(i); });
    }
    for (int i = 0; i < int(Baudrate.size()); ++i) {
        connect(Baudrate[i], &QRadioButton::toggled, this, [this, i](bool on) { if (on) Baudrate_Click(i); });
    }
    for (int i = 0; i < int(Parity.size()); ++i) {
        connect(Parity[i], &QRadioButton::toggled, this, [this, i](bool on) { if (on) Parity_Click(i); });
    }
    for (int i = 0; i < int(StopBits.size()); ++i) {
        connect(StopBits[i], &QRadioButton::toggled, this, [this, i](bool on) { if (on) StopBits_Click(i); });
    }
    for (QRadioButton *option : Display) {
        connect(option, &QRadioButton::toggled, this, [this](bool on) { if (on) Display_Click(); });
    }
    connect(Connect, &QPushButton::toggled, this, &CommPort::Connect_Click);
    connect(Clear, &QPushButton::clicked, this, &CommPort::Clear_Click);
    connect(command2, &QPushButton::clicked, this, &CommPort::command2_Click);
    connect(Timer1, &QTimer::timeout, this, &CommPort::Timer1_Timer);
    connect(&MSComm1, &MSComm::OnComm, this, &CommPort::MSComm1_OnComm);
    connect(&MSComm1, &MSComm::portLost, this, &CommPort::portLost);
    connect(menuReconnect, &QAction::toggled, this, &CommPort::menuReconnect_Toggled);
    connect(m_reconnect, &ReconnectWait::deviceBack, this, &CommPort::reopenLostPort);
}

void CommPort::Form_Load()
{
    BaudText = QStringLiteral("9600");
    Baudrate[2]->setChecked(true);
    Parity[2]->setChecked(true);
    StopBits[0]->setChecked(true);
    ParityText = QStringLiteral("n");
    StopBitsText = QStringLiteral("1");
    Display[0]->setChecked(true);
    Globals::InitTables();
    setWindowTitle(QStringLiteral("Lorvane %1,%2,%3").arg(Version::kMajor).arg(Version::kMinor).arg(Version::kRevision));
}

bool CommPort::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        m_frameKnown = true;
        Form_Resize();
    } else if (watched == Text2 && event->type() == QEvent::KeyPress) {
        const auto &key = *static_cast<QKeyEvent *>(event);
        if (functionKey(key))
            return true;
        Text2_KeyPress(key);
        if (TransmitKey::isMenuKey(key.modifiers()) && !key.text().isEmpty())
            return true;
    } else if (watched == Text2 && event->type() == QEvent::InputMethod) {
        sendComposed(*static_cast<QInputMethodEvent *>(event));
    }
    return QWidget::eventFilter(watched, event);
}

void CommPort::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_frameKnown && windowHandle())
        windowHandle()->installEventFilter(this);
}

void CommPort::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

// W and H are the outer size, frame included; raising them to the minimum resizes
// the window, which comes back here. Until the window is on screen its frame is not
// known, and the outer size would be taken for the inner one.
void CommPort::Form_Resize()
{
    if (isMinimized())
        return;
    const auto px = Units::toPixels;
    if (m_frameKnown) {
        // The window manager keeps the window from being dragged below the minimum too.
        const QSize frameExtra = frameGeometry().size() - size();
        setMinimumSize(QSize(px(WindowLayout::kMinWidth), px(WindowLayout::kMinHeight)) - frameExtra);
        if (Units::toTwips(frameGeometry().width()) < WindowLayout::kMinWidth)
            resize(px(WindowLayout::kMinWidth) - frameExtra.width(), height());
        if (Units::toTwips(frameGeometry().height()) < WindowLayout::kMinHeight)
            resize(width(), px(WindowLayout::kMinHeight) - frameExtra.height());
    }

    const WindowLayout::Places p = WindowLayout::placesFor(Units::toTwips(frameGeometry().width()),
                                                           Units::toTwips(frameGeometry().height()));
    LeftFrame->move(px(p.leftFrameLeft), LeftFrame->y());
    Text1->resize(px(p.text1Width), px(p.text1Height));
    TransmitFrame->setGeometry(TransmitFrame->x(), px(p.transmitFrameTop), px(p.transmitFrameWidth),
                               TransmitFrame->height());
    Text2->resize(px(p.text2Width), Text2->height());
    SerialStringDisplay1->resize(px(p.displayWidth), SerialStringDisplay1->height());
}
