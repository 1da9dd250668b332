#include "commport.h"

#include "formbuilder.h"
#include "reconnectwait.h"
#include "units.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QToolTip>

namespace {

QString reconnectTip()
{
    return QStringLiteral("Reconnect Automatically is on: a lost port opens again when its device returns");
}

} // namespace

// The item sits in Connect's own context menu, so the right-click and the menu key
// reach it wherever the button is; the wait shows in the empty space just above it.
void CommPort::createReconnect()
{
    menuReconnect = new QAction(QStringLiteral("Reconnect &Automatically"), Connect);
    menuReconnect->setObjectName(QStringLiteral("menuReconnect"));
    menuReconnect->setCheckable(true);
    Connect->addAction(menuReconnect);
    Connect->setContextMenuPolicy(Qt::ActionsContextMenu);
    ReconnectLabel = FormBuilder::label(LeftFrame, QStringLiteral("ReconnectLabel"), QString(),
                                        Units::twipsRect(120, 4320, 2535, 255));
    ReconnectLabel->hide();
    m_reconnect = new ReconnectWait(MSComm1.ports(), this);
}

void CommPort::menuReconnect_Toggled(bool on)
{
    if (!on)
        stopWaiting();
    setConnectTip(m_connectTip);
}

void CommPort::setConnectTip(const QString &tip)
{
    m_connectTip = tip;
    if (!menuReconnect->isChecked())
        Connect->setToolTip(tip);
    else
        Connect->setToolTip(tip.isEmpty() ? reconnectTip() : tip + u'\n' + reconnectTip());
}

void CommPort::waitForDevice()
{
    const bool waiting = m_reconnect->start(MSComm1.CommPort());
    const QString text = waiting ? QStringLiteral("waiting for %1…").arg(m_reconnect->path())
                                 : QStringLiteral("cannot wait for %1: the system tells of no devices")
                                       .arg(m_reconnect->path());
    ReconnectLabel->setToolTip(text);
    ReconnectLabel->setText(
        ReconnectLabel->fontMetrics().elidedText(text, Qt::ElideMiddle, ReconnectLabel->width()));
    ReconnectLabel->show();
}

void CommPort::stopWaiting()
{
    m_reconnect->stop();
    ReconnectLabel->hide();
}

// As if the operator pressed Connect, but the keyboard stays where it is: a board
// that resets while the operator types elsewhere must not take the focus.
void CommPort::reopenLostPort()
{
    const QString lossTold = m_connectTip;
    // Asked before the open: udev may grant the permission between a refused open and
    // a question after it, and the change that would have been waited for is past then.
    const bool permitted = ReconnectWait::mayOpen(m_reconnect->path());
    m_reopening = true;
    Connect->setChecked(true);
    m_reopening = false;
    if (MSComm1.PortOpen()) {
        stopWaiting();
        // The loss it still shows is over.
        if (QToolTip::isVisible() && QToolTip::text() == lossTold)
            QToolTip::hideText();
    } else {
        m_reconnect->openFailed(!permitted);
    }
}
