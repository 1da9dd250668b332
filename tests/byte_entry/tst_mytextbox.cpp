#include "mytextbox.h"

#include "messages.h"
#include "formcontrolcodeform.h"
#include "globals.h"
#include "popupdriver.h"

#include <QCursor>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// Where the tests press on the box, in its picture's pixels.
constexpr QPoint kPress(6, 9);

// Keys the host never takes, to see which keys travel on from the box.
class KeyRecorder : public QWidget
{
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent *event) override { keys.append(event->key()); }
};

// Keys as an X11 keyboard delivers them: Delete comes with the delete character as its
// text, which the test library leaves out.
void typeKey(QWidget *target, Qt::Key key)
{
    if (key != Qt::Key_Delete) {
        QTest::keyClick(target, key);
        return;
    }
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(QChar(0x7f)));
    QApplication::sendEvent(target, &press);
}

bool isRed(QRgb pixel)
{
    return qRed(pixel) > 200 && qGreen(pixel) < 140 && qBlue(pixel) < 140;
}

bool isDark(QRgb pixel)
{
    return qRed(pixel) < 100 && qGreen(pixel) < 100 && qBlue(pixel) < 100;
}

int countPixels(const QImage &image, bool (*test)(QRgb))
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += test(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

} // namespace

class TestMyTextBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { startPopupTests(); }
    void init();
    void cleanup();
    void newInstance();
    void colours_data();
    void colours();
    void caretBlinks_data();
    void caretBlinks();
    void keys_data();
    void keys();
    void clickPlacesCaret_data();
    void clickPlacesCaret();
    void pick_data();
    void pick();
    void hostGoneDuringPick();
    void hostGoneOnChange();

private:
    void setUpBox(qint32 mode, quint8 value);
    QWidget *picture() const;
    QImage snapshot() const;
    QPoint pressInWindow() const;

    std::unique_ptr<KeyRecorder> m_host;
    MyTextBox *m_box = nullptr;
};

void TestMyTextBox::init()
{
    m_host = std::make_unique<KeyRecorder>();
    m_box = new MyTextBox(m_host.get());
    m_box->setGeometry(QRect(QPoint(10, 10), QSize(57, 25)));
    QVERIFY(showActive(*m_host, QSize(200, 100)));
    // The active window hands its focus to the box; tests that want the caret ask.
    picture()->clearFocus();
}

void TestMyTextBox::cleanup()
{
    m_host.reset();
    m_box = nullptr;
}

void TestMyTextBox::setUpBox(qint32 mode, quint8 value)
{
    m_box->setMode(mode);
    m_box->setValue(value);
}

QWidget *TestMyTextBox::picture() const
{
    return m_box->findChild<QWidget *>(QStringLiteral("Picture1"));
}

QImage TestMyTextBox::snapshot() const
{
    return picture()->grab().toImage();
}

QPoint TestMyTextBox::pressInWindow() const
{
    return picture()->mapTo(m_host.get(), kPress);
}

void TestMyTextBox::newInstance()
{
    QCOMPARE(m_box->DisplayText(), QString());
    QCOMPARE(m_box->value(), quint8(0));
    QCOMPARE(m_box->Mode(), kAscii);
    QCOMPARE(m_box->Error(), false);
    QVERIFY(picture());
    QCOMPARE(picture()->geometry(), QRect(0, 0, 57, 19));
    const QImage image = snapshot();
    QCOMPARE(countPixels(image, [](QRgb p) { return p != qRgb(255, 255, 255); }), 0);
    const auto *timer = m_box->findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 500);
    QVERIFY(!timer->isActive());
}

void TestMyTextBox::colours_data()
{
    QTest::addColumn<qint32>("mode");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("red");

    QTest::newRow("control code") << kControl << 2 << false;
    QTest::newRow("control Error") << kControl << 200 << true;
    QTest::newRow("ASCII Invisible") << kAscii << 0 << true;
    QTest::newRow("ASCII letter") << kAscii << 65 << false;
    QTest::newRow("hex FF") << kHex << 255 << false;
}

void TestMyTextBox::colours()
{
    QFETCH(qint32, mode);
    QFETCH(int, value);
    QFETCH(bool, red);
    setUpBox(mode, quint8(value));
    const QImage image = snapshot();
    QCOMPARE(countPixels(image, isRed) > 0, red);
    QCOMPARE(countPixels(image, isDark) > 0, !red);
}

void TestMyTextBox::caretBlinks_data()
{
    QTest::addColumn<qint32>("mode");
    QTest::addColumn<bool>("drawn");
    QTest::addColumn<bool>("atTextStart");

    // End moves the caret behind the text only where the mode takes caret keys.
    QTest::newRow("hex, behind the text") << kHex << true << false;
    QTest::newRow("ASCII, at the text's start") << kAscii << true << true;
    QTest::newRow("control code, none") << kControl << false << false;
    QTest::newRow("mode outside 0 to 4, none") << kNoMode << false << false;
}

void TestMyTextBox::caretBlinks()
{
    QFETCH(qint32, mode);
    QFETCH(bool, drawn);
    QFETCH(bool, atTextStart);

    // 10 is "Invisible" in red in ASCII, so the black caret differs from the text under it.
    setUpBox(mode, 10);
    picture()->setFocus();
    QTest::keyClick(picture(), Qt::Key_End);
    auto *timer = m_box->findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer->isActive());
    QSignalSpy ticks(timer, &QTimer::timeout);

    const QImage on = snapshot();
    QVERIFY(ticks.wait(5000));
    const QImage off = snapshot();
    QList<int> columns;
    int changed = 0;
    for (int y = 0; y < on.height(); ++y) {
        for (int x = 0; x < on.width(); ++x) {
            if (on.pixel(x, y) == off.pixel(x, y))
                continue;
            ++changed;
            QVERIFY(isDark(on.pixel(x, y)));
            if (!columns.contains(x))
                columns.append(x);
        }
    }
    // One black line from 15 twips down to 100 twips above the bottom: rows 1 to 12,
    // at the text's left edge of 30 twips or behind the text.
    QCOMPARE(changed, drawn ? 12 : 0);
    QCOMPARE(columns.size(), drawn ? 1 : 0);
    if (drawn)
        QCOMPARE(columns.first() == 2, atTextStart);

    m_host->setFocus();
    QVERIFY(!timer->isActive());
}

void TestMyTextBox::keys_data()
{
    QTest::addColumn<qint32>("mode");
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("error");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("changes");
    QTest::addColumn<QList<int>>("passedOn");

    using K = QList<int>;
    QTest::newRow("hex, shift in at end") << kHex << 10 << K{Qt::Key_End, Qt::Key_B}
                                          << "AB" << 171 << false << 2 << 1 << K{};
    QTest::newRow("hex, Escape and G pass on")
        << kHex << 10 << K{Qt::Key_End, Qt::Key_Left, Qt::Key_Escape, Qt::Key_B, Qt::Key_G}
        << "BA" << 186 << false << 1 << 1 << K{Qt::Key_Escape, Qt::Key_G};
    QTest::newRow("hex, delete at start") << kHex << 171 << K{Qt::Key_Home, Qt::Key_Delete}
                                          << "B" << 11 << false << 0 << 1 << K{};
    QTest::newRow("decimal, 300 from empty")
        << kDecimal << 0 << K{Qt::Key_End, Qt::Key_Backspace, Qt::Key_3, Qt::Key_0, Qt::Key_0, Qt::Key_1}
        << "300" << 255 << true << 3 << 4 << K{Qt::Key_1};
    QTest::newRow("ASCII, letter") << kAscii << 65 << K{Qt::Key_A} << "a" << 97 << false << 0 << 1
                                   << K{};
    QTest::newRow("ASCII, delete types nothing")
        << kAscii << 65 << K{Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_End}
        << "A" << 65 << false << 0 << 0 << K{Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_End};
    QTest::newRow("control code, keys ignored")
        << kControl << 2 << K{Qt::Key_Left, Qt::Key_Backspace, Qt::Key_A}
        << "STX" << 2 << false << 0 << 0 << K{Qt::Key_Left, Qt::Key_Backspace, Qt::Key_A};
}

void TestMyTextBox::keys()
{
    QFETCH(qint32, mode);
    QFETCH(int, start);
    QFETCH(QList<int>, keys);
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(bool, error);
    QFETCH(int, caret);
    QFETCH(int, changes);
    QFETCH(QList<int>, passedOn);

    setUpBox(mode, quint8(start));
    picture()->setFocus();
    QSignalSpy changed(m_box, &MyTextBox::changed);
    for (const int key : keys)
        typeKey(picture(), Qt::Key(key));
    QCOMPARE(m_box->DisplayText(), text);
    QCOMPARE(m_box->value(), quint8(value));
    QCOMPARE(m_box->Error(), error);
    QCOMPARE(m_box->CaretPos(), caret);
    QCOMPARE(changed.count(), changes);
    QCOMPARE(m_host->keys, passedOn);
}

void TestMyTextBox::clickPlacesCaret_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::Key>("from");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("caret");

    // The hexadecimal byte 0A, its text starting at 30 twips (2 pixels).
    QTest::newRow("left of the text") << Qt::LeftButton << Qt::Key_End << 1 << 0;
    QTest::newRow("at 30 twips") << Qt::LeftButton << Qt::Key_End << 2 << 0;
    QTest::newRow("on the first character") << Qt::LeftButton << Qt::Key_End << 3 << 1;
    QTest::newRow("beyond the last character") << Qt::LeftButton << Qt::Key_Home << 40 << 2;
    QTest::newRow("right button does nothing") << Qt::RightButton << Qt::Key_End << 1 << 2;
}

void TestMyTextBox::clickPlacesCaret()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::Key, from);
    QFETCH(int, x);
    QFETCH(int, caret);

    setUpBox(kHex, 10);
    picture()->setFocus();
    QTest::keyClick(picture(), from);
    QTest::mouseClick(picture(), button, {}, QPoint(x, 9));
    QCOMPARE(m_box->CaretPos(), caret);
}

void TestMyTextBox::pick_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("quick");
    QTest::addColumn<int>("target");
    QTest::addColumn<QString>("text");

    // Target -1: let go on no label and leave, so the code shown is applied again.
    QTest::newRow("press, move to DC3, let go") << 2 << false << 19 << "DC3";
    QTest::newRow("Error byte left without a pick") << 200 << false << -1 << "NUL";
    QTest::newRow("quick click, then ENQ") << 2 << true << 5 << "ENQ";
}

void TestMyTextBox::pick()
{
    QFETCH(int, start);
    QFETCH(bool, quick);
    QFETCH(int, target);
    QFETCH(QString, text);

    setUpBox(kControl, quint8(start));
    const int current = start < Globals::kControlCodes ? start : 0;
    QSignalSpy changed(m_box, &MyTextBox::changed);
    const QPoint pointer = picture()->mapToGlobal(kPress);
    QCursor::setPos(pointer);
    int pickers = 0;
    whenShown<FormControlcodeForm>(this, [&](FormControlcodeForm *picker) {
        // A second picker, or this one after a failed check, finds the pointer gone.
        QCursor::setPos(kFarAway);
        pickers = int(m_box->findChildren<FormControlcodeForm *>().size());
        // The label of the current code lies under the pointer, 16 pixels into it.
        const auto *label = picker->findChild<QLabel *>(QStringLiteral("Label1[%1]").arg(current));
        const QRect onScreen(label->mapToGlobal(QPoint(0, 0)), label->size());
        QVERIFY(onScreen.contains(pointer));
        QCOMPARE(onScreen.left(), pointer.x() - 16);
        QCOMPARE(picker->CurrentIndex(), current);
        QTRY_COMPARE(QWidget::mouseGrabber(), picker);
        if (target < 0)
            leaveWithoutPick(picker);
        else
            pickAt(picker, Qt::LeftButton, pickerLabelCentre(target));
    });
    if (quick)
        QTest::mouseClick(m_host->windowHandle(), Qt::LeftButton, {}, pressInWindow());
    else
        QTest::mousePress(m_host->windowHandle(), Qt::LeftButton, {}, pressInWindow());
    QTest::qWait(0);

    QCOMPARE(pickers, 1);
    QCOMPARE(m_box->value(), quint8(qMax(target, 0)));
    QCOMPARE(m_box->DisplayText(), text);
    QCOMPARE(m_box->Error(), false);
    QCOMPARE(changed.count(), 1);
    QVERIFY(!m_box->findChild<FormControlcodeForm *>());
}

void TestMyTextBox::hostGoneDuringPick()
{
    setUpBox(kControl, 2);
    QCursor::setPos(picture()->mapToGlobal(kPress));
    whenShown<FormControlcodeForm>(this, [&](FormControlcodeForm *) {
        m_host.reset();
        m_box = nullptr;
    });
    QWindow *window = m_host->windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, pressInWindow());
    QVERIFY(!m_host);
    QVERIFY(!QApplication::activeModalWidget());
}

void TestMyTextBox::hostGoneOnChange()
{
    setUpBox(kHex, 0);
    picture()->setFocus();
    QTest::keyClick(picture(), Qt::Key_End);
    connect(m_box, &MyTextBox::changed, this, [this] {
        m_host.reset();
        m_box = nullptr;
    });
    // One key can bring several characters, as a compose sequence does.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("12"));
    QApplication::sendEvent(picture(), &press);
    QVERIFY(!m_host);
}

QTEST_MAIN(TestMyTextBox)
#include "tst_mytextbox.moc"
