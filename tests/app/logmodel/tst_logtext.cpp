#include "logtext.h"

#include "receivepieces.h"

#include <QtTest>

using ReceiveNotation::Notation;

static constexpr qsizetype kChunk = ReceiveLog::kChunkSize;

class TestLogText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void catchUpFollowsTheLog_data();
    void catchUpFollowsTheLog();
    void midAcrossBlocks_data();
    void midAcrossBlocks();
    void midAcrossCompressedChunks();
    void replace_data();
    void replace();
    void editLeavesTheLogAlone();
    void showingAgainKeepsBlocksBeforeTheEdit_data();
    void showingAgainKeepsBlocksBeforeTheEdit();

private:
    static QByteArray pattern(qsizetype n);
};

QByteArray TestLogText::pattern(qsizetype n)
{
    QByteArray bytes(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        bytes[i] = char('a' + i % 26);
    return bytes;
}

void TestLogText::catchUpFollowsTheLog_data()
{
    QTest::addColumn<QList<qsizetype>>("steps");
    QTest::newRow("inside one chunk") << QList<qsizetype>{3, 5, 7};
    QTest::newRow("to a chunk's end") << QList<qsizetype>{kChunk - 1, 1, 1};
    QTest::newRow("several chunks at once") << QList<qsizetype>{10, 3 * kChunk, 0, 5};
    QTest::newRow("growing across the compressed distance") << QList<qsizetype>{20 * kChunk, 7, kChunk};
}

void TestLogText::catchUpFollowsTheLog()
{
    QFETCH(QList<qsizetype>, steps);
    ReceiveLog log;
    LogText text;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        // Each step in another notation: the last chunk grows in several.
        log.append(pattern(steps[i]), Notation(i % 3), 0);
        const qsizetype before = text.blockCount();
        const LogText::BlockChange change = text.catchUp(log);
        QCOMPARE(text.toString(), textOf(log));
        QCOMPARE(text.blockCount(), log.chunkCount());
        QCOMPARE(change.first + change.added, log.chunkCount());
        QCOMPARE(change.first + change.removed, before);
    }
}

void TestLogText::midAcrossBlocks_data()
{
    QTest::addColumn<qsizetype>("from");
    QTest::addColumn<qsizetype>("to");
    QTest::newRow("empty range") << qsizetype(5) << qsizetype(5);
    QTest::newRow("last of a block") << kChunk - 1 << kChunk;
    QTest::newRow("first of a block") << kChunk << kChunk + 1;
    QTest::newRow("spanning a boundary") << kChunk - 2 << kChunk + 2;
    QTest::newRow("spanning a whole block") << kChunk - 1 << 2 * kChunk + 1;
    QTest::newRow("before the start") << qsizetype(-4) << qsizetype(2);
    QTest::newRow("past the end") << 3 * kChunk - 2 << 5 * kChunk;
    QTest::newRow("reversed") << qsizetype(9) << qsizetype(4);
}

void TestLogText::midAcrossBlocks()
{
    QFETCH(qsizetype, from);
    QFETCH(qsizetype, to);
    const QByteArray bytes = pattern(3 * kChunk);
    ReceiveLog log;
    log.append(bytes, Notation::Ascii, 0);
    LogText text;
    text.assign(log);
    const qsizetype begin = std::clamp<qsizetype>(from, 0, bytes.size());
    const qsizetype end = std::clamp<qsizetype>(to, begin, bytes.size());
    QCOMPARE(text.mid(from, to), QString::fromLatin1(bytes.mid(begin, end - begin)));
    if (from >= 0 && from < bytes.size())
        QCOMPARE(text.at(from), QLatin1Char(bytes.at(from)));
}

// A selection copied from far back: every chunk it spans is compressed.
void TestLogText::midAcrossCompressedChunks()
{
    ReceiveLog log;
    for (int i = 0; i < 40; ++i)
        log.append(pattern(kChunk + i), i % 2 ? Notation::Hex : Notation::Dec, 0);
    LogText text;
    text.assign(log);
    const QString all = textOf(log);
    const qsizetype from = 3 * kChunk - 5;
    const qsizetype to = all.size() - 20 * kChunk;
    QCOMPARE(text.mid(from, to), all.mid(from, to - from));
    QCOMPARE(text.toString(), all);
}

void TestLogText::replace_data()
{
    QTest::addColumn<qsizetype>("from");
    QTest::addColumn<qsizetype>("to");
    QTest::addColumn<QString>("insert");
    QTest::newRow("type at start") << qsizetype(0) << qsizetype(0) << u"x"_qs;
    QTest::newRow("type at end") << 2 * kChunk << 2 * kChunk << u"x"_qs;
    QTest::newRow("type at a boundary") << kChunk << kChunk << u"xy"_qs;
    QTest::newRow("delete one") << qsizetype(10) << qsizetype(11) << QString();
    QTest::newRow("delete across boundary") << kChunk - 5 << kChunk + 5 << QString();
    QTest::newRow("delete everything") << qsizetype(0) << 2 * kChunk << QString();
    QTest::newRow("replace across boundary") << kChunk - 1 << kChunk + 1 << u"new"_qs;
    QTest::newRow("outside the code page") << qsizetype(7) << qsizetype(7) << u"\u03a9\U0001F600"_qs;
    QTest::newRow("long paste") << qsizetype(3) << qsizetype(4) << QString(3 * kChunk, u'p');
}

void TestLogText::replace()
{
    QFETCH(qsizetype, from);
    QFETCH(qsizetype, to);
    QFETCH(QString, insert);
    ReceiveLog log;
    log.append(pattern(2 * kChunk), Notation::Ascii, 0);
    LogText text;
    text.assign(log);
    QString expected = textOf(log);
    expected.replace(from, to - from, insert);

    const qsizetype before = text.blockCount();
    const LogText::BlockChange change = text.replace(from, to, insert);
    QCOMPARE(text.toString(), expected);
    QCOMPARE(text.size(), expected.size());
    QCOMPARE(before - change.removed + change.added, text.blockCount());
    for (qsizetype b = 0; b < text.blockCount(); ++b) {
        QVERIFY(text.blockEnd(b) > text.blockStart(b));
        QVERIFY(text.blockEnd(b) - text.blockStart(b) <= ReceiveNotation::kMaxChars * kChunk);
    }
}

void TestLogText::editLeavesTheLogAlone()
{
    ReceiveLog log;
    log.append(pattern(kChunk + 10), Notation::Ascii, 0);
    const QString original = textOf(log);
    LogText text;
    text.assign(log);
    text.replace(2, kChunk + 3, u"\u03a9"_qs);
    text.replace(0, 1, u"q"_qs);
    QCOMPARE(textOf(log), original);
    log.append(QByteArrayView("!"), Notation::Ascii, 0);
    QCOMPARE(textOf(log), original + u'!');
}

void TestLogText::showingAgainKeepsBlocksBeforeTheEdit_data()
{
    QTest::addColumn<qsizetype>("editChunk");
    QTest::addColumn<qsizetype>("offset"); // in the chunk's text of 3 * kChunk
    QTest::addColumn<qsizetype>("pasted");
    QTest::addColumn<qsizetype>("editedBlocks");
    QTest::newRow("typed into the last chunk") << qsizetype(3) << qsizetype(5) << qsizetype(1) << qsizetype(1);
    QTest::newRow("typed into an early chunk") << qsizetype(1) << qsizetype(5) << qsizetype(1) << qsizetype(1);
    QTest::newRow("pasted late in a chunk, splitting its block")
        << qsizetype(2) << 3 * kChunk - 1 << kChunk + 100 << qsizetype(2);
}

// The next serial event replaces an edit; the log's blocks before and after it stay,
// so that showing the log again costs what the edit touched.
void TestLogText::showingAgainKeepsBlocksBeforeTheEdit()
{
    QFETCH(qsizetype, editChunk);
    QFETCH(qsizetype, offset);
    QFETCH(qsizetype, pasted);
    QFETCH(qsizetype, editedBlocks);
    ReceiveLog log;
    log.append(pattern(3 * kChunk + 10), Notation::Hex, 0);
    LogText text;
    text.assign(log);
    const qsizetype at = text.blockStart(editChunk) + offset;
    text.replace(at, at, QString(pasted, u'p'));
    const qsizetype chunksAfter = log.chunkCount() - editChunk - 1;
    log.append(pattern(kChunk), Notation::Hex, 0);
    const LogText::BlockChange change = text.assign(log, at);
    text.catchUp(log);
    QCOMPARE(text.toString(), textOf(log));
    QCOMPARE(change.first, editChunk);
    QCOMPARE(change.removed, editedBlocks);
    QCOMPARE(change.added, chunksAfter > 0 ? 1 : log.chunkCount() - editChunk);
}

QTEST_GUILESS_MAIN(TestLogText)
#include "tst_logtext.moc"
