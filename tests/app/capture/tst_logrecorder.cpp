#include "logrecorder.h"

#include "diskfile.h"
#include "heldsync.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kWait = 10000;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

class TestLogRecorder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void appendsEveryWrite_data();
    void appendsEveryWrite();
    void slowSyncHoldsNothingUp();
    void diskTooFarBehindStops();
    void lateSyncFailureIsTold_data();
    void lateSyncFailureIsTold();
    void failureStopsAndSaysWhy_data();
    void failureStopsAndSaysWhy();
};

void TestLogRecorder::appendsEveryWrite_data()
{
    QTest::addColumn<QByteArray>("before"); // empty: no file yet
    QTest::newRow("new file") << QByteArray();
    QTest::newRow("existing file") << QByteArray("kept\0", 5);
}

void TestLogRecorder::appendsEveryWrite()
{
    QFETCH(QByteArray, before);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rec.bin"));
    if (!before.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
    }
    const QList<QByteArray> writes = {QByteArray("\x00\xFF", 2), QByteArray(70000, 'x'), QByteArray("end")};
    LogRecorder recorder;
    QSignalSpy failed(&recorder, &LogRecorder::failed);
    QString reason;
    QVERIFY(recorder.start(path, &reason));
    QVERIFY(recorder.isRecording());
    QByteArray expected = before;
    for (const QByteArray &bytes : writes) {
        recorder.write(bytes);
        expected.append(bytes);
    }
    recorder.finish();
    recorder.write("after");
    QVERIFY(!recorder.isRecording());
    QVERIFY(contents(path) == expected);
    QCOMPARE(failed.count(), 0);
}

// While the disk takes its time over a sync, the serial event goes on handing over
// bytes and the operator stops the recording: neither waits for the sync, and the
// file gets every byte in order.
void TestLogRecorder::slowSyncHoldsNothingUp()
{
    const HeldSync sync;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rec.bin"));
    LogRecorder recorder;
    QSignalSpy failed(&recorder, &LogRecorder::failed);
    QString reason;
    QVERIFY(recorder.start(path, &reason));
    QByteArray expected("first");
    recorder.write(expected);
    QVERIFY(HeldSync::waitEntered());
    for (int i = 0; i < 1000; ++i) {
        const QByteArray piece = QByteArray::number(i) + ',';
        recorder.write(piece);
        expected.append(piece);
    }
    recorder.stop();
    QVERIFY(!recorder.isRecording());
    HeldSync::released = true;
    recorder.finish();
    QVERIFY(!HeldSync::heldTooLong);
    QVERIFY(contents(path) == expected);
    QCOMPARE(failed.count(), 0);
}

// A disk that stays behind by more than the bound stops the recording with its
// reason at once; the file has what came before, in order, and nothing after.
void TestLogRecorder::diskTooFarBehindStops()
{
    const HeldSync sync;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rec.bin"));
    LogRecorder recorder;
    QSignalSpy failed(&recorder, &LogRecorder::failed);
    QString reason;
    QVERIFY(recorder.start(path, &reason));
    recorder.write("first");
    QVERIFY(HeldSync::waitEntered());
    const QByteArray piece(LogRecorder::kMaxBehind / 4, 'x');
    QByteArray expected("first");
    for (int i = 0; i < 4; ++i) {
        recorder.write(piece);
        expected.append(piece);
    }
    QCOMPARE(failed.count(), 0);
    recorder.write("over");
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.front().front().toString(), QStringLiteral("the disk fell more than 64 MiB behind"));
    QVERIFY(!recorder.isRecording());
    recorder.write("dropped");
    HeldSync::released = true;
    recorder.finish();
    QCOMPARE(failed.count(), 1);
    QVERIFY(contents(path) == expected);
}

void TestLogRecorder::lateSyncFailureIsTold_data()
{
    QTest::addColumn<bool>("waiting");
    QTest::newRow("stop, told later") << false;
    QTest::newRow("finish, told before it returns") << true;
}

// The last sync of a stopped recording fails (a stick pulled meanwhile): the
// operator is told, once.
void TestLogRecorder::lateSyncFailureIsTold()
{
    QFETCH(bool, waiting);
    const HeldSync sync(EIO);
    QTemporaryDir dir;
    LogRecorder recorder;
    QSignalSpy failed(&recorder, &LogRecorder::failed);
    QString reason;
    QVERIFY(recorder.start(dir.filePath(QStringLiteral("rec.bin")), &reason));
    recorder.write("bytes");
    QVERIFY(HeldSync::waitEntered());
    if (waiting) {
        HeldSync::released = true;
        recorder.finish();
    } else {
        recorder.stop();
        HeldSync::released = true;
        QCOMPARE(failed.count(), 0);
        QVERIFY(failed.wait(kWait));
    }
    QCOMPARE(failed.count(), 1);
    QCOMPARE(failed.front().front().toString(), DiskFile::reasonOf(EIO));
    QVERIFY(!recorder.isRecording());
}

void TestLogRecorder::failureStopsAndSaysWhy_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<QString>("reason");
    // /dev/full refuses every write, even root's.
    QTest::newRow("full device") << QStringLiteral("/dev/full") << false
                                 << QStringLiteral("a terminal or a device cannot be recorded to");
    QTest::newRow("folder is a regular file") << QStringLiteral("file/rec.bin") << false
                                              << QStringLiteral("Not a directory");
    // Its reader could go away and take the program with it (SIGPIPE), or stop reading.
    QTest::newRow("pipe with a reader") << QStringLiteral("fifo") << false << QStringLiteral("a pipe cannot be recorded to");
    QTest::newRow("terminal") << QStringLiteral("tty") << false
                              << QStringLiteral("a terminal or a device cannot be recorded to");
    QTest::newRow("file over the size limit") << QStringLiteral("limited") << true
                                              << QStringLiteral("File too large");
    QTest::newRow("/dev/null") << QStringLiteral("/dev/null") << true << QString();
}

// A target that cannot be recorded to is refused when chosen; a write that fails
// later stops recording and is told once; later writes are dropped quietly.
void TestLogRecorder::failureStopsAndSaysWhy()
{
    QFETCH(QString, path);
    QFETCH(bool, starts);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QString target = path.startsWith(u'/') ? path : dir.filePath(path);
    const QByteArray fifo = dir.filePath(QStringLiteral("fifo")).toLocal8Bit();
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    int master = -1;
    int slave = -1;
    char name[256] = {};
    QCOMPARE(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    if (path == QLatin1String("tty"))
        target = QString::fromLocal8Bit(name);
    // /dev/full is a device: a file the size limit stops stands in for a full disk.
    if (path == QLatin1String("limited")) {
        QFile limited(target);
        QVERIFY(limited.open(QIODevice::WriteOnly));
    }
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (path == QLatin1String("limited")) {
        rlimit lowered = before;
        lowered.rlim_cur = 4;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }

    LogRecorder recorder;
    QSignalSpy failed(&recorder, &LogRecorder::failed);
    QString said;
    QCOMPARE(recorder.start(target, &said), starts);
    if (starts) {
        recorder.write("abcdef");
        if (!reason.isEmpty()) {
            QVERIFY(failed.wait(kWait));
            said = failed.front().front().toString();
        }
        recorder.write("gh");
        recorder.finish();
    }
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    QCOMPARE(said, reason);
    QVERIFY(!recorder.isRecording());
    QCOMPARE(failed.count(), starts && !reason.isEmpty() ? 1 : 0);
    ::close(reader);
    ::close(master);
    ::close(slave);
}

QTEST_GUILESS_MAIN(TestLogRecorder)
#include "tst_logrecorder.moc"
