#include "serialeditor.h"

#include "bytevaluecontrol.h"
#include "globals.h"
#include "integerentry.h"
#include "messages.h"
#include "units.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimerEvent>
#include <QtTest>

namespace {

constexpr qint16 kSlot = 7;
constexpr qint16 kFiveBytes = 5;
constexpr quint8 kLeftOver = 99; // stored past the count, never shown

// Five bytes in five modes, with something left over past the count.
SerialString fiveByteMessage()
{
    SerialString record;
    record.count = kFiveBytes;
    const quint8 values[] = {0x02, 'A', 200, 0b101, 13};
    const ByteMode modes[] = {ByteMode::CONTROL, ByteMode::ASCII, ByteMode::DECIMAL,
                              ByteMode::BINARY, ByteMode::HEX};
    for (int i = 0; i < kFiveBytes; ++i) {
        record.values[i] = values[i];
        record.modes[i] = quint8(modes[i]);
    }
    record.values[20] = kLeftOver;
    record.modes[20] = quint8(ByteMode::HEX);
    return record;
}

} // namespace

class TestSerialEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void captions();
    void placement_data();
    void placement();
    void load_data();
    void load();
    void raisingTheCountByHoldingUp();
    void loweringTheCountThenDone();
    void leavingWithoutDone_data();
    void leavingWithoutDone();
    void enterPressesNothing();
    void loadsOnlyWhenCreated();

private:
    static ByteValueControl *byte(const SerialEditor &editor, int i);
    static IntegerEntry *count(const SerialEditor &editor);
    static int shownBytes(const SerialEditor &editor);
};

ByteValueControl *TestSerialEditor::byte(const SerialEditor &editor, int i)
{
    return editor.findChild<ByteValueControl *>(QStringLiteral("ByteValueControl1[%1]").arg(i));
}

IntegerEntry *TestSerialEditor::count(const SerialEditor &editor)
{
    return editor.findChild<IntegerEntry *>(QStringLiteral("NumberOfBytes1"));
}

int TestSerialEditor::shownBytes(const SerialEditor &editor)
{
    int shown = 0;
    for (int i = 0; i < SerialEditor::kBytes; ++i)
        shown += byte(editor, i)->isHidden() ? 0 : 1;
    return shown;
}

void TestSerialEditor::init()
{
    Globals::EditorSlot = kSlot;
    Globals::MessageTable.setSlot(kSlot, fiveByteMessage());
}

void TestSerialEditor::captions()
{
    SerialEditor editor;
    QCOMPARE(editor.windowTitle(), QStringLiteral("Serial String Editor"));
    QCOMPARE(editor.findChild<QGroupBox *>(QStringLiteral("Frame1"))->title(), QStringLiteral("Contents"));
    QCOMPARE(editor.findChild<QGroupBox *>(QStringLiteral("Frame2"))->title(),
             QStringLiteral("Number of bytes in message"));
    QCOMPARE(editor.findChild<QGroupBox *>(QStringLiteral("Frame3"))->title(), QString());
    QCOMPARE(editor.findChild<QPushButton *>(QStringLiteral("CancelCommand"))->text(), QStringLiteral("Cancel"));
    QCOMPARE(editor.findChild<QPushButton *>(QStringLiteral("Done"))->text(), QStringLiteral("Done"));
    QCOMPARE(count(editor)->findChild<QLineEdit *>(QStringLiteral("Text1"))->toolTip(),
             QStringLiteral("Number of bytes in this message"));
}

void TestSerialEditor::placement_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::newRow("first") << 0 << 120 << 360;
    QTest::newRow("third column, second row") << 17 << 3960 << 720;
    QTest::newRow("last") << 31 << 5880 << 2880;
}

void TestSerialEditor::placement()
{
    QFETCH(int, index);
    QFETCH(int, left);
    QFETCH(int, top);
    SerialEditor editor;
    QCOMPARE(byte(editor, index)->geometry(), Units::twipsRect(left, top, 1815, 375));
    // Shown whether or not the byte is in the message: the position counted from 1.
    QCOMPARE(byte(editor, index)->findChild<QLabel *>(QStringLiteral("Label1"))->text(), QString::number(index + 1));
}

void TestSerialEditor::load_data()
{
    QTest::addColumn<int>("storedCount");
    QTest::addColumn<int>("shown");
    QTest::newRow("five bytes") << 5 << 5;
    QTest::newRow("empty") << 0 << 0;
    QTest::newRow("full") << 32 << 32;
    QTest::newRow("count 40") << 40 << 32;
    QTest::newRow("negative count") << -3 << 0;
}

void TestSerialEditor::load()
{
    QFETCH(int, storedCount);
    QFETCH(int, shown);
    SerialString record = fiveByteMessage();
    record.count = qint16(storedCount);
    Globals::MessageTable.setSlot(kSlot, record);

    SerialEditor editor;
    QCOMPARE(count(editor)->findChild<QLineEdit *>(QStringLiteral("Text1"))->text(), QString::number(shown));
    QCOMPARE(shownBytes(editor), shown);
    for (int i = 0; i < SerialEditor::kBytes; ++i) {
        const bool inMessage = i < shown;
        QCOMPARE(byte(editor, i)->isHidden(), !inMessage);
        QCOMPARE(byte(editor, i)->value(), inMessage ? record.values[i] : quint8(0));
        QCOMPARE(byte(editor, i)->Mode(), inMessage ? qint32(record.modes[i]) : qint32(ByteMode::ASCII));
    }
    QCOMPARE(Globals::MessageTable.slot(kSlot), record);

    // Done stores the count as the entry shows it: 40 goes back as 32, -3 as 0.
    editor.findChild<QPushButton *>(QStringLiteral("Done"))->click();
    QCOMPARE(Globals::MessageTable.slot(kSlot).count, qint16(shown));
}

void TestSerialEditor::raisingTheCountByHoldingUp()
{
    SerialEditor editor;
    auto *up = count(editor)->findChild<QWidget *>(QStringLiteral("Up"));
    auto *timer = count(editor)->findChild<QTimer *>(QStringLiteral("Timer1"));
    QTest::mousePress(up, Qt::LeftButton);
    for (int tick = 0; tick < 2; ++tick) {
        QTimerEvent event(timer->timerId());
        QCoreApplication::sendEvent(timer, &event);
    }
    QCOMPARE(count(editor)->findChild<QLineEdit *>(QStringLiteral("Text1"))->text(), QStringLiteral("8"));
    QCOMPARE(shownBytes(editor), kFiveBytes);
    QTest::mouseRelease(up, Qt::LeftButton);
    QCOMPARE(shownBytes(editor), 8);
    for (int i = kFiveBytes; i < 8; ++i) {
        QCOMPARE(byte(editor, i)->value(), quint8(0));
        QCOMPARE(byte(editor, i)->Mode(), qint32(ByteMode::ASCII));
    }
}

void TestSerialEditor::loweringTheCountThenDone()
{
    const SerialString before = fiveByteMessage();
    SerialEditor editor;
    QSignalSpy accepted(&editor, &QDialog::accepted);
    auto *text = count(editor)->findChild<QLineEdit *>(QStringLiteral("Text1"));
    text->setText(QStringLiteral("3"));
    QTest::keyClick(text, Qt::Key_Return);
    QCOMPARE(shownBytes(editor), 3);
    editor.findChild<QPushButton *>(QStringLiteral("Done"))->click();

    const SerialString after = Globals::MessageTable.slot(kSlot);
    QCOMPARE(after.count, qint16(3));
    for (int i = 0; i < kFiveBytes; ++i) {
        QCOMPARE(after.values[i], before.values[i]);
        QCOMPARE(after.modes[i], before.modes[i]);
    }
    // The left-over byte was never loaded, so the hidden element's 0 replaces it.
    QCOMPARE(after.values[20], quint8(0));
    QCOMPARE(after.modes[20], quint8(ByteMode::ASCII));
    QVERIFY(editor.isHidden());
    QCOMPARE(accepted.count(), 1);
}

void TestSerialEditor::leavingWithoutDone_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Cancel") << QStringLiteral("Cancel");
    QTest::newRow("Escape") << QStringLiteral("Escape");
    QTest::newRow("closing the window") << QStringLiteral("close");
}

void TestSerialEditor::leavingWithoutDone()
{
    QFETCH(QString, way);
    const SerialString before = Globals::MessageTable.slot(kSlot);
    QPointer<SerialEditor> editor = new SerialEditor;
    editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(editor));
    count(*editor)->set_values(2, 0, 32, QString());
    byte(*editor, 0)->setValue(0x41);
    byte(*editor, 1)->setMode(qint32(ByteMode::DECIMAL));

    if (way == QStringLiteral("Cancel"))
        editor->findChild<QPushButton *>(QStringLiteral("CancelCommand"))->click();
    else if (way == QStringLiteral("Escape"))
        QTest::keyClick(editor, Qt::Key_Escape);
    else
        editor->close();

    QVERIFY(editor);
    QVERIFY(editor->isHidden());
    QCOMPARE(editor->result(), int(QDialog::Rejected));
    QCOMPARE(Globals::MessageTable.slot(kSlot), before);
    delete editor;
}

void TestSerialEditor::enterPressesNothing()
{
    const SerialString before = Globals::MessageTable.slot(kSlot);
    SerialEditor editor;
    QVERIFY(!(editor.windowFlags() & (Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint)));
    editor.show();
    editor.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    for (const char *name : {"Done", "CancelCommand"}) {
        auto *button = editor.findChild<QPushButton *>(QString::fromLatin1(name));
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
        QVERIFY(editor.isVisible());
        QVERIFY(!button->isDefault());
    }
    // Enter in the count commits it and passes on to the dialog, which has no default button.
    auto *text = count(editor)->findChild<QLineEdit *>(QStringLiteral("Text1"));
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Return);
    QVERIFY(editor.isVisible());
    QCOMPARE(Globals::MessageTable.slot(kSlot), before);
}

void TestSerialEditor::loadsOnlyWhenCreated()
{
    SerialEditor editor;
    editor.show();
    editor.hide();
    Globals::MessageTable.setSlot(kSlot, SerialString{});
    editor.show();
    QCOMPARE(shownBytes(editor), kFiveBytes);
    QCOMPARE(byte(editor, 1)->value(), quint8('A'));
}

QTEST_MAIN(TestSerialEditor)
#include "tst_serialeditor.moc"
