#include "logsaver.h"

#include "heldsync.h"
#include "receivepieces.h"

#include <QDateTime>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QtTest>

#include <csignal>
#include <optional>

#include <sys/resource.h>

using LogFormat::Kind;
using ReceiveNotation::Notation;

namespace {

constexpr int kWait = 10000;
const QByteArray kOld = QByteArrayLiteral("the file as it was");

// Every byte value over and over, from an offset: compresses, so chunks behind the
// end are compressed.
QByteArray pattern(qsizetype size, int offset)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char((i + offset) % 256);
    return bytes;
}

// More chunks than the log keeps uncompressed, with notation changes inside chunks
// and at their borders.
Pieces longLog()
{
    Pieces pieces;
    for (int i = 0; i < 3 * ReceiveLog::kRawChunks; ++i)
        pieces.append(Piece{pattern(i % 2 ? ReceiveLog::kChunkSize : 1000 + 37 * i, i), Notation(i % 3)});
    return pieces;
}

// The same, read by read, with times that step on and once go back, and the
// characters a line of arrival times writes as escapes.
Pieces timedLog()
{
    constexpr qint64 kStart = 1796000000000; // in December 2026
    Pieces pieces = longLog();
    pieces.insert(1, Piece{QByteArray("a\tb\\c\r\n"), Notation::Ascii});
    for (qsizetype i = 0; i < pieces.size(); ++i)
        pieces[i].msecs = kStart + 997 * i - (i == 20 ? 3600000 : 0);
    return pieces;
}

// A line a read: its time, a tab, its text with tab, CR, LF and backslash escaped.
QByteArray timedTextOf(const Pieces &pieces)
{
    QString text;
    for (const Piece &piece : pieces) {
        QString shown = textOf(logOf({piece}));
        shown.replace(u'\\', u"\\\\"_qs).replace(u'\t', u"\\t"_qs).replace(u'\r', u"\\r"_qs).replace(u'\n', u"\\n"_qs);
        text += QDateTime::fromMSecsSinceEpoch(piece.msecs, QTimeZone::systemTimeZone()).toString(Qt::ISODateWithMs)
                + u'\t' + shown + u'\n';
    }
    return text.toUtf8();
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// The file size limit of this process, for as long as it lives; the signal for
// crossing it is ignored, so that the write fails with EFBIG instead.
struct FileSizeLimit
{
    explicit FileSizeLimit(rlim_t limit)
    {
        ::getrlimit(RLIMIT_FSIZE, &before);
        rlimit lowered = before;
        lowered.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
        oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, oldHandler);
    }
    rlimit before{};
    void (*oldHandler)(int) = nullptr;
};

} // namespace

class TestLogSaver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void savesTheLogAsItWas_data();
    void savesTheLogAsItWas();
    void failureLeavesNothing_data();
    void failureLeavesNothing();
    void extensionPicksTheFormat_data();
    void extensionPicksTheFormat();
};

void TestLogSaver::savesTheLogAsItWas_data()
{
    QTest::addColumn<Pieces>("pieces");
    QTest::addColumn<int>("kind");
    QTest::newRow("bytes of a long log") << longLog() << int(Kind::Bytes);
    QTest::newRow("text of a long log") << longLog() << int(Kind::Text);
    QTest::newRow("text of every byte in ASCII") << Pieces{{pattern(256, 0), Notation::Ascii}} << int(Kind::Text);
    QTest::newRow("empty log as text") << Pieces{} << int(Kind::Text);
    QTest::newRow("text with arrival times of a long log") << timedLog() << int(Kind::TimedText);
    QTest::newRow("empty log with arrival times") << Pieces{} << int(Kind::TimedText);
}

// The file holds the log as it was when the saver was made, while the log goes on
// growing and is cleared before the save even starts.
void TestLogSaver::savesTheLogAsItWas()
{
    QFETCH(Pieces, pieces);
    QFETCH(int, kind);

    ReceiveLog log = logOf(pieces);
    QByteArray bytes;
    for (const Piece &piece : pieces)
        bytes.append(piece.bytes);
    const QByteArray expected = Kind(kind) == Kind::Bytes  ? bytes
                                : Kind(kind) == Kind::Text ? textOf(log).toUtf8()
                                                           : timedTextOf(pieces);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("log"));
    LogSaver saver(log);
    log.append("more", Notation::Hex, 0);
    log.clear();
    log.append("new", Notation::Ascii, 0);
    QSignalSpy finished(&saver, &LogSaver::finished);
    saver.start(path, Kind(kind));
    QCOMPARE(finished.count(), 0);
    QVERIFY(finished.wait(kWait));
    QCOMPARE(finished.front().front().toString(), QString());
    QCOMPARE(saver.done(), bytes.size());
    QVERIFY(contents(path) == expected);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("log")});
}

void TestLogSaver::failureLeavesNothing_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("reason");
    // Permission bits do not stop root, who runs the tests in CI: these failures do.
    QTest::newRow("folder is a regular file") << QStringLiteral("folder") << QStringLiteral("Not a directory");
    QTest::newRow("file size limit reached midway") << QStringLiteral("limit") << QStringLiteral("too large");
    QTest::newRow("cancelled while the disk syncs") << QStringLiteral("cancel") << QString();
}

// Whatever stops a save, the target is as it was and nothing else is left beside it.
void TestLogSaver::failureLeavesNothing()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("log.bin"));
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write(kOld) == kOld.size());
    old.close();
    if (failure == QLatin1String("folder"))
        path += QStringLiteral("/log.bin");

    const ReceiveLog log = logOf({{pattern(4 * 1024 * 1024, 0), Notation::Hex}});
    const HeldSync sync;
    std::optional<LogSaver> saver(std::in_place, log);
    QSignalSpy finished(&*saver, &LogSaver::finished);
    {
        const FileSizeLimit limit(failure == QLatin1String("limit") ? 64 * 1024 : RLIM_INFINITY);
        saver->start(path, Kind::Text);
        if (failure == QLatin1String("cancel")) {
            // The whole file is written and only waits for the disk.
            QVERIFY(HeldSync::waitEntered());
            saver->cancel();
            HeldSync::released = true;
            saver.reset();
        } else {
            HeldSync::released = true;
            QVERIFY(finished.wait(kWait));
        }
    }
    QCOMPARE(finished.count(), reason.isEmpty() ? 0 : 1);
    if (!reason.isEmpty()) {
        const QString said = finished.front().front().toString();
        QVERIFY2(said.contains(reason), qPrintable(said));
    }
    QCOMPARE(contents(dir.filePath(QStringLiteral("log.bin"))), kOld);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("log.bin")});
}

void TestLogSaver::extensionPicksTheFormat_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<int>("kind");
    QTest::newRow(".txt while bytes are chosen") << QStringLiteral("a.txt") << int(Kind::Bytes) << int(Kind::Text);
    QTest::newRow(".BIN while text is chosen") << QStringLiteral("a.BIN") << int(Kind::Text) << int(Kind::Bytes);
    QTest::newRow("unknown extension") << QStringLiteral("a.log") << int(Kind::Text) << int(Kind::Text);
    QTest::newRow("no extension, a dotted folder") << QStringLiteral("/x.bin/a") << int(Kind::Text) << int(Kind::Text);
}

void TestLogSaver::extensionPicksTheFormat()
{
    QFETCH(QString, name);
    QFETCH(int, chosen);
    QFETCH(int, kind);
    const LogFormat::Format &chosenFormat = LogFormat::kFormats.at(std::size_t(chosen));
    QCOMPARE(chosenFormat.kind, Kind(chosen));
    QCOMPARE(LogFormat::forFile(name, chosenFormat).kind, Kind(kind));
    QCOMPARE(LogFormat::forFilter(QLatin1String(chosenFormat.filter)).kind, Kind(chosen));
}

QTEST_GUILESS_MAIN(TestLogSaver)
#include "tst_logsaver.moc"
