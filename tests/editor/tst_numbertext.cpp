#include "numbertext.h"

#include <QtTest>

class TestNumberText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void integerFromText_data();
    void integerFromText();
    void hexFromText_data();
    void hexFromText();
    void everyValueReadsBack();
};

void TestNumberText::integerFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("negative") << QStringLiteral("-7") << -7;
    QTest::newRow("leading zeros") << QStringLiteral("007") << 7;
    QTest::newRow("letters") << QStringLiteral("abc") << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("lone minus") << QStringLiteral("-") << 0;
    QTest::newRow("number then letters") << QStringLiteral("12abc") << 12;
    QTest::newRow("blank between digits") << QStringLiteral("1 2") << 12;
    QTest::newRow("tab and line feed") << QStringLiteral("\t1\n2 ") << 12;
    QTest::newRow("blank after sign") << QStringLiteral("- 7") << -7;
    QTest::newRow("comma stops") << QStringLiteral("1,5") << 1;
    QTest::newRow("half down to even") << QStringLiteral("2.5") << 2;
    QTest::newRow("half up to even") << QStringLiteral("3.5") << 4;
    QTest::newRow("negative half") << QStringLiteral("-2.5") << -2;
    QTest::newRow("minus zero point five") << QStringLiteral("-0.5") << 0;
    QTest::newRow("above half") << QStringLiteral("2.51") << 3;
    QTest::newRow("below half") << QStringLiteral("2.4999") << 2;
    QTest::newRow("half and a trace") << QStringLiteral("2.50000000000000000001") << 3;
    QTest::newRow("fraction only") << QStringLiteral(".51") << 1;
    QTest::newRow("exponent") << QStringLiteral("1E3") << 1000;
    QTest::newRow("signed exponent") << QStringLiteral("1E+3") << 1000;
    QTest::newRow("negative exponent half") << QStringLiteral("25E-1") << 2;
    QTest::newRow("fraction and exponent") << QStringLiteral("0.35E1") << 4;
    QTest::newRow("exponent without digits") << QStringLiteral("1E") << 1;
    QTest::newRow("huge exponent") << QStringLiteral("1E999999999999999999") << 32767;
    QTest::newRow("negative huge") << QStringLiteral("-1E99") << -32768;
    QTest::newRow("tiny") << QStringLiteral("1E-999999999999999999") << 0;
    QTest::newRow("past the top") << QStringLiteral("100000") << 32767;
    QTest::newRow("top and a half") << QStringLiteral("32767.5") << 32767;
    QTest::newRow("past the bottom") << QStringLiteral("-32769") << -32768;
    QTest::newRow("four hundred digits") << QString(400, u'9') << 32767;
    QTest::newRow("hex") << QStringLiteral("&H1A") << 26;
    QTest::newRow("hex blanks") << QStringLiteral("& H 1A") << 26;
    QTest::newRow("hex FFFF") << QStringLiteral("&HFFFF") << -1;
    QTest::newRow("hex 10000") << QStringLiteral("&H10000") << 32767;
    QTest::newRow("hex FFFFFFFF") << QStringLiteral("&HFFFFFFFF") << -1;
    QTest::newRow("hex past 32 bits") << QStringLiteral("&H123456789") << 32767;
    QTest::newRow("hex stops at point") << QStringLiteral("&H1A.9") << 26;
    QTest::newRow("hex without digits") << QStringLiteral("&HG") << 0;
    QTest::newRow("octal") << QStringLiteral("&O17") << 15;
    QTest::newRow("octal 177777") << QStringLiteral("&O177777") << -1;
    QTest::newRow("octal stops at 8") << QStringLiteral("&O78") << 7;
    QTest::newRow("ampersand alone") << QStringLiteral("&") << 0;
    QTest::newRow("sign before prefix") << QStringLiteral("-&H10") << 0;
}

void TestNumberText::integerFromText()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(NumberText::integerFromText(text), qint16(value));
}

void TestNumberText::hexFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("FFFFFFFF") << QStringLiteral("FFFFFFFF") << -1;
    QTest::newRow("80000000") << QStringLiteral("80000000") << -32768;
    QTest::newRow("twenty F") << QString(20, u'F') << 32767;
    QTest::newRow("many leading zeros") << QStringLiteral("0000000000001") << 1;
    QTest::newRow("blanks") << QStringLiteral(" 1\tA\n") << 26;
    QTest::newRow("G") << QStringLiteral("G") << 0;
    QTest::newRow("prefix") << QStringLiteral("&H1A") << 0;
}

void TestNumberText::hexFromText()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(NumberText::hexFromText(text), qint16(value));
}

void TestNumberText::everyValueReadsBack()
{
    for (int v = -32768; v <= 32767; ++v) {
        const auto value = qint16(v);
        QCOMPARE(NumberText::integerFromText(NumberText::decimalText(value)), value);
        QCOMPARE(NumberText::hexFromText(NumberText::hexText(value)), value);
    }
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
