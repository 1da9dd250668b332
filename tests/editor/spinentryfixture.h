#pragma once

#include <QCoreApplication>
#include <QLineEdit>
#include <QTimer>
#include <QTimerEvent>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>

// A shown, active window holding one spin entry and one other control, which has the
// focus at the start, so that the focus tests see real focus moves.
template<class Entry>
struct SpinEntryHost
{
    QWidget window;
    Entry *entry = new Entry(&window);
    QLineEdit *outside = new QLineEdit(&window);

    SpinEntryHost()
    {
        outside->setObjectName(QStringLiteral("outside"));
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(entry);
        layout->addWidget(outside);
        window.show();
        window.activateWindow();
        outside->setFocus();
    }

    bool isActive() { return QTest::qWaitForWindowActive(&window) && outside->hasFocus(); }

    template<class T>
    T *part(const char *name) const
    {
        return entry->template findChild<T *>(QString::fromLatin1(name));
    }

    QLineEdit *text() const { return part<QLineEdit>("Text1"); }
    QWidget *up() const { return part<QWidget>("Up"); }
    QWidget *down() const { return part<QWidget>("Down"); }
    QTimer *timer() const { return part<QTimer>("Timer1"); }

    // One tick of the repeat timer, delivered at once instead of after its interval.
    void tick() const
    {
        QTimerEvent event(timer()->timerId());
        QCoreApplication::sendEvent(timer(), &event);
    }
};
