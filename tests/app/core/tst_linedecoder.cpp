#include "linedecoder.h"

#include <QtTest>

#include <optional>
#include <vector>

using Event = LineDecoder::Event;

namespace {

constexpr int kParity = int(Event::ParityError);
constexpr int kFraming = int(Event::FramingError);
constexpr int kBreak = int(Event::Break);

// A stream as the line discipline delivers it with PARMRK, and where each error
// mark ends, so that a test can hand out the counters a read would see.
struct MarkedStream {
    QByteArray raw;
    std::vector<qsizetype> markEnds;

    void data(quint8 byte)
    {
        raw.append(char(byte));
        if (byte == 0xFF)
            raw.append(char(0xFF));
    }
    void error(quint8 byte)
    {
        raw.append("\xFF\x00", 2).append(char(byte));
        markEnds.push_back(raw.size() - 1);
    }
};

struct Decoded {
    QByteArray data;
    QList<int> events;
};

// Feeds `raw` in pieces of `chunk` bytes. With `parityMarks` each read carries
// parity counters grown by the marks it completes; without, no counters at all.
Decoded decodeInChunks(const MarkedStream &stream, qsizetype chunk, bool parityMarks, bool parityOn)
{
    LineDecoder decoder;
    decoder.setParityEnabled(parityOn);
    Decoded result;
    for (qsizetype start = 0; start < stream.raw.size(); start += chunk) {
        const qsizetype end = std::min(stream.raw.size(), start + chunk);
        std::optional<LineCounters> counters;
        if (parityMarks) {
            counters = LineCounters{};
            for (const qsizetype markEnd : stream.markEnds)
                counters->parity += markEnd >= start && markEnd < end;
        }
        for (const Event e : decoder.decode(QByteArrayView(stream.raw).sliced(start, end - start), result.data,
                                            counters ? &*counters : nullptr))
            result.events.append(int(e));
    }
    return result;
}

} // namespace

class TestLineDecoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void marks_data();
    void marks();
    void splitAtEveryPosition_data();
    void splitAtEveryPosition();
    void everyByteValueOnce_data();
    void everyByteValueOnce();
    void resetDropsHalfMark();
    void countsBesideData_data();
    void countsBesideData();
};

void TestLineDecoder::marks_data()
{
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<bool>("parityOn");
    QTest::addColumn<bool>("withCounters");
    QTest::addColumn<int>("frame");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("brk");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QList<int>>("events");

    const auto raw = [](const char *bytes, int size) { return QByteArray(bytes, size); };
    QTest::newRow("plain bytes") << raw("A\x00\x7F\xFE", 4) << false << false << 0 << 0 << 0
                                 << raw("A\x00\x7F\xFE", 4) << QList<int>{};
    QTest::newRow("0xFF 0xFF is 0xFF") << raw("A\xFF\xFF" "B", 4) << true << false << 0 << 0 << 0
                                       << raw("A\xFF" "B", 3) << QList<int>{};
    QTest::newRow("mark, parity on") << raw("\xFF\x00X", 3) << true << false << 0 << 0 << 0
                                     << raw("X", 1) << QList<int>{kParity};
    QTest::newRow("mark, parity off") << raw("\xFF\x00X", 3) << false << false << 0 << 0 << 0
                                      << raw("X", 1) << QList<int>{kFraming};
    QTest::newRow("mark on 0xFF") << raw("\xFF\x00\xFF", 3) << true << false << 0 << 0 << 0
                                  << raw("\xFF", 1) << QList<int>{kParity};
    QTest::newRow("break, parity off") << raw("A\xFF\x00\x00" "B", 5) << false << false << 0 << 0 << 0
                                       << raw("AB", 2) << QList<int>{kBreak};
    QTest::newRow("break, parity on") << raw("\xFF\x00\x00", 3) << true << false << 0 << 0 << 0
                                      << QByteArray() << QList<int>{kBreak};
    QTest::newRow("counters: framing on a parity line") << raw("\xFF\x00X", 3) << true << true << 1 << 0 << 0
                                                       << raw("X", 1) << QList<int>{kFraming};
    QTest::newRow("counters: parity") << raw("\xFF\x00X", 3) << true << true << 0 << 1 << 0
                                      << raw("X", 1) << QList<int>{kParity};
    QTest::newRow("counters: zero byte with parity error") << raw("\xFF\x00\x00", 3) << true << true << 0 << 1 << 0
                                                           << raw("\x00", 1) << QList<int>{kParity};
    QTest::newRow("counters: break then framing") << raw("\xFF\x00\x00\xFF\x00Y", 6) << false << true << 1 << 0 << 1
                                                  << raw("Y", 1) << QList<int>{kBreak, kFraming};
    QTest::newRow("counters: each count used once") << raw("\xFF\x00P\xFF\x00" "F", 6) << false << true << 1 << 1 << 0
                                                    << raw("PF", 2) << QList<int>{kParity, kFraming};
    QTest::newRow("counters: none left for a zero byte") << raw("\xFF\x00\x00", 3) << false << true << 0 << 0 << 0
                                                       << QByteArray() << QList<int>{kBreak};
    QTest::newRow("counters that did not move") << raw("\xFF\x00X", 3) << false << true << 0 << 0 << 0
                                                << raw("X", 1) << QList<int>{kFraming};
}

void TestLineDecoder::marks()
{
    QFETCH(QByteArray, raw);
    QFETCH(bool, parityOn);
    QFETCH(bool, withCounters);
    QFETCH(int, frame);
    QFETCH(int, parity);
    QFETCH(int, brk);
    QFETCH(QByteArray, data);
    QFETCH(QList<int>, events);

    LineDecoder decoder;
    decoder.setParityEnabled(parityOn);
    QByteArray out("before");
    std::optional<LineCounters> counters;
    if (withCounters)
        counters = LineCounters{frame, parity, brk};
    QList<int> seen;
    for (const Event e : decoder.decode(raw, out, counters ? &*counters : nullptr))
        seen.append(int(e));
    QCOMPARE(out, QByteArray("before") + data);
    QCOMPARE(seen, events);
}

void TestLineDecoder::splitAtEveryPosition_data()
{
    QTest::addColumn<bool>("parityOn");
    QTest::newRow("parity on") << true;
    QTest::newRow("parity off") << false;
}

// Reads end anywhere, also inside a mark: two reads split at every position, and
// one byte per read, decode as the whole stream does.
void TestLineDecoder::splitAtEveryPosition()
{
    QFETCH(bool, parityOn);
    static constexpr char kRaw[] = "A\xFF\xFF\xFF\x00" "B\xFF\x00\x00\xFF\x00\xFF" "C\xFF\xFF\xFF\x00\x00";
    static constexpr char kData[] = "A\xFF" "B\xFF" "C\xFF";
    const QByteArray raw(kRaw, sizeof kRaw - 1);
    const QByteArray data(kData, sizeof kData - 1);
    const int markKind = parityOn ? kParity : kFraming;
    const QList<int> events{markKind, kBreak, markKind, kBreak};

    for (qsizetype split = 0; split <= raw.size(); ++split) {
        LineDecoder decoder;
        decoder.setParityEnabled(parityOn);
        QByteArray out;
        QList<int> seen;
        for (const QByteArrayView part : {QByteArrayView(raw).first(split), QByteArrayView(raw).sliced(split)}) {
            for (const Event e : decoder.decode(part, out))
                seen.append(int(e));
        }
        QCOMPARE(out, data);
        QCOMPARE(seen, events);
    }

    LineDecoder decoder;
    decoder.setParityEnabled(parityOn);
    QByteArray out;
    QList<int> seen;
    for (const char c : raw) {
        for (const Event e : decoder.decode(QByteArrayView(&c, 1), out))
            seen.append(int(e));
    }
    QCOMPARE(out, data);
    QCOMPARE(seen, events);
}

void TestLineDecoder::everyByteValueOnce_data()
{
    QTest::addColumn<bool>("marked");
    QTest::addColumn<qsizetype>("chunk");
    for (const bool marked : {false, true}) {
        for (const qsizetype chunk : {1, 2, 3, 64, 1024}) {
            QTest::addRow("%s, %lld-byte reads", marked ? "every byte with a parity error" : "clean line",
                          qlonglong(chunk))
                << marked << chunk;
        }
    }
}

// All 256 values in order, doubled 0xFF or each inside a mark, read in pieces that
// cut marks everywhere: each value comes out once, unaltered, and no mark leaks.
void TestLineDecoder::everyByteValueOnce()
{
    QFETCH(bool, marked);
    QFETCH(qsizetype, chunk);

    MarkedStream stream;
    QByteArray expected;
    for (int v = 0; v < 256; ++v) {
        if (marked)
            stream.error(quint8(v));
        else
            stream.data(quint8(v));
        expected.append(char(v));
    }
    const Decoded decoded = decodeInChunks(stream, chunk, marked, true);
    QCOMPARE(decoded.data, expected);
    QCOMPARE(decoded.events, QList<int>(marked ? 256 : 0, kParity));
}

void TestLineDecoder::resetDropsHalfMark()
{
    LineDecoder decoder;
    QByteArray out;
    QVERIFY(decoder.decode(QByteArrayView("\xFF", 1), out).empty());
    decoder.reset();
    QVERIFY(decoder.decode(QByteArrayView("A"), out).empty());
    QVERIFY(decoder.decode(QByteArrayView("\xFF\x00", 2), out).empty());
    decoder.reset();
    QVERIFY(decoder.decode(QByteArrayView("B"), out).empty());
    QCOMPARE(out, QByteArray("AB"));
}

void TestLineDecoder::countsBesideData_data()
{
    QTest::addColumn<bool>("withCounters");
    QTest::addColumn<int>("frame");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("brk");
    QTest::addColumn<QList<int>>("events");

    QTest::newRow("no counters") << false << 0 << 0 << 0 << QList<int>{};
    QTest::newRow("clean read") << true << 0 << 0 << 0 << QList<int>{};
    QTest::newRow("parity") << true << 0 << 1 << 0 << QList<int>{kParity};
    QTest::newRow("framing") << true << 1 << 0 << 0 << QList<int>{kFraming};
    QTest::newRow("parity before framing") << true << 1 << 1 << 0 << QList<int>{kParity, kFraming};
    QTest::newRow("break") << true << 0 << 0 << 1 << QList<int>{kBreak};
}

// A line that reports errors beside the data: 0xFF and 0x00 are plain bytes, each
// count is one event and is used up.
void TestLineDecoder::countsBesideData()
{
    QFETCH(bool, withCounters);
    QFETCH(int, frame);
    QFETCH(int, parity);
    QFETCH(int, brk);
    QFETCH(QList<int>, events);

    LineDecoder decoder;
    decoder.setMarked(false);
    decoder.setParityEnabled(true);
    const QByteArray raw("\xFF\x00X\xFF\xFF", 5);
    QByteArray out;
    std::optional<LineCounters> counters;
    if (withCounters)
        counters = LineCounters{frame, parity, brk};
    QList<int> seen;
    for (const Event e : decoder.decode(raw, out, counters ? &*counters : nullptr))
        seen.append(int(e));
    QCOMPARE(out, raw);
    QCOMPARE(seen, events);
    if (counters)
        QCOMPARE(counters->frame + counters->parity + counters->brk, 0);
}

QTEST_GUILESS_MAIN(TestLineDecoder)
#include "tst_linedecoder.moc"
