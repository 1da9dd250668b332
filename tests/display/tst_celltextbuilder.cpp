#include "celltextbuilder.h"

#include "codepage.h"
#include "globals.h"
#include "messages.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestCellTextBuilder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Globals::InitTables(); }
    void everyByteReadsBack();
    void cells_data();
    void cells();
};

static const QColor kBlack(0, 0, 0);
static const QColor kRed(255, 0, 0);
static const QColor kBlue(0, 0, 255);
static const QColor kMagenta(255, 0, 255);
static const QColor kGreen(0, 128, 0);

// Every byte through every notation, read back from the text; modes 5 to 255 give nothing.
void TestCellTextBuilder::everyByteReadsBack()
{
    for (int v = 0; v < 256; ++v) {
        const quint8 b = quint8(v);
        const QString ascii = *CellTextBuilder::valueText(b, kAscii);
        QCOMPARE(ascii, QString(CodePage::toUnicode(v < 32 ? 127 : b)));
        const QString hex = *CellTextBuilder::valueText(b, kHex);
        QCOMPARE(hex.size(), 3);
        QCOMPARE(hex.chopped(1).toInt(nullptr, 16), v);
        QCOMPARE(hex.chopped(1), hex.chopped(1).toUpper());
        const QString dec = *CellTextBuilder::valueText(b, kDecimal);
        QCOMPARE(dec.size(), 4);
        QCOMPARE(dec.chopped(1).toInt(), v);
        const QString bin = *CellTextBuilder::valueText(b, kBinary);
        QVERIFY(bin.endsWith(u'b'));
        QCOMPARE(Globals::BinaryTextToByte(bin.chopped(1)), b);
        const QString control = *CellTextBuilder::valueText(b, kControl);
        QCOMPARE(control, v < 32 ? Globals::ControlCodeNames[v] + u'c' : QStringLiteral("ERRORc"));
        for (int mode = 5; mode < 256; ++mode)
            QVERIFY(!CellTextBuilder::valueText(b, quint8(mode)));
    }
}

void TestCellTextBuilder::cells_data()
{
    QTest::addColumn<ByteList>("bytes");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<QColor>>("colours");
    QTest::newRow("worked example")
        << ByteList{{2, kHex}, {0x41, kAscii}, {0x42, kAscii}, {3, kHex}}
        << QStringList{u"02h"_s, u",A"_s, u"B"_s, u",03h"_s} << QList<QColor>{kRed, kBlack, kBlack, kRed};
    QTest::newRow("ASCII run has no commas") << ByteList{{'H', kAscii}, {'i', kAscii}}
                                             << QStringList{u"H"_s, u"i"_s} << QList<QColor>{kBlack, kBlack};
    QTest::newRow("every other notation is separated")
        << ByteList{{7, kDecimal}, {255, kHex}, {0, kBinary}, {2, kControl}, {65, kControl}}
        << QStringList{u"007d"_s, u",FFh"_s, u",0b"_s, u",STXc"_s, u",ERRORc"_s}
        << QList<QColor>{kBlue, kRed, kMagenta, kGreen, kGreen};
    QTest::newRow("unknown mode first is empty and black") << ByteList{{9, 7}, {1, kHex}}
                                                           << QStringList{QString(), u",01h"_s}
                                                           << QList<QColor>{kBlack, kRed};
    QTest::newRow("unknown mode repeats the cell before") << ByteList{{5, kBinary}, {9, 7}, {9, 200}}
                                                          << QStringList{u"101b"_s, u",101b"_s, u",101b"_s}
                                                          << QList<QColor>{kMagenta, kMagenta, kMagenta};
    QTest::newRow("ASCII below the space shows code 127")
        << ByteList{{13, kAscii}, {0, kAscii}} << QStringList{u"\x7f"_s, u"\x7f"_s} << QList<QColor>{kBlack, kBlack};
    QTest::newRow("unknown mode between ASCII bytes")
        << ByteList{{'A', kAscii}, {9, 7}, {'B', kAscii}} << QStringList{u"A"_s, u",A"_s, u",B"_s}
        << QList<QColor>{kBlack, kBlack, kBlack};
}

void TestCellTextBuilder::cells()
{
    QFETCH(ByteList, bytes);
    QFETCH(QStringList, texts);
    QFETCH(QList<QColor>, colours);
    CellTextBuilder builder;
    for (int i = 0; i < bytes.size(); ++i) {
        const CellText cell = builder.next(quint8(bytes[i].first), quint8(bytes[i].second));
        QCOMPARE(cell.text, texts[i]);
        QCOMPARE(cell.colour, colours[i]);
        QCOMPARE(cell.separatorWidth, cell.text.startsWith(u',') ? 8 : 0);
    }
}

QTEST_GUILESS_MAIN(TestCellTextBuilder)
#include "tst_celltextbuilder.moc"
