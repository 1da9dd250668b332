#pragma once

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>

// The headless platform cannot grab the pointer and says so at every pop-up; the
// tests check the grab through QWidget::mouseGrabber instead.
inline void quietPointerGrabWarnings()
{
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (message != QLatin1String("This plugin does not support grabbing the mouse"))
                previous(type, context, message);
        });
}

// Drives a modal pop-up from inside its own loop: `act` runs once the pop-up of type
// Popup is the active modal window, from a timer of the loop that shows it.
template <typename Popup>
void whenShown(QObject *context, std::function<void(Popup *)> act)
{
    auto *poll = new QTimer(context);
    poll->setInterval(1);
    QObject::connect(poll, &QTimer::timeout, context, [poll, act] {
        auto *popup = qobject_cast<Popup *>(QApplication::activeModalWidget());
        if (!popup || !popup->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        const QPointer<Popup> shown(popup);
        act(popup);
        // A check that failed inside `act` must not leave the test waiting on the loop.
        if (shown && shown->isVisible())
            shown->hide();
    });
    poll->start();
}

// Moves the pointer onto `point` of `window`; a move to where the pointer already is
// would be dropped, so it comes from the next pixel.
inline void moveOnto(QWindow *window, QPoint point)
{
    QTest::mouseMove(window, point + QPoint(1, 0));
    QTest::mouseMove(window, point);
}

// A label shows the system's highlight colours.
inline bool isHighlighted(const QLabel *label)
{
    const QPalette system = QApplication::palette();
    return label->palette().color(QPalette::Window) == system.color(QPalette::Highlight)
        && label->palette().color(QPalette::WindowText) == system.color(QPalette::HighlightedText);
}
