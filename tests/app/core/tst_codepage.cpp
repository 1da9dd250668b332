#include "codepage.h"

#include <QtTest>

class TestCodePage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void knownCharacters_data();
    void knownCharacters();
    void everyByteRoundTrips();
    void unencodable_data();
    void unencodable();
};

void TestCodePage::knownCharacters_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("unicode");
    QTest::newRow("NUL") << 0x00 << 0x0000;
    QTest::newRow("A") << 0x41 << 0x0041;
    QTest::newRow("DEL") << 0x7F << 0x007F;
    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("unassigned 0x81") << 0x81 << 0x0081;
    QTest::newRow("unassigned 0x8D") << 0x8D << 0x008D;
    QTest::newRow("unassigned 0x8F") << 0x8F << 0x008F;
    QTest::newRow("unassigned 0x90") << 0x90 << 0x0090;
    QTest::newRow("left quote") << 0x91 << 0x2018;
    QTest::newRow("unassigned 0x9D") << 0x9D << 0x009D;
    QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
    QTest::newRow("no-break space") << 0xA0 << 0x00A0;
    QTest::newRow("y diaeresis") << 0xFF << 0x00FF;
}

void TestCodePage::knownCharacters()
{
    QFETCH(int, byte);
    QFETCH(int, unicode);
    QCOMPARE(CodePage::toUnicode(quint8(byte)).unicode(), char16_t(unicode));
    QCOMPARE(CodePage::fromUnicode(QChar(char16_t(unicode))), std::optional<quint8>(quint8(byte)));
}

void TestCodePage::everyByteRoundTrips()
{
    QSet<char16_t> seen;
    for (int b = 0; b < 256; ++b) {
        const QChar c = CodePage::toUnicode(quint8(b));
        QVERIFY2(!seen.contains(c.unicode()), qPrintable(QString::number(b)));
        seen.insert(c.unicode());
        QCOMPARE(CodePage::fromUnicode(c), std::optional<quint8>(quint8(b)));
    }
}

void TestCodePage::unencodable_data()
{
    QTest::addColumn<int>("unicode");
    QTest::newRow("C1 0x80 has the euro's place") << 0x0080;
    QTest::newRow("C1 0x9F") << 0x009F;
    QTest::newRow("Greek alpha") << 0x03B1;
    QTest::newRow("CJK") << 0x4E2D;
    QTest::newRow("replacement") << 0xFFFD;
}

void TestCodePage::unencodable()
{
    QFETCH(int, unicode);
    QCOMPARE(CodePage::fromUnicode(QChar(char16_t(unicode))), std::nullopt);
}

QTEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
