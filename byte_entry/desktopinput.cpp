#include "desktopinput.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>

namespace DesktopInput {

void sendLeftButtonUp(QWidget *pressed, QPointF position)
{
    QMetaObject::invokeMethod(
        pressed,
        [pressed, position] {
            const Qt::MouseButtons held = QGuiApplication::mouseButtons();
            if (!(held & Qt::LeftButton))
                return;
            QMouseEvent release(QEvent::MouseButtonRelease, position,
                                pressed->mapToGlobal(position), Qt::LeftButton,
                                held & ~Qt::MouseButtons(Qt::LeftButton),
                                QGuiApplication::keyboardModifiers());
            QCoreApplication::sendEvent(pressed, &release);
        },
        Qt::QueuedConnection);
}

QPoint clientToScreen(const QWidget *widget, QPoint client)
{
    return widget->mapToGlobal(client);
}

QPoint cursorPos()
{
    return QCursor::pos();
}

void holdPointer(QWidget *popup)
{
    QMetaObject::invokeMethod(
        popup,
        [popup] {
            if (popup->isVisible())
                popup->grabMouse();
        },
        Qt::QueuedConnection);
}

void releasePointer(QWidget *popup)
{
    if (QWidget::mouseGrabber() == popup)
        popup->releaseMouse();
}

} // namespace DesktopInput
