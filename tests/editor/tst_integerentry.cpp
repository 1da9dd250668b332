#include "integerentry.h"

#include "spinentryfixture.h"

#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

namespace {
constexpr qint16 kCountMin = 0;
constexpr qint16 kCountMax = 32;
constexpr qint16 kLowest = -32768;
constexpr qint16 kHighest = 32767;
} // namespace

class TestIntegerEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commit_data();
    void commit();
    void enterKey_data();
    void enterKey();
    void setValuesRaisesNothingAndStopsRepeat();
    void neverConfigured();
    void repeat_data();
    void repeat();
    void pressAtALimit_data();
    void pressAtALimit();
    void oneTimerForBothButtons();
    void focus_data();
    void focus();
    void focusOrder();
    void coverPanel();
    void deletedWhileTyping();
};

// The reading of numbers is tabled in tst_numbertext; here the entry's own part: the
// 16-bit result limited to the bounds, upper bound first, and the text rewritten.
void TestIntegerEntry::commit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mini");
    QTest::addColumn<int>("maxi");
    QTest::addColumn<QString>("shown");
    QTest::newRow("past 16 bits, then the bound") << QStringLiteral("100000") << 0 << 32 << QStringLiteral("32");
    QTest::newRow("below the bound") << QStringLiteral("-7") << 0 << 32 << QStringLiteral("0");
    QTest::newRow("no number") << QStringLiteral("abc") << 0 << 32 << QStringLiteral("0");
    QTest::newRow("half up to even") << QStringLiteral("3.5") << 0 << 32 << QStringLiteral("4");
    QTest::newRow("hex pattern below the bound") << QStringLiteral("&HFFFF") << 0 << 32 << QStringLiteral("0");
    QTest::newRow("exponent past the bound") << QStringLiteral("1E3") << 0 << 32 << QStringLiteral("32");
    QTest::newRow("inverted, above maxi") << QStringLiteral("7") << 10 << 5 << QStringLiteral("5");
    QTest::newRow("inverted, below mini") << QStringLiteral("3") << 10 << 5 << QStringLiteral("10");
}

void TestIntegerEntry::commit()
{
    QFETCH(QString, text);
    QFETCH(int, mini);
    QFETCH(int, maxi);
    QFETCH(QString, shown);
    IntegerEntry entry;
    entry.set_values(0, qint16(mini), qint16(maxi), QString());
    auto *box = entry.findChild<QLineEdit *>(QStringLiteral("Text1"));
    box->setText(text);
    QSignalSpy changed(&entry, &IntegerEntry::changed);
    QCOMPARE(entry.return_value(), shown.toShort());
    QCOMPARE(box->text(), shown);
    QCOMPARE(changed.count(), 0);
}

void TestIntegerEntry::enterKey_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("autoRepeat");
    QTest::addColumn<int>("events");
    QTest::addColumn<QString>("shown");
    QTest::newRow("Return") << int(Qt::Key_Return) << false << 1 << QStringLiteral("13");
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << false << 1 << QStringLiteral("13");
    QTest::newRow("held Return repeating") << int(Qt::Key_Return) << true << 0 << QStringLiteral("12.7");
    QTest::newRow("another key") << int(Qt::Key_Shift) << false << 0 << QStringLiteral("12.7");
}

void TestIntegerEntry::enterKey()
{
    QFETCH(int, key);
    QFETCH(bool, autoRepeat);
    QFETCH(int, events);
    QFETCH(QString, shown);
    SpinEntryHost<IntegerEntry> host;
    QVERIFY(host.isActive());
    host.entry->set_values(0, kCountMin, kCountMax, QString());
    host.text()->setFocus();
    host.text()->setText(QStringLiteral("12.7"));
    QSignalSpy changed(host.entry, &IntegerEntry::changed);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(), autoRepeat);
    QCoreApplication::sendEvent(host.text(), &release);
    QCOMPARE(changed.count(), events);
    QCOMPARE(host.text()->text(), shown);
}

void TestIntegerEntry::setValuesRaisesNothingAndStopsRepeat()
{
    SpinEntryHost<IntegerEntry> host;
    QSignalSpy changed(host.entry, &IntegerEntry::changed);
    host.entry->set_values(40, kCountMin, kCountMax, QStringLiteral("Number of bytes"));
    QCOMPARE(host.text()->text(), QStringLiteral("32"));
    QCOMPARE(host.text()->toolTip(), QStringLiteral("Number of bytes"));
    QTest::mousePress(host.down(), Qt::LeftButton);
    QVERIFY(host.timer()->isActive());
    host.entry->set_values(5, kCountMin, kCountMax, QString());
    QVERIFY(!host.timer()->isActive());
    QCOMPARE(host.text()->text(), QStringLiteral("5"));
    QCOMPARE(changed.count(), 0);
}

void TestIntegerEntry::neverConfigured()
{
    SpinEntryHost<IntegerEntry> host;
    QCOMPARE(host.text()->text(), QStringLiteral("10.00"));
    QCOMPARE(host.entry->return_value(), qint16(0));
    host.text()->setText(QStringLiteral("5"));
    QCOMPARE(host.entry->return_value(), qint16(0));
    QTest::mousePress(host.up(), Qt::LeftButton);
    host.tick();
    QCOMPARE(host.text()->text(), QStringLiteral("0"));
}

void TestIntegerEntry::repeat_data()
{
    QTest::addColumn<bool>("up");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("Up, left button") << true << Qt::LeftButton;
    QTest::newRow("Up, right button") << true << Qt::RightButton;
    QTest::newRow("Up, middle button") << true << Qt::MiddleButton;
    QTest::newRow("Down, left button") << false << Qt::LeftButton;
    QTest::newRow("Down, right button") << false << Qt::RightButton;
}

void TestIntegerEntry::repeat()
{
    QFETCH(bool, up);
    QFETCH(Qt::MouseButton, button);
    constexpr qint16 kStart = 10;
    const int step = up ? 1 : -1;
    SpinEntryHost<IntegerEntry> host;
    QVERIFY(host.isActive());
    host.entry->set_values(kStart, kCountMin, kCountMax, QString());
    QSignalSpy changed(host.entry, &IntegerEntry::changed);
    QWidget *spin = up ? host.up() : host.down();

    QTest::mousePress(spin, button);
    QCOMPARE(host.text()->text(), QString::number(kStart + step));
    QVERIFY(host.timer()->isActive());
    QCOMPARE(host.timer()->interval(), 1000);
    for (int ticks = 1; ticks <= 3; ++ticks) {
        host.tick();
        QCOMPARE(host.timer()->interval(), 100);
        QVERIFY(host.timer()->isActive());
        QCOMPARE(host.text()->text(), QString::number(kStart + step * (1 + ticks)));
    }
    QCOMPARE(changed.count(), 0);
    QTest::mouseRelease(spin, button);
    QVERIFY(!host.timer()->isActive());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(host.entry->return_value(), qint16(kStart + 4 * step));
}

// A press at a bound steps onto the same bound and repeats; at an end of the 16-bit
// range it does nothing at all. The release raises changed either way.
void TestIntegerEntry::pressAtALimit_data()
{
    QTest::addColumn<bool>("up");
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("repeats");
    QTest::newRow("Up at max_value: repeats on the bound") << true << int(kCountMax) << true;
    QTest::newRow("Down at min_value: repeats on the bound") << false << int(kCountMin) << true;
    QTest::newRow("Up at 32767: no repeat") << true << int(kHighest) << false;
    QTest::newRow("Down at -32768: no repeat") << false << int(kLowest) << false;
}

void TestIntegerEntry::pressAtALimit()
{
    QFETCH(bool, up);
    QFETCH(int, start);
    QFETCH(bool, repeats);
    SpinEntryHost<IntegerEntry> host;
    const qint16 bound = qint16(start);
    host.entry->set_values(bound, up ? kLowest : bound, up ? bound : kHighest, QString());
    QSignalSpy changed(host.entry, &IntegerEntry::changed);
    QWidget *spin = up ? host.up() : host.down();
    QTest::mousePress(spin, Qt::LeftButton);
    QCOMPARE(host.timer()->isActive(), repeats);
    if (repeats)
        host.tick();
    QCOMPARE(host.text()->text(), QString::number(start));
    QCOMPARE(changed.count(), 0);
    QTest::mouseRelease(spin, Qt::LeftButton);
    QCOMPARE(changed.count(), 1);
}

void TestIntegerEntry::oneTimerForBothButtons()
{
    SpinEntryHost<IntegerEntry> host;
    host.entry->set_values(5, kCountMin, kCountMax, QString());
    QSignalSpy changed(host.entry, &IntegerEntry::changed);
    QTest::mousePress(host.up(), Qt::LeftButton);
    QTest::mousePress(host.down(), Qt::RightButton);
    // Each tick steps down, then up.
    host.tick();
    QCOMPARE(host.text()->text(), QStringLiteral("5"));
    QTest::mouseRelease(host.down(), Qt::RightButton);
    QVERIFY(!host.timer()->isActive());
    QCOMPARE(changed.count(), 1);
}

void TestIntegerEntry::focus_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("events");
    QTest::newRow("Text1 to Up") << QStringLiteral("Text1") << QStringLiteral("Up") << 1;
    QTest::newRow("Text1 out of the control") << QStringLiteral("Text1") << QStringLiteral("outside") << 1;
    QTest::newRow("Up out of the control") << QStringLiteral("Up") << QStringLiteral("outside") << 0;
    QTest::newRow("Up to Down") << QStringLiteral("Up") << QStringLiteral("Down") << 0;
}

void TestIntegerEntry::focus()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, events);
    SpinEntryHost<IntegerEntry> host;
    QVERIFY(host.isActive());
    host.entry->set_values(0, kCountMin, kCountMax, QString());
    host.window.findChild<QWidget *>(from)->setFocus(Qt::TabFocusReason);
    host.text()->setText(QStringLiteral("7.5"));
    QSignalSpy changed(host.entry, &IntegerEntry::changed);
    host.window.findChild<QWidget *>(to)->setFocus(Qt::TabFocusReason);
    QCOMPARE(changed.count(), events);
    const bool leftTheControl = to == QStringLiteral("outside");
    QCOMPARE(host.text()->text(), events || leftTheControl ? QStringLiteral("8") : QStringLiteral("7.5"));
}

void TestIntegerEntry::focusOrder()
{
    SpinEntryHost<IntegerEntry> host;
    QCOMPARE(host.text()->nextInFocusChain(), host.up());
    QCOMPARE(host.up()->nextInFocusChain(), host.down());
}

void TestIntegerEntry::coverPanel()
{
    SpinEntryHost<IntegerEntry> host;
    host.entry->set_values(7, kCountMin, kCountMax, QString());
    QSignalSpy changed(host.entry, &IntegerEntry::changed);
    auto *cover = host.part<QWidget>("Frame1");
    const QPoint inText = host.text()->geometry().center();
    QCOMPARE(host.entry->childAt(inText), host.text());

    host.entry->Enabled(false);
    QWidget *hit = host.entry->childAt(inText);
    QVERIFY(hit == cover || cover->isAncestorOf(hit));
    QCOMPARE(host.part<QLabel>("Label1")->text(), QString(20, u'-'));

    host.entry->Enabled(true);
    QCOMPARE(host.entry->childAt(inText), host.text());
    QCOMPARE(host.text()->text(), QStringLiteral("7"));
    QCOMPARE(changed.count(), 0);
}

void TestIntegerEntry::deletedWhileTyping()
{
    // The focus leaves the text box while the entry is being destroyed; with the
    // sanitizers on, a call into the half-destroyed entry fails here.
    SpinEntryHost<IntegerEntry> host;
    QVERIFY(host.isActive());
    host.text()->setFocus();
    host.text()->setText(QStringLiteral("3"));
    QSignalSpy changed(host.entry, &IntegerEntry::changed);
    delete host.entry;
    QCOMPARE(changed.count(), 0);
}

QTEST_MAIN(TestIntegerEntry)
#include "tst_integerentry.moc"
