#include "commline.h"
#include "filesender.h"
#include "mscomm.h"
#include "ptyline.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kLineDelayMs = 40;
// Long enough that the line is surely lost before the second line is due.
constexpr int kLongDelayMs = 5000;

// The far end's reads, one entry each, as the event loop collects them.
struct Reads
{
    explicit Reads(int master)
        : notifier(master, QSocketNotifier::Read)
    {
        QObject::connect(&notifier, &QSocketNotifier::activated, &notifier, [this, master] {
            char buffer[64 * 1024];
            ssize_t n = 0;
            while ((n = ::read(master, buffer, sizeof buffer)) > 0)
                pieces.append(QByteArray(buffer, n));
        });
    }
    QByteArray all() const { return pieces.join(); }

    QSocketNotifier notifier;
    QByteArrayList pieces;
};

} // namespace

class TestFileSender : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void fileArrivesByteForByte();
    void lineDelayIsKept();
    void lostLineStopsAndSaysHowMuch();

private:
    QString writeFile(const QByteArray &bytes);
    void startSending(FileSender::Pacing pacing);

    std::unique_ptr<PtyLine> m_pty;
    std::unique_ptr<MSComm> m_control;
    std::unique_ptr<CommLine> m_line;
    std::unique_ptr<FileSender> m_sender;
    QTemporaryDir m_dir;
    QString m_path;
};

void TestFileSender::init()
{
    m_pty = std::make_unique<PtyLine>();
    QVERIFY(m_pty->isValid());
    m_control = std::make_unique<MSComm>(m_pty->directory());
    m_control->setSettings(QStringLiteral("115200,n,8,1"));
    m_control->setPortOpen(true);
    m_line = std::make_unique<CommLine>(*m_control);
    m_sender = std::make_unique<FileSender>(m_line.get());
}

void TestFileSender::cleanup()
{
    m_sender.reset();
    m_line.reset();
    m_control.reset();
    m_pty.reset();
}

QString TestFileSender::writeFile(const QByteArray &bytes)
{
    m_path = m_dir.filePath(QStringLiteral("out.bin"));
    QFile file(m_path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return m_path;
}

void TestFileSender::fileArrivesByteForByte()
{
    QByteArray bytes(1600 * 1024, Qt::Uninitialized); // more pieces than are read ahead
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    Reads far(m_pty->master());
    QSignalSpy finished(m_sender.get(), &FileSender::finished);
    QVERIFY(!m_sender->start(writeFile(bytes), {}));
    QTRY_COMPARE_WITH_TIMEOUT(far.all().size(), bytes.size(), 20000);
    QCOMPARE(far.all(), bytes);
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(1).toBool(), true);
    QCOMPARE(m_sender->sent(), bytes.size());
}

// Each line leaves in a write of its own and the next waits its delay, so the far end
// reads the lines apart, the last one no sooner than two delays after the start.
void TestFileSender::lineDelayIsKept()
{
    Reads far(m_pty->master());
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!m_sender->start(writeFile("one\ntwo\nthree"), {kLineDelayMs, 0}));
    QTRY_COMPARE(far.all(), QByteArray("one\ntwo\nthree"));
    QVERIFY(clock.elapsed() >= 2 * kLineDelayMs);
    QCOMPARE(far.pieces, (QByteArrayList{"one\n", "two\n", "three"}));
}

void TestFileSender::lostLineStopsAndSaysHowMuch()
{
    QSignalSpy finished(m_sender.get(), &FileSender::finished);
    QVERIFY(!m_sender->start(writeFile(QByteArray(8, 'x') + '\n' + QByteArray(8, 'y')), {kLongDelayMs, 0}));
    QTRY_VERIFY(m_sender->sent() == 9);
    m_pty->closeMaster();
    QTRY_COMPARE(finished.count(), 1);
    const QString outcome = finished.at(0).at(0).toString();
    QVERIFY2(outcome.startsWith(QStringLiteral("Sending out.bin stopped after 9 bytes: the line was lost")), qPrintable(outcome));
    QCOMPARE(finished.at(0).at(1).toBool(), false);
}

QTEST_MAIN(TestFileSender)
#include "tst_filesender.moc"
