#include "commport.h"

#include "filedialogs.h"
#include "heldsync.h"
#include "logrecorder.h"
#include "logview.h"
#include "ptyline.h"
#include "receivepieces.h"
#include "windowcontrols.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

namespace {

constexpr int kWait = 5000;

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

// Save and Record on the real window, fed through a pseudo-terminal.
class TestLogCapture : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void ctrlSInTheReceiveBoxSaves_data();
    void ctrlSInTheReceiveBoxSaves();
    void recordingHoldsEveryReceivedByte();
    void recordingBehindTheDiskStops();

private:
    LogView *text1() const { return control<LogView>(*m_window, "Text1"); }
    QAction *recordAction() const { return control<QAction>(*m_window, "menuRecordToFile"); }
    QLabel *recordMark() const { return control<QLabel>(*m_window, "RecordMark"); }
    void connectPort1()
    {
        option(*m_window, "Port", 0)->click();
        control<QPushButton>(*m_window, "Connect")->click();
        QVERIFY(m_window->serialControl().PortOpen());
    }
    // Sends bytes and waits until the log holds them.
    void receive(const QByteArray &bytes)
    {
        const qint64 before = m_window->receivedText().byteCount();
        QVERIFY(m_pty->send(bytes));
        QTRY_COMPARE_WITH_TIMEOUT(m_window->receivedText().byteCount(), before + bytes.size(), kWait);
    }
    void startRecording(const QString &path)
    {
        answerFileDialog(path);
        recordAction()->trigger();
        QVERIFY(recordAction()->isChecked());
        // Offscreen, no window manager hands the activation back after the dialog.
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<PtyLine> m_pty;
    std::unique_ptr<CommPort> m_window;
};

void TestLogCapture::init()
{
    m_pty = std::make_unique<PtyLine>();
    QVERIFY(m_pty->isValid());
    m_window = std::make_unique<CommPort>(m_pty->directory());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestLogCapture::cleanup()
{
    QToolTip::hideText();
    m_window.reset();
    m_pty.reset();
}

void TestLogCapture::ctrlSInTheReceiveBoxSaves_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("text");
    QTest::newRow("typed .bin") << QStringLiteral("log.bin") << false;
    QTest::newRow("typed .txt") << QStringLiteral("log.txt") << true;
}

void TestLogCapture::ctrlSInTheReceiveBoxSaves()
{
    QFETCH(QString, name);
    QFETCH(bool, text);

    connectPort1();
    const QByteArray bytes = allByteValues();
    receive(bytes);
    control<QRadioButton>(*m_window, "Display[1]")->click();
    receive("Hi");
    const QString path = m_dir.filePath(name);
    answerFileDialog(path);
    text1()->setFocus();
    QTest::keyClick(text1(), Qt::Key_S, Qt::ControlModifier);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path), kWait);
    QVERIFY(contents(path) == (text ? textOf(m_window->receivedText()).toUtf8() : bytes + "Hi"));
}

// Through Clear, a notation change and a reconnect, the file gets every byte, the 0
// byte that ASCII does not show included.
void TestLogCapture::recordingHoldsEveryReceivedByte()
{
    const QString path = m_dir.filePath(QStringLiteral("rec.bin"));
    connectPort1();
    receive("before");
    startRecording(path);
    QVERIFY(recordMark()->isVisible());
    QVERIFY(text1()->toolTip().contains(path));

    receive("abc");
    control<QPushButton>(*m_window, "Clear")->click();
    receive(QByteArray("\x00\xFF", 2));
    control<QRadioButton>(*m_window, "Display[2]")->click();
    receive("xyz");
    control<QPushButton>(*m_window, "Connect")->click();
    QVERIFY(!m_window->serialControl().PortOpen());
    control<QPushButton>(*m_window, "Connect")->click();
    QVERIFY(m_window->serialControl().PortOpen());
    receive("12");
    recordAction()->trigger();
    receive("after");

    QVERIFY(!recordMark()->isVisible());
    QCOMPARE(text1()->toolTip(), QString());
    QTRY_COMPARE_WITH_TIMEOUT(contents(path), QByteArray("abc\x00\xFFxyz12", 10), kWait);
}

// A disk that stays behind by more than the recorder holds stops the recording: the
// log keeps every byte, the reason shows beside the box and stays in its tooltip,
// and the file gets what was taken before, once the disk catches up.
void TestLogCapture::recordingBehindTheDiskStops()
{
    const HeldSync sync;
    const QString path = m_dir.filePath(QStringLiteral("behind.bin"));
    connectPort1();
    startRecording(path);
    receive("first");
    QVERIFY(HeldSync::waitEntered());
    const QByteArray flood(LogRecorder::kMaxBehind + 4096, 'x');
    m_window->serialControl().receiveRaw(flood);
    QVERIFY(!HeldSync::heldTooLong);
    QVERIFY(!recordAction()->isChecked());
    QVERIFY(!recordMark()->isVisible());
    const QString reason = QStringLiteral("Recording to %1 stopped: the disk fell more than 64 MiB behind").arg(path);
    QCOMPARE(text1()->toolTip(), reason);
    QVERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), reason);
    QCOMPARE(m_window->receivedText().byteCount(), 5 + flood.size());
    QCOMPARE(text1()->toPlainText().size(), 5 + flood.size());
    QVERIFY(m_window->serialControl().PortOpen());
    HeldSync::released = true;
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(path).size(), 5 + LogRecorder::kMaxBehind, kWait);
}

QTEST_MAIN(TestLogCapture)
#include "tst_logcapture.moc"
