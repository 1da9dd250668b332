#include "messageswindow.h"

#include "bytevaluecontrol.h"
#include "fakeline.h"
#include "globals.h"
#include "integerentry.h"
#include "messagefile.h"
#include "messages.h"
#include "messagesession.h"
#include "serialeditor.h"
#include "serialstringdisplay.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int kSlot = 3;

SerialString threeBytes()
{
    return makeMessage({{'O', kAscii}, {'K', kAscii}, {13, kControl}});
}

template<typename T>
T *child(const QWidget &window, const QString &name)
{
    return window.findChild<T *>(name);
}

QString indexed(const char *name, int slot)
{
    return QStringLiteral("%1[%2]").arg(QLatin1String(name)).arg(slot);
}

} // namespace

class TestMessagesWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void rows_data();
    void rows();
    void editOpensTheEditorOnItsSlot();
    void closingTheEditor_data();
    void closingTheEditor();
    void altEEditsTheRowWithTheFocus();
    void eachWayOfSendingWritesTheSlotOnce_data();
    void eachWayOfSendingWritesTheSlotOnce();
    void closedPortDisablesAndSaysWhy();
    void quickLine_data();
    void quickLine();
    void namesGoThroughTheFile();
    void badFileLeavesTheTable();

private:
    FakeLine m_line;
};

void TestMessagesWindow::init()
{
    Globals::InitTables();
    for (int slot = 0; slot < Globals::SlotTable::kSlots; ++slot)
        Globals::MessageTable.setSlot(slot, SerialString{});
    Globals::MessageTable.setSlot(kSlot, threeBytes());
    Globals::CopyBuffer = SerialString{};
    Globals::EditorSlot = 0;
    m_line.writes.clear();
    m_line.setOpen(true);
}

void TestMessagesWindow::rows_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("pairing");
    QTest::newRow("first command") << 0 << QStringLiteral("Serial enable") << QStringLiteral("\u2192 10");
    QTest::newRow("last command") << 9 << QStringLiteral("Serial disable") << QStringLiteral("\u2192 19");
    QTest::newRow("a reply") << 11 << QStringLiteral("Power on reply") << QStringLiteral("\u2190 1");
    QTest::newRow("last name") << 21 << QStringLiteral("External off") << QString();
    QTest::newRow("no name") << 22 << QString() << QString();
}

void TestMessagesWindow::rows()
{
    QFETCH(int, slot);
    QFETCH(QString, name);
    QFETCH(QString, pairing);
    MessagesWindow window(&m_line);
    QCOMPARE(child<QLabel>(window, indexed("SlotNumber", slot))->text(), QString::number(slot));
    QCOMPARE(child<QLineEdit>(window, indexed("SlotName", slot))->text(), name);
    QCOMPARE(child<QLabel>(window, indexed("Pairing", slot))->text(), pairing);
    auto *display = child<SerialStringDisplay>(window, indexed("SerialStringDisplay1", slot));
    QCOMPARE(display->currentSlot(), qint16(slot));
    QCOMPARE(display->message(), Globals::MessageTable.slot(slot));
}

void TestMessagesWindow::editOpensTheEditorOnItsSlot()
{
    MessagesWindow window(&m_line);
    auto *display = child<SerialStringDisplay>(window, indexed("SerialStringDisplay1", kSlot));
    display->findChild<QAction *>(QStringLiteral("menuEdit"))->trigger();
    auto *editor = window.findChild<SerialEditor *>();
    QVERIFY(editor);
    QCOMPARE(Globals::EditorSlot, qint16(kSlot));
    QCOMPARE(editor->windowModality(), Qt::WindowModal);
    auto *third = editor->findChild<ByteValueControl *>(QStringLiteral("ByteValueControl1[2]"));
    QCOMPARE(third->value(), quint8(13));
    QCOMPARE(third->Mode(), kControl);
}

void TestMessagesWindow::closingTheEditor_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("stored");
    QTest::newRow("Done") << QStringLiteral("Done") << true;
    QTest::newRow("Cancel") << QStringLiteral("CancelCommand") << false;
}

// Done shows the edited message in the slot's display; Cancel leaves both as they
// were. Either way the hidden editor is deleted afterwards.
void TestMessagesWindow::closingTheEditor()
{
    QFETCH(QString, button);
    QFETCH(bool, stored);
    MessagesWindow window(&m_line);
    QPointer<SerialEditor> editor = window.openEditor(kSlot);
    editor->findChild<IntegerEntry *>(QStringLiteral("NumberOfBytes1"))->set_values(4, 0, 32, QString());
    auto *fourth = editor->findChild<ByteValueControl *>(QStringLiteral("ByteValueControl1[3]"));
    fourth->setMode(kHex);
    fourth->setValue(0x7F);
    editor->findChild<QPushButton *>(button)->click();

    SerialString expected = threeBytes();
    if (stored) {
        expected.count = 4;
        expected.values[3] = 0x7F;
        expected.modes[3] = quint8(kHex);
    }
    QCOMPARE(Globals::MessageTable.slot(kSlot), expected);
    QCOMPARE(child<SerialStringDisplay>(window, indexed("SerialStringDisplay1", kSlot))->message(), expected);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!editor);
}

void TestMessagesWindow::altEEditsTheRowWithTheFocus()
{
    MessagesWindow window(&m_line);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    child<QLineEdit>(window, indexed("SlotName", kSlot))->setFocus();
    QTest::keyClick(&window, Qt::Key_E, Qt::AltModifier);
    QVERIFY(window.findChild<SerialEditor *>());
    QCOMPARE(Globals::EditorSlot, qint16(kSlot));
}

void TestMessagesWindow::eachWayOfSendingWritesTheSlotOnce_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Send button") << QStringLiteral("button");
    QTest::newRow("Test item") << QStringLiteral("test");
    QTest::newRow("F4") << QStringLiteral("key");
}

void TestMessagesWindow::eachWayOfSendingWritesTheSlotOnce()
{
    QFETCH(QString, way);
    MessagesWindow window(&m_line);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    if (way == u"button")
        child<QPushButton>(window, indexed("Send", kSlot))->click();
    else if (way == u"test")
        child<SerialStringDisplay>(window, indexed("SerialStringDisplay1", kSlot))->findChild<QAction *>(QStringLiteral("menuTest"))->trigger();
    else
        QTest::keyClick(&window, Qt::Key(Qt::Key_F1 + kSlot));
    QCOMPARE(m_line.writes, QByteArrayList{QByteArray("OK\r")});
    const QString log = child<QPlainTextEdit>(window, QStringLiteral("ProtocolLog"))->toPlainText();
    QVERIFY2(log.endsWith(QStringLiteral("  Data 2  \"OK\" CR")), qPrintable(log));
}

void TestMessagesWindow::closedPortDisablesAndSaysWhy()
{
    m_line.setOpen(false);
    MessagesWindow window(&m_line);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(!child<QPushButton>(window, indexed("Send", kSlot))->isEnabled());
    QVERIFY(!child<QPushButton>(window, QStringLiteral("SendAll"))->isEnabled());
    child<QLabel>(window, QStringLiteral("Status"))->clear();
    QTest::keyClick(&window, Qt::Key(Qt::Key_F1 + kSlot));
    QCOMPARE(child<QLabel>(window, QStringLiteral("Status"))->text(), QStringLiteral("The port is closed: nothing was sent"));
    QVERIFY(m_line.writes.isEmpty());
    m_line.setOpen(true);
    QVERIFY(child<QPushButton>(window, indexed("Send", kSlot))->isEnabled());
    QVERIFY(m_line.writes.isEmpty());
}

void TestMessagesWindow::quickLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArrayList>("writes");
    QTest::addColumn<QString>("status");
    QTest::newRow("a frame") << QStringLiteral("STX 0x50 \"ON\" ETX") << QByteArrayList{"\x02\x50ON\x03"} << QString();
    QTest::newRow("a bad name") << QStringLiteral("STX ON") << QByteArrayList{}
                                << QStringLiteral("Quick line, column 5: unknown name");
}

void TestMessagesWindow::quickLine()
{
    QFETCH(QString, text);
    QFETCH(QByteArrayList, writes);
    QFETCH(QString, status);
    MessagesWindow window(&m_line);
    auto *line = child<QLineEdit>(window, QStringLiteral("QuickLine"));
    line->setText(text);
    QTest::keyClick(line, Qt::Key_Return);
    QCOMPARE(m_line.writes, writes);
    QVERIFY(child<QLabel>(window, QStringLiteral("Status"))->text().startsWith(status));
}

// A name typed in the window is saved; opening the file brings it back with the
// messages, and a slot not in the file comes back empty.
void TestMessagesWindow::namesGoThroughTheFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("m.txt"));
    MessagesWindow window(&m_line);
    auto *name = child<QLineEdit>(window, indexed("SlotName", kSlot));
    name->clear();
    QTest::keyClicks(name, QStringLiteral("Lamp"));
    window.saveMessages(path);
    Globals::MessageTable.setSlot(kSlot, SerialString{});
    Globals::MessageTable.setSlot(5, threeBytes());
    MessagesWindow other(&m_line);
    other.openMessages(path);
    QCOMPARE(Globals::MessageTable.slot(kSlot), threeBytes());
    QCOMPARE(Globals::MessageTable.slot(5), SerialString{});
    QCOMPARE(child<QLineEdit>(other, indexed("SlotName", kSlot))->text(), QStringLiteral("Lamp"));
    QCOMPARE(other.session().name(kSlot), QStringLiteral("Lamp"));
}

void TestMessagesWindow::badFileLeavesTheTable()
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("bad.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# Lorvane messages, format 1\nslot 3 \"New\": 1\nslot 4 \"x\": 0x1FF\n");
    file.close();
    MessagesWindow window(&m_line);
    window.openMessages(file.fileName());
    QCOMPARE(Globals::MessageTable.slot(kSlot), threeBytes());
    QCOMPARE(window.session().name(kSlot), QStringLiteral("Data 2"));
    QCOMPARE(child<QLabel>(window, QStringLiteral("Status"))->text(),
             QStringLiteral("bad.txt was not opened. Line 3, column 13: expected one or two hexadecimal digits after 0x"));
}

QTEST_MAIN(TestMessagesWindow)
#include "tst_messageswindow.moc"
