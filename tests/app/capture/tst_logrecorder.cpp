#include "logrecorder.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestLogRecorder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void appendsEveryWrite_data();
    void appendsEveryWrite();
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
    recorder.stop();
    recorder.write("after");
    QVERIFY(!recorder.isRecording());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll() == expected);
    QCOMPARE(failed.count(), 0);
}

void TestLogRecorder::failureStopsAndSaysWhy_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("starts");
    QTest::addColumn<QString>("reason");
    // /dev/full refuses every write, even root's.
    QTest::newRow("full device") << QStringLiteral("/dev/full") << true << QStringLiteral("No space left on device");
    QTest::newRow("folder is a regular file") << QStringLiteral("file/rec.bin") << false
                                              << QStringLiteral("Not a directory");
    // Its reader could go away and take the program with it (SIGPIPE).
    QTest::newRow("pipe with a reader") << QStringLiteral("fifo") << false
                                        << QStringLiteral("a pipe or a socket cannot be recorded to");
}

// The first failure stops recording and is told once; later writes are dropped quietly.
void TestLogRecorder::failureStopsAndSaysWhy()
{
    QFETCH(QString, path);
    QFETCH(bool, starts);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("file")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString target = path.startsWith(u'/') ? path : dir.filePath(path);
    const QByteArray fifo = dir.filePath(QStringLiteral("fifo")).toLocal8Bit();
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);

    LogRecorder recorder;
    QSignalSpy failed(&recorder, &LogRecorder::failed);
    QString said;
    QCOMPARE(recorder.start(target, &said), starts);
    if (starts) {
        recorder.write("ab");
        QCOMPARE(failed.count(), 1);
        said = failed.front().front().toString();
        recorder.write("cd");
        recorder.stop();
    }
    QCOMPARE(said, reason);
    QVERIFY(!recorder.isRecording());
    QCOMPARE(failed.count(), starts ? 1 : 0);
    ::close(reader);
}

QTEST_GUILESS_MAIN(TestLogRecorder)
#include "tst_logrecorder.moc"
