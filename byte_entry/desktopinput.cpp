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
            const Qt::MouseButtons others =
                QGuiApplication::mouseButtons() & ~Qt::MouseButtons(Qt::LeftButton);
            QMouseEvent release(QEvent::MouseButtonRelease, position,
                                pressed->mapToGlobal(position), Qt::LeftButton, others,
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
