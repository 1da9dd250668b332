#pragma once

#include "globals.h"

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QPalette>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>

// A pointer position outside every window the tests open.
inline constexpr QPoint kFarAway(700, 550);

// The centre of the picker's label `code` and of the chooser's row `row`, in their
// windows' pixels: labels start inside the 3-pixel border.
inline QPoint pickerLabelCentre(int code)
{
    return QPoint(3 + (code / 8) * 32 + 16, 3 + (code % 8) * 16 + 8);
}

inline QPoint chooserRowCentre(int row)
{
    return QPoint(3 + 28, 3 + row * 16 + 8);
}

// The headless platform cannot grab the pointer and says so at every pop-up; the
// tests check the grab through QWidget::mouseGrabber instead.
inline void startPopupTests()
{
    Globals::InitTables();
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (message != QLatin1String("This plugin does not support grabbing the mouse"))
                previous(type, context, message);
        });
}

// Shows `host` at a fixed place on the screen as the active window.
inline bool showActive(QWidget &host, QSize size)
{
    host.setGeometry(QRect(QPoint(100, 100), size));
    host.show();
    host.activateWindow();
    return QTest::qWaitForWindowActive(&host);
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
        if (QTest::currentTestFailed() && shown && shown->isVisible())
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

// The operator moves onto `point` of the pop-up and lets go of `button` there.
inline void pickAt(QWidget *popup, Qt::MouseButton button, QPoint point)
{
    moveOnto(popup->windowHandle(), point);
    QTest::mouseRelease(popup->windowHandle(), button, {}, point);
}

// The operator lets go on the border, on no label, which picks nothing, then leaves:
// the pointer watch must close the pop-up.
inline void leaveWithoutPick(QWidget *popup)
{
    QTest::mouseRelease(popup->windowHandle(), Qt::LeftButton, {}, QPoint(1, 1));
    QVERIFY(popup->isVisible());
    QCursor::setPos(kFarAway);
    // The watch closes it from the pop-up's own loop. Waiting for that here, in a
    // loop inside that one, can leave the pop-up's loop waiting for ever on Windows.
    QTimer::singleShot(5000, popup, [popup] {
        if (popup->isVisible()) {
            popup->hide();
            QFAIL("the pointer left, but the pop-up stayed");
        }
    });
}

// The colour a label paints inside its border, away from its caption.
inline QColor paintedBackground(QWidget *label)
{
    return label->grab().toImage().pixelColor(2, 2);
}

// A label shows the system's highlight colours.
inline bool isHighlighted(const QLabel *label)
{
    const QPalette system = QApplication::palette();
    return label->palette().color(QPalette::Window) == system.color(QPalette::Highlight)
        && label->palette().color(QPalette::WindowText) == system.color(QPalette::HighlightedText);
}
