#include "hexentry.h"

#include "spinentryfixture.h"

#include <QSignalSpy>
#include <QtTest>

// What HEXentry adds to the spin entry tested in tst_integerentry: hexadecimal text,
// the whole 16-bit range, wrap-around through FFFF, and its own focus order.
class TestHexEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void setValues_data();
    void setValues();
    void commit_data();
    void commit();
    void repeatWraps_data();
    void repeatWraps();
    void focusOrder();
};

void TestHexEntry::setValues_data()
{
    QTest::addColumn<int>("inp");
    QTest::addColumn<QString>("shown");
    QTest::newRow("zero") << 0 << QStringLiteral("0");
    QTest::newRow("26") << 26 << QStringLiteral("1A");
    QTest::newRow("top") << 32767 << QStringLiteral("7FFF");
    QTest::newRow("minus one") << -1 << QStringLiteral("FFFF");
    QTest::newRow("bottom") << -32768 << QStringLiteral("8000");
}

void TestHexEntry::setValues()
{
    QFETCH(int, inp);
    QFETCH(QString, shown);
    HEXentry entry;
    QSignalSpy changed(&entry, &HEXentry::changed);
    entry.set_values(qint16(inp), QStringLiteral("Pattern"));
    auto *box = entry.findChild<QLineEdit *>(QStringLiteral("Text1"));
    QCOMPARE(box->text(), shown);
    QCOMPARE(box->toolTip(), QStringLiteral("Pattern"));
    QCOMPARE(entry.return_value(), qint16(inp));
    QCOMPARE(box->text(), shown);
    QCOMPARE(changed.count(), 0);
}

void TestHexEntry::commit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("lower case") << QStringLiteral("ff") << 255 << QStringLiteral("FF");
    QTest::newRow("leading zero") << QStringLiteral("0ff") << 255 << QStringLiteral("FF");
    QTest::newRow("stops at G") << QStringLiteral("12G4") << 18 << QStringLiteral("12");
    QTest::newRow("32-bit, below the range") << QStringLiteral("FFFF0000") << -32768 << QStringLiteral("8000");
    QTest::newRow("FFFF") << QStringLiteral("FFFF") << -1 << QStringLiteral("FFFF");
    QTest::newRow("8000") << QStringLiteral("8000") << -32768 << QStringLiteral("8000");
    QTest::newRow("10000, above the range") << QStringLiteral("10000") << 32767 << QStringLiteral("7FFF");
    QTest::newRow("past FFFFFFFF") << QStringLiteral("123456789ABCDEF") << 32767 << QStringLiteral("7FFF");
    QTest::newRow("minus sign") << QStringLiteral("-5") << 0 << QStringLiteral("0");
    QTest::newRow("empty") << QString() << 0 << QStringLiteral("0");
}

void TestHexEntry::commit()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(QString, shown);
    HEXentry entry;
    auto *box = entry.findChild<QLineEdit *>(QStringLiteral("Text1"));
    box->setText(text);
    QCOMPARE(entry.return_value(), qint16(value));
    QCOMPARE(box->text(), shown);
}

// Steps pass through the 16-bit pattern: down from 1, and up from FFFF.
void TestHexEntry::repeatWraps_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("up");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("Down from 1") << 1 << false << Qt::LeftButton
                                 << QStringList{QStringLiteral("0"), QStringLiteral("FFFF"), QStringLiteral("FFFE")};
    QTest::newRow("Up from FFFF") << -1 << true << Qt::MiddleButton
                                  << QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")};
}

void TestHexEntry::repeatWraps()
{
    QFETCH(int, start);
    QFETCH(bool, up);
    QFETCH(Qt::MouseButton, button);
    QFETCH(QStringList, shown);
    SpinEntryHost<HEXentry> host;
    host.entry->set_values(qint16(start), QString());
    QSignalSpy changed(host.entry, &HEXentry::changed);
    QWidget *spin = up ? host.up() : host.down();
    QTest::mousePress(spin, button);
    QCOMPARE(host.text()->text(), shown[0]);
    QCOMPARE(host.timer()->interval(), 1000);
    host.tick();
    QCOMPARE(host.text()->text(), shown[1]);
    QCOMPARE(host.timer()->interval(), 100);
    host.tick();
    QCOMPARE(host.text()->text(), shown[2]);
    QCOMPARE(changed.count(), 0);
    QTest::mouseRelease(spin, button);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(host.entry->return_value(), qint16(start + (up ? 3 : -3)));
}

void TestHexEntry::focusOrder()
{
    SpinEntryHost<HEXentry> host;
    QCOMPARE(host.down()->nextInFocusChain(), host.up());
    QCOMPARE(host.up()->nextInFocusChain(), host.text());
}

QTEST_MAIN(TestHexEntry)
#include "tst_hexentry.moc"
