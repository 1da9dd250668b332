#include "wraplayout.h"

#include "receivepieces.h"

#include <QRandomGenerator>
#include <QtTest>

using ReceiveNotation::Notation;

// Every character one unit wide, so a width of n units holds n characters.
static constexpr int kUnit = CharMetrics::kUnit;

Q_DECLARE_METATYPE(Notation)

class TestWrapLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void breaks_data();
    void breaks();
    void lineOfWalk();
    void fieldsStayWhole_data();
    void fieldsStayWhole();
    void appendingMatchesWrappingWhole_data();
    void appendingMatchesWrappingWhole();
    void editsMatchWrappingWhole_data();
    void editsMatchWrappingWhole();
    void lazyMatchesWrappingWhole_data();
    void lazyMatchesWrappingWhole();

private:
    static QStringList linesOf(const LogText &text, const WrapLayout &layout);
    static QList<qsizetype> startsOf(const WrapLayout &layout);
};

QStringList TestWrapLayout::linesOf(const LogText &text, const WrapLayout &layout)
{
    QStringList lines;
    for (qint64 line = 0; line < layout.lineCount(); ++line)
        lines.append(text.mid(layout.lineStart(line), layout.lineEnd(line)));
    return lines;
}

QList<qsizetype> TestWrapLayout::startsOf(const WrapLayout &layout)
{
    QList<qsizetype> starts;
    for (qint64 line = 0; line < layout.lineCount(); ++line)
        starts.append(layout.lineStart(line));
    return starts;
}

void TestWrapLayout::breaks_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("fits") << QByteArray("hello") << 10 << QStringList{u"hello"_qs};
    QTest::newRow("exactly full") << QByteArray("0123456789") << 10 << QStringList{u"0123456789"_qs};
    QTest::newRow("no space wraps anywhere") << QByteArray("48,69,0D,0A,") << 5
                                             << QStringList{u"48,69"_qs, u",0D,0"_qs, u"A,"_qs};
    QTest::newRow("word moves down") << QByteArray("hello world") << 8
                                     << QStringList{u"hello "_qs, u"world"_qs};
    QTest::newRow("space hangs at edge") << QByteArray("abcde fg") << 5
                                         << QStringList{u"abcde "_qs, u"fg"_qs};
    QTest::newRow("long word after short") << QByteArray("a bcdefghij") << 4
                                           << QStringList{u"a "_qs, u"bcde"_qs, u"fghi"_qs, u"j"_qs};
    QTest::newRow("CR LF is one break") << QByteArray("Hi\r\nyo") << 10
                                        << QStringList{u"Hi\r"_qs, u"\nyo"_qs};
    QTest::newRow("lone LF") << QByteArray("a\nb") << 10 << QStringList{u"a\n"_qs, u"b"_qs};
    QTest::newRow("lone CR") << QByteArray("a\rb") << 10 << QStringList{u"a\r"_qs, u"b"_qs};
    QTest::newRow("LF CR is two breaks") << QByteArray("a\n\rb") << 10
                                         << QStringList{u"a\n"_qs, u"\r"_qs, u"b"_qs};
    QTest::newRow("break at the end") << QByteArray("Hi\r\n") << 10 << QStringList{u"Hi\r"_qs, u"\n"_qs};
    QTest::newRow("empty lines") << QByteArray("\r\n\r\n") << 10
                                 << QStringList{u"\r"_qs, u"\n\r"_qs, u"\n"_qs};
    QTest::newRow("wide char after CR LF") << QByteArray("\r\nab") << 1
                                           << QStringList{u"\r"_qs, u"\na"_qs, u"b"_qs};
    QTest::newRow("zero width") << QByteArray("abc") << 0 << QStringList{u"a"_qs, u"b"_qs, u"c"_qs};
    QTest::newRow("tab to next stop") << QByteArray("a\tb") << 9 << QStringList{u"a\tb"_qs};
    QTest::newRow("tab crossing edge hangs") << QByteArray("a\tb") << 6 << QStringList{u"a\t"_qs, u"b"_qs};
}

void TestWrapLayout::breaks()
{
    QFETCH(QByteArray, text);
    QFETCH(int, width);
    QFETCH(QStringList, lines);
    LogText logText;
    logText.assign(logOf({{text, Notation::Ascii}}));
    WrapLayout layout(logText);
    layout.setWidth(width * kUnit);
    layout.relayout();
    QCOMPARE(linesOf(logText, layout), lines);
}

// Lines of 4 across a block boundary: before the start, each line's first and
// last character, the end, past the end.
void TestWrapLayout::lineOfWalk()
{
    const qsizetype n = ReceiveLog::kChunkSize + 6;
    LogText logText;
    logText.assign(logOf({{QByteArray(n, 'x'), Notation::Ascii}}));
    WrapLayout layout(logText);
    layout.setWidth(4 * kUnit);
    layout.relayout();
    QCOMPARE(layout.lineCount(), (n + 3) / 4);
    QCOMPARE(layout.lineOf(-5), 0);
    for (qsizetype pos = 0; pos < n; ++pos) {
        QCOMPARE(layout.lineOf(pos), pos / 4);
        QCOMPARE(layout.lineStart(pos / 4), pos / 4 * 4);
    }
    QCOMPARE(layout.lineOf(n), (n - 1) / 4);
    QCOMPARE(layout.lineOf(n + 100), (n - 1) / 4);
    QCOMPARE(layout.lineEnd(layout.lineCount() - 1), n);
    QCOMPARE(layout.lineStart(layout.lineCount() + 3), layout.lineStart(layout.lineCount() - 1));
}

void TestWrapLayout::fieldsStayWhole_data()
{
    QTest::addColumn<Pieces>("pieces");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("typedAt"); // -1: no edit
    QTest::addColumn<QStringList>("lines");
    const QByteArray hi("\x48\x69\x0D\x0A\x41", 5);
    QTest::newRow("long HEX line") << Pieces{{hi, Notation::Hex}} << 10 << -1
                                   << QStringList{u"48,69,0D,"_qs, u"0A,41,"_qs};
    QTest::newRow("DEC fields of every width") << Pieces{{QByteArray("\xFF\x00\x07\x64", 4), Notation::Dec}} << 6
                                               << -1 << QStringList{u"255,,"_qs, u"7,100,"_qs};
    QTest::newRow("HEX after ASCII starts a line") << Pieces{{"abc", Notation::Ascii}, {"AB", Notation::Hex}} << 5
                                                   << -1 << QStringList{u"abc"_qs, u"41,"_qs, u"42,"_qs};
    QTest::newRow("ASCII wraps as before") << Pieces{{"48,69,0D,0A,", Notation::Ascii}} << 5 << -1
                                           << QStringList{u"48,69"_qs, u",0D,0"_qs, u"A,"_qs};
    QTest::newRow("typed text wraps as ASCII") << Pieces{{hi.left(4), Notation::Hex}} << 7 << 3
                                               << QStringList{u"48,xxxx"_qs, u"69,0D,"_qs, u"0A,"_qs};
}

// Where the notation was HEX or DEC, a line breaks only after a comma (or where
// the notation began), so a byte's digits stay on one line.
void TestWrapLayout::fieldsStayWhole()
{
    QFETCH(Pieces, pieces);
    QFETCH(int, width);
    QFETCH(int, typedAt);
    QFETCH(QStringList, lines);
    const ReceiveLog log = logOf(pieces);
    LogText logText;
    logText.assign(log);
    if (typedAt >= 0)
        logText.replace(typedAt, typedAt, u"xxxx"_qs);
    WrapLayout layout(logText);
    layout.setWidth(width * kUnit);
    layout.relayout();
    QCOMPARE(linesOf(logText, layout), lines);
}

void TestWrapLayout::appendingMatchesWrappingWhole_data()
{
    QTest::addColumn<QByteArray>("piece");
    QTest::addColumn<int>("width");
    QTest::addColumn<Notation>("notation");
    QTest::newRow("hex text") << QByteArray("48,69,0D,0A,") << 7 << Notation::Ascii;
    QTest::newRow("words") << QByteArray("the quick brown fox ") << 9 << Notation::Ascii;
    QTest::newRow("CR LF lines") << QByteArray("line\r\n") << 3 << Notation::Ascii;
    QTest::newRow("CR then LF in the next event") << QByteArray("ab\r") << 5 << Notation::Ascii;
    QTest::newRow("long words") << QByteArray("abcdefghijklmnopq ") << 6 << Notation::Ascii;
    QTest::newRow("HEX notation") << QByteArray("Hi\r\n\x00\xFF") << 11 << Notation::Hex;
    QTest::newRow("DEC notation") << QByteArray("Hi\r\n\x00\xFF") << 9 << Notation::Dec;
}

// The log grows by pieces of every size, crossing chunk boundaries; after every
// step the lines equal those of the same text wrapped at once.
void TestWrapLayout::appendingMatchesWrappingWhole()
{
    QFETCH(QByteArray, piece);
    QFETCH(int, width);
    QFETCH(Notation, notation);
    QRandomGenerator random(7);
    ReceiveLog log;
    LogText shown;
    WrapLayout layout(shown);
    layout.setWidth(width * kUnit);
    layout.relayout();
    while (log.size() < 3 * ReceiveLog::kChunkSize) {
        const QByteArray add = piece.repeated(random.bounded(1, 400)).left(random.bounded(1, 4000));
        log.append(add, notation, 0);
        const WrapLayout::Restart restart = layout.restartFor(shown.size());
        layout.update(shown.catchUp(log), restart);

        LogText whole;
        whole.assign(log);
        WrapLayout fresh(whole);
        fresh.setWidth(width * kUnit);
        fresh.relayout();
        QCOMPARE(layout.lineCount(), fresh.lineCount());
        QCOMPARE(linesOf(shown, layout), linesOf(whole, fresh));
    }
}

void TestWrapLayout::editsMatchWrappingWhole_data()
{
    QTest::addColumn<QByteArray>("piece");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("nearBoundary");
    QTest::addColumn<Notation>("notation");
    QTest::newRow("hex text") << QByteArray("48,69,0D,0A,") << 7 << false << Notation::Ascii;
    QTest::newRow("words") << QByteArray("the quick brown fox ") << 9 << false << Notation::Ascii;
    QTest::newRow("words, edits ending blocks") << QByteArray("a bb ccc dddd ") << 9 << true << Notation::Ascii;
    QTest::newRow("CR LF lines") << QByteArray("line one\r\n") << 6 << false << Notation::Ascii;
    QTest::newRow("HEX notation") << QByteArray("Hi\r\n") << 10 << false << Notation::Hex;
    QTest::newRow("DEC, edits ending blocks") << QByteArray("Hi\r\n\xFF") << 8 << true << Notation::Dec;
}

void TestWrapLayout::editsMatchWrappingWhole()
{
    QFETCH(QByteArray, piece);
    QFETCH(int, width);
    QFETCH(bool, nearBoundary);
    QFETCH(Notation, notation);
    static const QStringList kInserts{u"x"_qs, u" "_qs, u"\t"_qs, u"\r\n"_qs, u"\n"_qs, u"\u03a9"_qs,
                                      u"longerwordwithoutspaces"_qs, QString()};
    QRandomGenerator random(11);
    LogText shown;
    shown.assign(logOf({{piece.repeated(3 * ReceiveLog::kChunkSize / piece.size()), notation}}));
    WrapLayout layout(shown);
    layout.setWidth(width * kUnit);
    layout.relayout();
    for (int step = 0; step < 200; ++step) {
        // Near a boundary, the line that holds the next block's start begins in the edit.
        const qsizetype block = random.bounded(1, std::max<qsizetype>(2, shown.blockCount()));
        const qsizetype from = nearBoundary ? std::max<qsizetype>(0, shown.blockStart(block) - random.bounded(1, 12))
                                            : random.bounded(shown.size() + 1);
        const qsizetype to = std::min(shown.size(), from + random.bounded(step % 10 == 0 && !nearBoundary ? 6000 : 5));
        const QString insert = kInserts.at(random.bounded(kInserts.size()));
        const WrapLayout::Restart restart = layout.restartFor(from);
        layout.update(shown.replace(from, to, insert), restart);

        WrapLayout fresh(shown);
        fresh.setWidth(width * kUnit);
        fresh.relayout();
        QCOMPARE(linesOf(shown, layout), linesOf(shown, fresh));
    }
}

void TestWrapLayout::lazyMatchesWrappingWhole_data()
{
    QTest::addColumn<QByteArray>("piece");
    QTest::addColumn<Notation>("notation");
    QRandomGenerator random(3);
    QByteArray bytes(ReceiveLog::kChunkSize, Qt::Uninitialized);
    for (char &b : bytes)
        b = char(random.bounded(256));
    QTest::newRow("random bytes in HEX") << bytes << Notation::Hex;
    QTest::newRow("random bytes in DEC") << bytes << Notation::Dec;
    QTest::newRow("random bytes in ASCII") << bytes << Notation::Ascii;
    QTest::newRow("sentences with CR LF") << QByteArray("$GPGGA,123519,4807.038,N,01131.000,E,1,08*47\r\n")
                                          << Notation::Ascii;
    QTest::newRow("words") << QByteArray("the quick brown fox jumps over the lazy dog ") << Notation::Ascii;
}

// Wrapped only where it is read, the text gives the lines of a whole wrap once
// settled, at every width; meanwhile each position stays on a line that holds it.
void TestWrapLayout::lazyMatchesWrappingWhole()
{
    QFETCH(QByteArray, piece);
    QFETCH(Notation, notation);
    ReceiveLog log;
    while (log.byteCount() < 100 * ReceiveLog::kChunkSize)
        log.append(piece, notation, 0);
    LogText text;
    text.assign(log);
    WrapLayout lazy(text);
    QRandomGenerator random(5);
    for (int step = 0; step < 4; ++step) {
        const int width = random.bounded(3, 70);
        lazy.setWidth(width * kUnit);
        lazy.reflow();
        for (int read = 0; read < 8; ++read) {
            const qsizetype pos = random.bounded(text.size() + 1);
            lazy.ensureAround(pos, 30, 30);
            const qint64 line = lazy.lineOf(pos);
            QVERIFY(lazy.lineStart(line) <= pos);
            QVERIFY(pos < lazy.lineEnd(line) || pos == text.size());
            QCOMPARE(lazy.lineStart(lazy.lineOf(lazy.lineStart(line + 10))), lazy.lineStart(line + 10));
        }
        QVERIFY(!lazy.isSettled());
        lazy.settle(QDeadlineTimer(QDeadlineTimer::Forever));
        QVERIFY(lazy.isSettled());
        WrapLayout whole(text);
        whole.setWidth(width * kUnit);
        whole.relayout();
        QCOMPARE(lazy.lineCount(), whole.lineCount());
        QCOMPARE(startsOf(lazy), startsOf(whole));
    }
}

QTEST_GUILESS_MAIN(TestWrapLayout)
#include "tst_wraplayout.moc"
