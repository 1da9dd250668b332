#include "bytevaluecontrol.h"

#include "bytemodeform.h"
#include "messages.h"
#include "globals.h"
#include "mytextbox.h"
#include "popupdriver.h"

#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

// Where the tests press on the mode label, in its own pixels.
constexpr QPoint kOnLabel(16, 8);

QLabel *row(const ByteModeForm &chooser, int index)
{
    return chooser.findChild<QLabel *>(QStringLiteral("Label1[%1]").arg(index));
}

} // namespace

class TestByteValueControl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { startPopupTests(); }
    void init();
    void cleanup();
    void layout();
    void myIndex_data();
    void myIndex();
    void modeLabel_data();
    void modeLabel();
    void decimalEntryAboveByte();
    void chooserRows();
    void chooseMode_data();
    void chooseMode();
    void rightClickOpensNothing();
    void hostGoneOnModeChanged();

private:
    QLabel *text2() const;
    QPoint labelInWindow() const;

    std::unique_ptr<QWidget> m_host;
    ByteValueControl *m_control = nullptr;
};

void TestByteValueControl::init()
{
    m_host = std::make_unique<QWidget>();
    m_control = new ByteValueControl(m_host.get());
    m_control->setGeometry(QRect(QPoint(10, 10), m_control->sizeHint()));
    QVERIFY(showActive(*m_host, QSize(200, 80)));
    QCursor::setPos(text2()->mapToGlobal(kOnLabel));
}

void TestByteValueControl::cleanup()
{
    m_host.reset();
    m_control = nullptr;
}

QLabel *TestByteValueControl::text2() const
{
    return m_control->findChild<QLabel *>(QStringLiteral("Text2"));
}

QPoint TestByteValueControl::labelInWindow() const
{
    return text2()->mapTo(m_host.get(), kOnLabel);
}

void TestByteValueControl::layout()
{
    QCOMPARE(m_control->sizeHint(), QSize(121, 25));
    const auto *index = m_control->findChild<QLabel *>(QStringLiteral("Label1"));
    QVERIFY(index);
    QCOMPARE(index->geometry(), QRect(0, 0, 25, 17));
    QCOMPARE(index->text(), QStringLiteral("32"));
    QVERIFY(index->font().bold());
    QCOMPARE(index->font().pointSize(), 12);
    const auto *box = m_control->findChild<QWidget *>(QStringLiteral("MyTextBox1"));
    QVERIFY(box);
    QCOMPARE(box->geometry(), QRect(24, 0, 57, 25));
    const auto *frame = m_control->findChild<QFrame *>(QStringLiteral("Frame1"));
    QVERIFY(frame);
    QCOMPARE(frame->geometry(), QRect(88, 0, 33, 17));
    QCOMPARE(text2()->parentWidget(), frame);
    QCOMPARE(text2()->geometry(), QRect(0, 0, 33, 19));
    QCOMPARE(text2()->toolTip(), QStringLiteral("Click to change byte mode"));
    QCOMPARE(text2()->text(), QString());

    m_control->setFocus();
    QCOMPARE(QApplication::focusWidget(), box->findChild<QWidget *>(QStringLiteral("Picture1")));
}

void TestByteValueControl::myIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::newRow("first") << 1 << "1";
    QTest::newRow("last") << 32 << "32";
}

void TestByteValueControl::myIndex()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    m_control->setMyIndex(quint8(index));
    QCOMPARE(m_control->findChild<QLabel *>(QStringLiteral("Label1"))->text(), caption);
}

void TestByteValueControl::modeLabel_data()
{
    QTest::addColumn<qint32>("mode");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");

    QTest::newRow("ASCII") << kAscii << 65 << "ASC" << "A";
    QTest::newRow("HEX") << kHex << 10 << "HEX" << "0A";
    QTest::newRow("DECIMAL") << kDecimal << 65 << "DEC" << "65";
    QTest::newRow("BINARY") << kBinary << 5 << "BIN" << "00000101";
    QTest::newRow("CONTROL") << kControl << 2 << "CNT" << "STX";
    QTest::newRow("mode without a caption") << kNoMode << 5 << "HEX" << "0A";
}

void TestByteValueControl::modeLabel()
{
    QFETCH(qint32, mode);
    QFETCH(int, value);
    QFETCH(QString, caption);
    QFETCH(QString, text);

    m_control->setMode(kHex);
    m_control->setValue(10);
    QSignalSpy modeChanged(m_control, &ByteValueControl::ModeChanged);
    QSignalSpy variableChanged(m_control, &ByteValueControl::VariableChanged);
    m_control->setMode(mode);
    m_control->setValue(quint8(value));
    QCOMPARE(text2()->text(), caption);
    QCOMPARE(paintedBackground(text2()), QApplication::palette().color(QPalette::Base));
    QCOMPARE(m_control->findChild<MyTextBox *>()->DisplayText(), text);
    QCOMPARE(m_control->Mode(), mode);
    QCOMPARE(m_control->value(), quint8(value));
    QCOMPARE(modeChanged.count(), 0);
    QCOMPARE(variableChanged.count(), 0);
}

void TestByteValueControl::decimalEntryAboveByte()
{
    m_control->setMode(kDecimal);
    m_control->setValue(0);
    QSignalSpy variableChanged(m_control, &ByteValueControl::VariableChanged);
    auto *picture = m_control->findChild<QWidget *>(QStringLiteral("Picture1"));
    picture->setFocus();
    for (const Qt::Key key : {Qt::Key_End, Qt::Key_Backspace, Qt::Key_3, Qt::Key_0, Qt::Key_0})
        QTest::keyClick(picture, key);
    QCOMPARE(m_control->value(), quint8(255));
    QCOMPARE(m_control->Error(), true);
    QCOMPARE(variableChanged.count(), 4);
}

void TestByteValueControl::chooserRows()
{
    Globals::ChosenMode = kHex;
    const ByteModeForm chooser;
    QCOMPARE(chooser.size(), QSize(63, 88));
    const QStringList captions = {QStringLiteral("ASCII"), QStringLiteral("HEX"),
                                  QStringLiteral("DECIMAL"), QStringLiteral("BINARY"),
                                  QStringLiteral("CONTROL")};
    for (int i = 0; i < captions.size(); ++i) {
        QCOMPARE(row(chooser, i)->text(), captions[i]);
        QCOMPARE(row(chooser, i)->geometry(), QRect(3, 3 + 16 * i, 57, 17));
        QCOMPARE(row(chooser, i)->toolTip().isEmpty(), i != 0);
    }
    QCOMPARE(row(chooser, 0)->toolTip(), QStringLiteral("Left click set this byte to ASCII, "
                                                        "right click set all bytes to ASCII"));
}

void TestByteValueControl::chooseMode_data()
{
    QTest::addColumn<qint32>("start");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("quick");
    QTest::addColumn<int>("target");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<qint32>("mode");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");

    // Target -1: let go on no row and leave, so the byte keeps its mode.
    QTest::newRow("press, move to BINARY, let go")
        << kHex << 19 << false << 3 << Qt::LeftButton << kBinary << "BIN" << "00010011";
    QTest::newRow("closed without a pick")
        << kDecimal << 65 << false << -1 << Qt::LeftButton << kDecimal << "DEC" << "65";
    QTest::newRow("right button on the ASCII row")
        << kControl << 2 << false << 0 << Qt::RightButton << kAscii << "ASC" << "Invisible";
    QTest::newRow("quick click, then DECIMAL")
        << kHex << 10 << true << 2 << Qt::LeftButton << kDecimal << "DEC" << "10";
}

void TestByteValueControl::chooseMode()
{
    QFETCH(qint32, start);
    QFETCH(int, value);
    QFETCH(bool, quick);
    QFETCH(int, target);
    QFETCH(Qt::MouseButton, button);
    QFETCH(qint32, mode);
    QFETCH(QString, caption);
    QFETCH(QString, text);

    m_control->setMode(start);
    m_control->setValue(quint8(value));
    const QString startCaption = text2()->text();
    QSignalSpy modeChanged(m_control, &ByteValueControl::ModeChanged);
    // The new mode has reached the box, the label still shows the old one.
    qint32 modeAtSignal = -1;
    QString captionAtSignal;
    connect(m_control, &ByteValueControl::ModeChanged, this, [&] {
        modeAtSignal = m_control->Mode();
        captionAtSignal = text2()->text();
    });
    const QPoint pointer = QCursor::pos();
    int choosers = 0;
    whenShown<ByteModeForm>(this, [&](ByteModeForm *chooser) {
        // A second chooser, or this one after a failed check, finds the pointer gone.
        QCursor::setPos(kFarAway);
        choosers = int(m_control->findChildren<ByteModeForm *>().size());
        QCOMPARE(chooser->parentWidget(), m_control);
        const QLabel *current = row(*chooser, start);
        QVERIFY(QRect(current->mapToGlobal(QPoint(0, 0)), current->size()).contains(pointer));
        QCOMPARE(chooser->CurrentIndex(), start);
        QVERIFY(isHighlighted(current));
        if (target < 0)
            leaveWithoutPick(chooser);
        else
            pickAt(chooser, button, chooserRowCentre(target));
    });
    if (quick)
        QTest::mouseClick(m_host->windowHandle(), Qt::LeftButton, {}, labelInWindow());
    else
        QTest::mousePress(m_host->windowHandle(), Qt::LeftButton, {}, labelInWindow());
    QTest::qWait(0);

    QCOMPARE(choosers, 1);
    QCOMPARE(modeChanged.count(), 1);
    QCOMPARE(modeAtSignal, mode);
    QCOMPARE(captionAtSignal, startCaption);
    QCOMPARE(m_control->Mode(), mode);
    QCOMPARE(text2()->text(), caption);
    QCOMPARE(m_control->findChild<MyTextBox *>()->DisplayText(), text);
    QCOMPARE(m_control->value(), quint8(value));
    QVERIFY(!m_control->findChild<ByteModeForm *>());
}

void TestByteValueControl::rightClickOpensNothing()
{
    m_control->setMode(kHex);
    m_control->setValue(10);
    QSignalSpy modeChanged(m_control, &ByteValueControl::ModeChanged);
    QCursor::setPos(kFarAway);
    QTest::mouseClick(m_host->windowHandle(), Qt::RightButton, {}, labelInWindow());
    QTest::qWait(0);

    QCOMPARE(modeChanged.count(), 0);
    QCOMPARE(m_control->Mode(), kHex);
    QVERIFY(!m_control->findChild<ByteModeForm *>());
}

void TestByteValueControl::hostGoneOnModeChanged()
{
    m_control->setMode(kHex);
    m_control->setValue(10);
    connect(m_control, &ByteValueControl::ModeChanged, this, [this] {
        m_host.reset();
        m_control = nullptr;
    });
    whenShown<ByteModeForm>(this, [](ByteModeForm *chooser) {
        QTest::mouseRelease(chooser->windowHandle(), Qt::LeftButton, {}, chooserRowCentre(2));
    });
    QTest::mousePress(m_host->windowHandle(), Qt::LeftButton, {}, labelInWindow());
    QVERIFY(!m_host);
}

QTEST_MAIN(TestByteValueControl)
#include "tst_bytevaluecontrol.moc"
