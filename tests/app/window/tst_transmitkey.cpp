#include "transmitkey.h"

#include <QtTest>

class TestTransmitKey : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void byteFor_data();
    void byteFor();
};

void TestTransmitKey::byteFor_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("byte"); // -1: nothing is sent

    const int none = Qt::NoModifier;
    const int ctrl = Qt::ControlModifier;
    QTest::newRow("letter A") << int(Qt::Key_A) << int(Qt::ShiftModifier) << QStringLiteral("A") << 65;
    QTest::newRow("digit") << int(Qt::Key_7) << none << QStringLiteral("7") << 55;
    QTest::newRow("Enter") << int(Qt::Key_Return) << none << QStringLiteral("\r") << 13;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << QStringLiteral("\r") << 13;
    QTest::newRow("Backspace") << int(Qt::Key_Backspace) << none << QStringLiteral("\b") << 8;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << QStringLiteral("\x1b") << 27;
    QTest::newRow("Tab moves the focus") << int(Qt::Key_Tab) << none << QStringLiteral("\t") << -1;
    QTest::newRow("Shift+Tab moves the focus") << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << QString() << -1;
    QTest::newRow("Ctrl+I") << int(Qt::Key_I) << ctrl << QStringLiteral("\t") << 9;
    QTest::newRow("Alt+A") << int(Qt::Key_A) << int(Qt::AltModifier) << QStringLiteral("a") << -1;
    QTest::newRow("Ctrl+A with text") << int(Qt::Key_A) << ctrl << QStringLiteral("\x01") << 1;
    QTest::newRow("Ctrl+A without text") << int(Qt::Key_A) << ctrl << QString() << 1;
    QTest::newRow("Ctrl+C reported as the letter") << int(Qt::Key_C) << ctrl << QStringLiteral("c") << 3;
    QTest::newRow("Ctrl+Z without text") << int(Qt::Key_Z) << ctrl << QString() << 26;
    QTest::newRow("Ctrl+Shift+C without text") << int(Qt::Key_C) << (ctrl | int(Qt::ShiftModifier)) << QString() << 3;
    QTest::newRow("euro sign") << int(Qt::Key_unknown) << none << QStringLiteral("\u20AC") << 0x80;
    QTest::newRow("e acute") << int(Qt::Key_Eacute) << none << QStringLiteral("\u00E9") << 0xE9;
    QTest::newRow("Greek alpha is not in the code page") << int(Qt::Key_unknown) << none << QStringLiteral("\u03B1") << -1;
    QTest::newRow("surrogate pair") << int(Qt::Key_unknown) << none << QStringLiteral("\U0001F600") << -1;
    QTest::newRow("Delete with text") << int(Qt::Key_Delete) << none << QStringLiteral("\x7f") << -1;
    QTest::newRow("Delete") << int(Qt::Key_Delete) << none << QString() << -1;
    QTest::newRow("arrow") << int(Qt::Key_Left) << none << QString() << -1;
    QTest::newRow("F1") << int(Qt::Key_F1) << none << QString() << -1;
    QTest::newRow("Shift alone") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << QString() << -1;
    QTest::newRow("Ctrl+arrow") << int(Qt::Key_Left) << ctrl << QString() << -1;
}

void TestTransmitKey::byteFor()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(int, byte);
    const std::optional<quint8> expected = byte < 0 ? std::nullopt : std::optional<quint8>(quint8(byte));
    QCOMPARE(TransmitKey::byteFor(key, Qt::KeyboardModifiers(modifiers), text), expected);
}

QTEST_GUILESS_MAIN(TestTransmitKey)
#include "tst_transmitkey.moc"
