#include "serialeditor.h"

#include "bytevaluecontrol.h"
#include "globals.h"
#include "integerentry.h"
#include "units.h"

#include <QFont>
#include <QGroupBox>
#include <QPushButton>

namespace {
constexpr int kRows = 8;
constexpr qint16 kFewestBytes = 0;
constexpr qint16 kMostBytes = SerialString::kCapacity;

static_assert(SerialEditor::kBytes == SerialString::kCapacity);

QRect bytePlace(int index)
{
    const int column = index / kRows;
    const int row = index % kRows;
    return Units::twipsRect(120 + 1920 * column, 360 + 360 * row, 1815, 375);
}
} // namespace

SerialEditor::SerialEditor(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setWindowTitle(QStringLiteral("Serial String Editor"));
    // The frames' captions were laid out for an 8-point dialog font.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    setFixedSize(Units::twipsRect(0, 0, 7845, 4230).size());
    buildContents();
    buildCount();
    buildButtons();

    connect(NumberOfBytes1, &IntegerEntry::changed, this, &SerialEditor::countChanged);
    connect(Done, &QPushButton::clicked, this, &SerialEditor::store);
    connect(CancelCommand, &QPushButton::clicked, this, &SerialEditor::reject);

    load();
}

void SerialEditor::buildContents()
{
    auto *contents = new QGroupBox(QStringLiteral("Contents"), this);
    contents->setObjectName(QStringLiteral("Frame1"));
    contents->setGeometry(Units::twipsRect(0, 0, 7815, 3375));
    for (int i = 0; i < kBytes; ++i) {
        auto *byte = new ByteValueControl(contents);
        byte->setObjectName(QStringLiteral("ByteValueControl1[%1]").arg(i));
        byte->setGeometry(bytePlace(i));
        ByteValueControl1[i] = byte;
    }
}

void SerialEditor::buildCount()
{
    auto *countFrame = new QGroupBox(QStringLiteral("Number of bytes in message"), this);
    countFrame->setObjectName(QStringLiteral("Frame2"));
    countFrame->setGeometry(Units::twipsRect(0, 3360, 2535, 855));
    NumberOfBytes1 = new IntegerEntry(countFrame);
    NumberOfBytes1->setObjectName(QStringLiteral("NumberOfBytes1"));
    NumberOfBytes1->setGeometry(Units::twipsRect(720, 360, 855, 255));
}

void SerialEditor::buildButtons()
{
    auto *buttons = new QGroupBox(this);
    buttons->setObjectName(QStringLiteral("Frame3"));
    buttons->setGeometry(Units::twipsRect(2640, 3360, 5175, 855));
    CancelCommand = new QPushButton(QStringLiteral("Cancel"), buttons);
    CancelCommand->setObjectName(QStringLiteral("CancelCommand"));
    CancelCommand->setGeometry(Units::twipsRect(2160, 240, 1335, 495));
    Done = new QPushButton(QStringLiteral("Done"), buttons);
    Done->setObjectName(QStringLiteral("Done"));
    Done->setGeometry(Units::twipsRect(3720, 240, 1335, 495));
    // Neither is a default button, even while focused: Enter presses nothing.
    for (QPushButton *button : {CancelCommand, Done}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void SerialEditor::load()
{
    m_slot = Globals::EditorSlot;
    const SerialString record = Globals::MessageTable.slot(m_slot);
    NumberOfBytes1->set_values(record.count, kFewestBytes, kMostBytes,
                               QStringLiteral("Number of bytes in this message"));
    for (int i = 0; i < kBytes; ++i) {
        ByteValueControl *byte = ByteValueControl1[i];
        // The stored count decides, not the limited one: 40 shows all, -1 none.
        const bool inMessage = i < record.count;
        byte->setVisible(inMessage);
        byte->setMode(inMessage ? record.modes[i] : qint32(ByteMode::ASCII));
        byte->setValue(inMessage ? record.values[i] : 0);
        byte->setMyIndex(quint8(i + 1));
    }
}

void SerialEditor::countChanged()
{
    // Elements keep their bytes while hidden, so they come back as they were.
    const qint16 count = NumberOfBytes1->return_value();
    for (int i = 0; i < kBytes; ++i)
        ByteValueControl1[i]->setVisible(i < count);
}

void SerialEditor::store()
{
    SerialString record;
    record.count = NumberOfBytes1->return_value();
    // Hidden elements are written too: positions past the count travel with the record.
    for (int i = 0; i < kBytes; ++i) {
        record.values[i] = ByteValueControl1[i]->value();
        record.modes[i] = quint8(ByteValueControl1[i]->Mode());
    }
    Globals::MessageTable.setSlot(m_slot, record);
    accept();
}
