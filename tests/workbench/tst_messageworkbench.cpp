#include "messageworkbench.h"

#include "bytevaluecontrol.h"
#include "globals.h"
#include "integerentry.h"
#include "messages.h"
#include "serialeditor.h"
#include "serialstringdisplay.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

namespace {

constexpr qint16 kSlot = 3;

SerialString threeBytes()
{
    SerialString record;
    record.count = 3;
    record.values[0] = 'O';
    record.values[1] = 'K';
    record.values[2] = 13;
    record.modes[2] = quint8(ByteMode::CONTROL);
    return record;
}

} // namespace

class TestMessageWorkbench : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void slotCaption_data();
    void slotCaption();
    void everySlotHasItsDisplay();
    void editOpensTheEditorOnItsSlot();
    void closingTheEditor_data();
    void closingTheEditor();

private:
    static SerialStringDisplay *display(const MessageWorkbench &bench, int slot);
    static void deleteHiddenEditors();
};

SerialStringDisplay *TestMessageWorkbench::display(const MessageWorkbench &bench, int slot)
{
    return bench.findChild<SerialStringDisplay *>(QStringLiteral("SerialStringDisplay1[%1]").arg(slot));
}

void TestMessageWorkbench::deleteHiddenEditors()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TestMessageWorkbench::init()
{
    for (int slot = 0; slot < Globals::SlotTable::kSlots; ++slot)
        Globals::MessageTable.setSlot(slot, SerialString{});
    Globals::MessageTable.setSlot(kSlot, threeBytes());
    Globals::CopyBuffer = SerialString{};
    Globals::EditorSlot = 0;
}

void TestMessageWorkbench::slotCaption_data()
{
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("caption");
    QTest::newRow("first") << 0 << QStringLiteral("Slot 0: Serial enable");
    QTest::newRow("a reply") << 11 << QStringLiteral("Slot 11: Power on reply");
    QTest::newRow("last name") << 21 << QStringLiteral("Slot 21: External off");
    QTest::newRow("no name") << 22 << QStringLiteral("Slot 22");
    QTest::newRow("last slot") << 24 << QStringLiteral("Slot 24");
}

void TestMessageWorkbench::slotCaption()
{
    QFETCH(int, slot);
    QFETCH(QString, caption);
    MessageWorkbench bench;
    QCOMPARE(bench.findChild<QLabel *>(QStringLiteral("SlotCaption[%1]").arg(slot))->text(), caption);
}

void TestMessageWorkbench::everySlotHasItsDisplay()
{
    MessageWorkbench bench;
    for (int slot = 0; slot < MessageWorkbench::kSlots; ++slot) {
        QCOMPARE(display(bench, slot)->currentSlot(), qint16(slot));
        QCOMPARE(display(bench, slot)->message(), Globals::MessageTable.slot(slot));
    }
}

void TestMessageWorkbench::editOpensTheEditorOnItsSlot()
{
    MessageWorkbench bench;
    display(bench, kSlot)->findChild<QAction *>(QStringLiteral("menuEdit"))->trigger();
    auto *editor = bench.findChild<SerialEditor *>();
    QVERIFY(editor);
    QCOMPARE(Globals::EditorSlot, kSlot);
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->windowModality(), Qt::WindowModal);
    auto *third = editor->findChild<ByteValueControl *>(QStringLiteral("ByteValueControl1[2]"));
    QCOMPARE(third->value(), quint8(13));
    QCOMPARE(third->Mode(), qint32(ByteMode::CONTROL));
}

void TestMessageWorkbench::closingTheEditor_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("stored");
    QTest::newRow("Done") << QStringLiteral("Done") << true;
    QTest::newRow("Cancel") << QStringLiteral("CancelCommand") << false;
}

// Done shows the edited message in the slot's display; Cancel leaves slot and display
// as they were. Either way the hidden editor is deleted afterwards.
void TestMessageWorkbench::closingTheEditor()
{
    QFETCH(QString, button);
    QFETCH(bool, stored);
    MessageWorkbench bench;
    QPointer<SerialEditor> editor = bench.openEditor(kSlot);
    editor->findChild<IntegerEntry *>(QStringLiteral("NumberOfBytes1"))->set_values(4, 0, 32, QString());
    auto *fourth = editor->findChild<ByteValueControl *>(QStringLiteral("ByteValueControl1[3]"));
    fourth->setMode(qint32(ByteMode::HEX));
    fourth->setValue(0x7F);
    editor->findChild<QPushButton *>(button)->click();

    SerialString expected = threeBytes();
    if (stored) {
        expected.count = 4;
        expected.values[3] = 0x7F;
        expected.modes[3] = quint8(ByteMode::HEX);
    }
    QCOMPARE(Globals::MessageTable.slot(kSlot), expected);
    QCOMPARE(display(bench, kSlot)->message(), expected);
    deleteHiddenEditors();
    QVERIFY(!editor);
}

QTEST_MAIN(TestMessageWorkbench)
#include "tst_messageworkbench.moc"
