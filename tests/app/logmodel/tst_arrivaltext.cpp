#include "arrivaltext.h"

#include <QtTest>

using ReceiveNotation::Notation;

static constexpr qsizetype kChunk = ReceiveLog::kChunkSize;
// Where the second block, "48,69,0D,,7,200,ab", begins.
static constexpr qsizetype kSecond = kChunk;
static const QDate kToday(2026, 12, 8);

class TestArrivalText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tooltip_data();
    void tooltip();
    void everyPositionFindsItsByte();

private:
    static qint64 at(int h, int m, int s, int ms, QDate day = kToday)
    {
        return QDateTime(day, QTime(h, m, s, ms)).toMSecsSinceEpoch();
    }
};

void TestArrivalText::tooltip_data()
{
    QTest::addColumn<bool>("typed");
    QTest::addColumn<qsizetype>("pos");
    QTest::addColumn<qsizetype>("from");
    QTest::addColumn<qsizetype>("to");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, qsizetype pos, qsizetype from, qsizetype to, const QString &expected) {
        QTest::newRow(name) << false << pos << from << to << expected;
    };
    const qsizetype s = kSecond;
    row("first block", 0, 0, 0, u"Received 14:03:20.000"_qs);
    row("HEX pair", s, 0, 0, u"Received 14:03:22.418"_qs);
    row("HEX comma", s + 5, 0, 0, u"Received 14:03:22.418"_qs);
    row("HEX pair of the next read", s + 6, 0, 0, u"Received 14:03:22.419"_qs);
    row("DEC 0 byte, a lone comma", s + 9, 0, 0, u"Received 14:03:25.001"_qs);
    row("DEC comma", s + 11, 0, 0, u"Received 14:03:25.002"_qs);
    row("DEC three digits", s + 12, 0, 0, u"Received 14:03:25.003"_qs);
    row("another day", s + 16, 0, 0, u"Received 2026-12-07 23:59:59.999"_qs);
    row("ASCII after a 0 byte", s + 17, 0, 0, u"Received 14:03:26.000"_qs);
    row("nothing under the pointer", -1, 0, 0, QString());
    row("selection across reads", s + 4, s, s + 9, u"14:03:22.418 to 14:03:22.419 (0.001 s, 3 bytes)"_qs);
    row("one byte selected", s + 8, s + 6, s + 9, u"14:03:22.419 to 14:03:22.419 (0.000 s, 1 byte)"_qs);
    row("beside the selection", s + 6, s, s + 3, u"Received 14:03:22.419"_qs);
    row("selection across blocks", kChunk, kChunk - 2, s + 6, u"14:03:20.000 to 14:03:22.418 (2.418 s, 4 bytes)"_qs);
    row("0 byte inside an ASCII selection", s + 16, s + 16, s + 18,
        u"2026-12-07 23:59:59.999 to 14:03:26.000 (50,606.001 s, 3 bytes)"_qs);
    row("clock set back inside the selection", s + 12, s + 12, s + 17,
        u"14:03:25.003 to 2026-12-07 23:59:59.999 (-50,605.004 s, 2 bytes)"_qs);
    row("select all", 0, 0, s + 18, u"14:03:20.000 to 14:03:26.000 (6.000 s, 4,105 bytes)"_qs);
    // Typing one character at 0 makes the whole first block typed text.
    QTest::newRow("typed text") << true << qsizetype(0) << qsizetype(0) << qsizetype(0) << QString();
    QTest::newRow("typed text in a selection") << true << qsizetype(0) << qsizetype(0) << s + 4
                                               << u"14:03:22.418 to 14:03:22.418 (0.000 s, 1 byte)"_qs;
    QTest::newRow("typed text alone selected") << true << qsizetype(5) << qsizetype(0) << s << QString();
}

void TestArrivalText::tooltip()
{
    QFETCH(bool, typed);
    QFETCH(qsizetype, pos);
    QFETCH(qsizetype, from);
    QFETCH(qsizetype, to);
    QFETCH(QString, expected);
    ReceiveLog log;
    log.append(QByteArray(kChunk, 'x'), Notation::Ascii, at(14, 3, 20, 0));
    log.append(QByteArrayView("\x48\x69"), Notation::Hex, at(14, 3, 22, 418));
    log.append(QByteArrayView("\x0D"), Notation::Hex, at(14, 3, 22, 419));
    log.append(QByteArrayView("\0", 1), Notation::Dec, at(14, 3, 25, 1));
    log.append(QByteArrayView("\x07"), Notation::Dec, at(14, 3, 25, 2));
    log.append(QByteArrayView("\xC8"), Notation::Dec, at(14, 3, 25, 3));
    log.append(QByteArrayView("a"), Notation::Ascii, at(23, 59, 59, 999, kToday.addDays(-1)));
    log.append(QByteArrayView("\0b", 2), Notation::Ascii, at(14, 3, 26, 0));
    LogText text;
    text.assign(log);
    QCOMPARE(text.mid(kSecond, text.size()), u"48,69,0D,,7,200,ab"_qs);
    if (typed)
        text.replace(0, 0, u"Q"_qs);
    QCOMPARE(ArrivalText::tooltip(text, pos, from, to, kToday), expected);
}

// Each byte its own read, a millisecond apart: the time under a position names the
// byte written there, in compressed chunks and across changes of notation.
void TestArrivalText::everyPositionFindsItsByte()
{
    static constexpr qint64 kBase = 1'796'724'000'000;
    ReceiveLog log;
    QList<qint64> owner; // the byte written at each position
    char out[ReceiveNotation::kMaxChars];
    for (qint64 i = 0; i < (ReceiveLog::kRawChunks + 2) * kChunk; ++i) {
        const char byte = char(i * 7);
        const Notation notation = Notation(i / 100 % 3);
        log.append(QByteArrayView(&byte, 1), notation, kBase + i);
        owner.append(QList<qint64>(ReceiveNotation::render(quint8(byte), notation, out), i));
    }
    LogText text;
    text.assign(log);
    QCOMPARE(text.size(), owner.size());
    // Enough of a compressed and of the growing chunk for several changes of notation.
    for (const qsizetype block : {qsizetype(0), text.blockCount() - 1}) {
        for (qsizetype pos = text.blockStart(block); pos < text.blockStart(block) + 2000; ++pos)
            QCOMPARE(ArrivalText::timeAt(text, pos), kBase + owner.at(pos));
    }
}

QTEST_MAIN(TestArrivalText)
#include "tst_arrivaltext.moc"
