#include "serialstringdisplay.h"

#include "globals.h"
#include "messages.h"
#include "picturebox.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestSerialStringDisplay : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Globals::InitTables(); }
    void init();
    void drawsCells_data();
    void drawsCells();
    void scrolling_data();
    void scrolling();
    void markSurvivesRangeReset();
    void menuItems();
    void menuCommands_data();
    void menuCommands();
    void copyBufferIsShared();
    void slotHandling();
    void resizeKeepsOnePictureHigh_data();
    void resizeKeepsOnePictureHigh();
    void mouseClicks_data();
    void mouseClicks();
    void rightReleasePopsUpMenu();

private:
    SerialStringDisplay *makeDisplay(int width = kWidth);
    std::unique_ptr<QWidget> m_host;
    static constexpr int kWidth = 200;
};

struct Span {
    int from;
    int to;
    QColor ink;
};
Q_DECLARE_METATYPE(QList<Span>)

static const QColor kBlack(0, 0, 0);
static const QColor kRed(255, 0, 0);
static const QColor kBlue(0, 0, 255);
static const QColor kMagenta(255, 0, 255);
static const QColor kGreen(0, 128, 0);

static const SerialString kSlot0 = makeMessage({{1, kDecimal}, {2, kDecimal}});
static const SerialString kSlot3 = makeMessage({{0x10, kHex}, {0x20, kHex}, {0x30, kHex}});
static const SerialString kPasted = makeMessage({{5, kBinary}, {6, kBinary}, {7, kBinary}, {8, kBinary}});

static SerialString emptied(SerialString message)
{
    message.count = 0;
    return message;
}

static const QImage &picture(SerialStringDisplay *display)
{
    return display->findChild<PictureBox *>(QStringLiteral("DisplayImage"))->picture();
}

static QScrollBar *bar(SerialStringDisplay *display)
{
    return display->findChild<QScrollBar *>(QStringLiteral("OffsetBar"));
}

// The colours in columns [from, to) of the picture, white left out.
static QSet<QRgb> inks(const QImage &image, int from, int to)
{
    QSet<QRgb> found;
    for (int x = std::max(from, 0); x < std::min(to, image.width()); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                found.insert(image.pixel(x, y));
        }
    }
    return found;
}

// Columns black from row 0 to row 14: the sides of the cursor mark, since no glyph
// of these tests spans the whole line.
static QList<int> markColumns(const QImage &image)
{
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x) {
        int y = 0;
        while (y < 15 && image.pixelColor(x, y) == kBlack)
            ++y;
        if (y == 15)
            columns << x;
    }
    return columns;
}

void TestSerialStringDisplay::init()
{
    for (int slot = 0; slot < Globals::SlotTable::kSlots; ++slot)
        Globals::MessageTable.setSlot(slot, SerialString{});
    Globals::MessageTable.setSlot(0, kSlot0);
    Globals::MessageTable.setSlot(3, kSlot3);
    Globals::CopyBuffer = SerialString{};
    Globals::ReceiveString = SerialString{};
    m_host = std::make_unique<QWidget>();
    m_host->resize(600, 200);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host.get()));
}

SerialStringDisplay *TestSerialStringDisplay::makeDisplay(int width)
{
    auto *display = new SerialStringDisplay(m_host.get());
    display->show();
    display->resize(width, 25);
    return display;
}

static void showMessage(SerialStringDisplay *display, const SerialString &message)
{
    Globals::MessageTable.setSlot(9, message);
    display->Setup(9);
}

static ByteList letters(int count)
{
    ByteList bytes;
    for (int i = 0; i < count; ++i)
        bytes << qMakePair('a' + i % 26, kAscii);
    return bytes;
}

void TestSerialStringDisplay::drawsCells_data()
{
    QTest::addColumn<SerialString>("message");
    QTest::addColumn<QList<Span>>("spans");
    QTest::newRow("worked example") << makeMessage({{2, kHex}, {0x41, kAscii}, {0x42, kAscii}, {3, kHex}})
                                    << QList<Span>{{0, 24, kRed}, {24, 40, kBlack}, {40, 48, kBlack}, {48, 80, kRed}};
    QTest::newRow("each notation, exactly as wide as the picture")
        << makeMessage({{7, kDecimal}, {255, kHex}, {0, kBinary}, {2, kControl}, {65, kControl}})
        << QList<Span>{{0, 32, kBlue}, {32, 64, kRed}, {64, 88, kMagenta}, {88, 128, kGreen}, {128, 184, kGreen}};
    QTest::newRow("empty message") << makeMessage({}) << QList<Span>{};
}

void TestSerialStringDisplay::drawsCells()
{
    QFETCH(SerialString, message);
    QFETCH(QList<Span>, spans);
    SerialStringDisplay *display = makeDisplay();
    showMessage(display, message);
    QVERIFY(bar(display)->isHidden());
    const QImage &image = picture(display);
    for (const Span &span : spans)
        QCOMPARE(inks(image, span.from, span.to), QSet<QRgb>{span.ink.rgb()});
    QVERIFY(inks(image, spans.isEmpty() ? 0 : spans.last().to, kWidth).isEmpty());
}

// Show `before`, set the bar to `startValue`, show `bytes`, then Display(cursor).
// DECIMAL cells are 32 pixels wide (40 with the comma), letters 8.
void TestSerialStringDisplay::scrolling_data()
{
    QTest::addColumn<ByteList>("before");
    QTest::addColumn<int>("startValue");
    QTest::addColumn<ByteList>("bytes");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<bool>("barShown");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("changes");
    QTest::addColumn<int>("markLeft");
    QTest::addColumn<int>("markRight");
    const ByteList none;
    const ByteList dec32 = repeated(32, 1, ByteMode::DECIMAL);
    const ByteList dec20 = repeated(20, 1, ByteMode::DECIMAL);
    QTest::newRow("empty message resets") << letters(30) << 3 << none << -1 << false << 0 << 1 << -1 << -1;
    QTest::newRow("exactly as wide fits") << none << 0 << letters(25) << -1 << false << 0 << 0 << -1 << -1;
    QTest::newRow("one cell wider keeps Value") << letters(32) << 1 << letters(26) << -1 << true << 1 << 0 << -1 << -1;
    QTest::newRow("cell beyond the right border") << none << 0 << dec32 << 20 << true << 81 << 1 << 152 << 184;
    QTest::newRow("cell left of the view") << dec32 << 81 << dec32 << 0 << true << 0 << 1 << 0 << 32;
    QTest::newRow("cell in view") << none << 0 << dec32 << 2 << true << 0 << 0 << 80 << 112;
    QTest::newRow("last cell") << none << 0 << dec32 << 31 << true << 136 << 1 << 152 << 184;
    QTest::newRow("cursor past the count scrolls home") << dec20 << 40 << dec20 << 25 << true << 0 << 1 << -1 << -1;
    QTest::newRow("cursor above 31 scrolls home") << dec20 << 40 << dec20 << 40 << true << 0 << 1 << -1 << -1;
    // No Value brings these cells inside the margin: one more drawing, with the mark, then stop.
    QTest::newRow("bar at its maximum") << none << 0 << letters(30) << 29 << true << 6 << 1 << 184 << 192;
    QTest::newRow("fits, bar never shown") << none << 0 << letters(24) << 23 << false << 0 << 0 << 184 << 192;
    QTest::newRow("fits after a longer line") << letters(30) << 0 << letters(24) << 23 << false << 0 << 2 << 184 << 192;
}

void TestSerialStringDisplay::scrolling()
{
    QFETCH(ByteList, before);
    QFETCH(int, startValue);
    QFETCH(ByteList, bytes);
    QFETCH(int, cursor);
    QFETCH(bool, barShown);
    QFETCH(int, value);
    QFETCH(int, changes);
    QFETCH(int, markLeft);
    QFETCH(int, markRight);
    SerialStringDisplay *display = makeDisplay();
    showMessage(display, makeMessage(before));
    bar(display)->setValue(startValue);
    QSignalSpy spy(bar(display), &QScrollBar::valueChanged);
    showMessage(display, makeMessage(bytes));
    display->Display(qint16(cursor));
    QCOMPARE(spy.count(), changes);
    QCOMPARE(bar(display)->value(), value);
    QCOMPARE(!bar(display)->isHidden(), barShown);
    QCOMPARE(display->pixelOffset(), qint16(barShown ? value * 8 : 0));
    const QList<int> expected = markLeft < 0 ? QList<int>{} : QList<int>{markLeft, markRight};
    QCOMPARE(markColumns(picture(display)), expected);
}

// A cursor call on a line that fits while Value is not 0: the reset of Value redraws
// the line unmarked, and the mark must still be there afterwards.
void TestSerialStringDisplay::markSurvivesRangeReset()
{
    SerialStringDisplay *display = makeDisplay();
    showMessage(display, makeMessage(letters(30)));
    bar(display)->setValue(3);
    display->findChild<PictureBox *>(QStringLiteral("DisplayImage"))->resize(300, 25);
    QSignalSpy spy(bar(display), &QScrollBar::valueChanged);
    display->Display(5);
    QCOMPARE(spy.count(), 1);
    QVERIFY(bar(display)->isHidden());
    QCOMPARE(markColumns(picture(display)), (QList<int>{40, 48}));
}

// The pop-up menu's items, in order, with their exact captions.
void TestSerialStringDisplay::menuItems()
{
    SerialStringDisplay *display = makeDisplay();
    auto *menu = display->findChild<QMenu *>(u"menuHidden"_s);
    QCOMPARE(menu->title(), u"HiddenMenu"_s);
    QStringList items;
    for (const QAction *action : menu->actions())
        items << action->objectName() + u' ' + (action->isSeparator() ? u"-"_s : action->text());
    QCOMPARE(items, (QStringList{u"menuEdit &Edit"_s, u"menuSpace -"_s, u"menCopy &Copy"_s, u"menuCut C&ut"_s,
                                 u"menuPaste &Paste"_s, u"menuDelete &Delete"_s, u"menuSpace2 -"_s,
                                 u"menuTest &Test"_s}));
    QCOMPARE(display->findChild<PictureBox *>(u"DisplayImage"_s)->toolTip(), u"Double click to edit"_s);
}

void TestSerialStringDisplay::menuCommands_data()
{
    QTest::addColumn<bool>("setUp");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<SerialString>("copyBuffer");
    QTest::addColumn<SerialString>("message");
    QTest::addColumn<SerialString>("slot");
    QTest::addColumn<SerialString>("copyBufferAfter");
    QTest::addColumn<QList<int>>("events");
    const SerialString none;
    const QList<int> edit{1, 0, 0};
    QTest::newRow("copy after Setup(3)")
        << true << QStringList{u"menCopy"_s} << kPasted << kSlot3 << kSlot3 << kSlot3 << QList<int>{0, 0, 0};
    QTest::newRow("cut after Setup(3)")
        << true << QStringList{u"menuCut"_s} << kPasted << emptied(kSlot3) << kSlot3 << kSlot3 << edit;
    QTest::newRow("paste after Setup(3)")
        << true << QStringList{u"menuPaste"_s} << kPasted << kPasted << kPasted << kPasted << edit;
    QTest::newRow("delete after Setup(3)")
        << true << QStringList{u"menuDelete"_s} << kPasted << emptied(kSlot3) << emptied(kSlot3) << kPasted << edit;
    QTest::newRow("paste before any copy")
        << true << QStringList{u"menuPaste"_s} << none << none << none << none << edit;
    QTest::newRow("cut on a fresh control")
        << false << QStringList{u"menuCut"_s} << kPasted << none << none << none << edit;
    QTest::newRow("paste on a fresh control")
        << false << QStringList{u"menuPaste"_s} << kPasted << kPasted << kPasted << kPasted << edit;
    QTest::newRow("delete on a fresh control")
        << false << QStringList{u"menuDelete"_s} << kPasted << none << none << kPasted << edit;
    QTest::newRow("cut then paste restores")
        << true << QStringList{u"menuCut"_s, u"menuPaste"_s} << kPasted << kSlot3 << kSlot3 << kSlot3
        << QList<int>{2, 0, 0};
    QTest::newRow("edit raises Click")
        << true << QStringList{u"menuEdit"_s} << kPasted << kSlot3 << kSlot3 << kPasted << QList<int>{0, 1, 0};
    QTest::newRow("test raises Test")
        << true << QStringList{u"menuTest"_s} << kPasted << kSlot3 << kSlot3 << kPasted << QList<int>{0, 0, 1};
}

void TestSerialStringDisplay::menuCommands()
{
    QFETCH(bool, setUp);
    QFETCH(QStringList, items);
    QFETCH(SerialString, copyBuffer);
    QFETCH(SerialString, message);
    QFETCH(SerialString, slot);
    QFETCH(SerialString, copyBufferAfter);
    QFETCH(QList<int>, events);
    SerialStringDisplay *display = makeDisplay();
    if (setUp)
        display->Setup(3);
    const int slotNumber = setUp ? 3 : 0;
    Globals::CopyBuffer = copyBuffer;
    QSignalSpy edits(display, &SerialStringDisplay::Edit);
    QSignalSpy clicks(display, &SerialStringDisplay::Click);
    QSignalSpy tests(display, &SerialStringDisplay::Test);
    int drawnBeforeEdit = 0;
    connect(display, &SerialStringDisplay::Edit, this, [&] {
        if (inks(picture(display), 0, kWidth).isEmpty() == (display->message().count == 0))
            ++drawnBeforeEdit;
    });

    for (const QString &item : items)
        display->findChild<QAction *>(item)->trigger();

    QCOMPARE(display->message(), message);
    QCOMPARE(Globals::MessageTable.slot(slotNumber), slot);
    QCOMPARE(Globals::CopyBuffer, copyBufferAfter);
    QCOMPARE(Globals::MessageTable.slot(3 - slotNumber), setUp ? kSlot0 : kSlot3);
    QCOMPARE((QList<int>{int(edits.count()), int(clicks.count()), int(tests.count())}), events);
    QCOMPARE(drawnBeforeEdit, edits.count());
}

void TestSerialStringDisplay::copyBufferIsShared()
{
    SerialStringDisplay *from = makeDisplay();
    SerialStringDisplay *to = makeDisplay();
    from->Setup(3);
    to->Setup(5);
    from->findChild<QAction *>(u"menCopy"_s)->trigger();
    to->findChild<QAction *>(u"menuPaste"_s)->trigger();
    QCOMPARE(to->message(), kSlot3);
    QCOMPARE(Globals::MessageTable.slot(5), kSlot3);
    QCOMPARE(from->message(), kSlot3);
}

void TestSerialStringDisplay::slotHandling()
{
    SerialStringDisplay *display = makeDisplay();
    display->ReturnValue(5);
    QCOMPARE(Globals::MessageTable.slot(0), SerialString{});

    display->Setup(3);
    for (const qint16 outside : {qint16(-1), qint16(25), qint16(32767)}) {
        display->Setup(outside);
        QCOMPARE(display->currentSlot(), qint16(3));
        QCOMPARE(display->message(), kSlot3);
    }
    Globals::MessageTable.setSlot(3, kPasted);
    display->ReturnValue(7);
    QCOMPARE(Globals::MessageTable.slot(3), kSlot3);
    QCOMPARE(Globals::MessageTable.slot(7), SerialString{});

    Globals::ReceiveString = kPasted;
    display->FillWithReceiveString();
    QCOMPARE(display->message(), kPasted);
    QCOMPARE(display->currentSlot(), qint16(3));
}

void TestSerialStringDisplay::resizeKeepsOnePictureHigh_data()
{
    QTest::addColumn<bool>("hidden");
    QTest::newRow("shown") << false;
    QTest::newRow("hidden, as in the main window") << true;
}

void TestSerialStringDisplay::resizeKeepsOnePictureHigh()
{
    QFETCH(bool, hidden);
    SerialStringDisplay *display = makeDisplay();
    display->setHidden(hidden);
    display->resize(300, 80);
    QCOMPARE(display->size(), QSize(300, 25));
    display->show();
    QCOMPARE(display->findChild<PictureBox *>(u"DisplayImage"_s)->geometry(), QRect(0, 0, 300, 25));
    QCOMPARE(bar(display)->geometry(), QRect(0, 16, 300, 9));
}

void TestSerialStringDisplay::mouseClicks_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("clicks");
    QTest::newRow("single click") << QStringList{u"press"_s, u"release"_s} << 0;
    QTest::newRow("double-click then release")
        << QStringList{u"press"_s, u"release"_s, u"double"_s, u"release"_s} << 1;
    QTest::newRow("the next click after it")
        << QStringList{u"press"_s, u"release"_s, u"double"_s, u"release"_s, u"press"_s, u"release"_s} << 1;
    QTest::newRow("right release answers the double-click")
        << QStringList{u"press"_s, u"release"_s, u"double"_s, u"right"_s, u"release"_s} << 0;
    QTest::newRow("right double-click") << QStringList{u"rightDouble"_s, u"release"_s} << 0;
}

// The menu is disabled here so that right releases return at once.
void TestSerialStringDisplay::mouseClicks()
{
    QFETCH(QStringList, steps);
    QFETCH(int, clicks);
    SerialStringDisplay *display = makeDisplay();
    display->DisableMenu();
    auto *image = display->findChild<PictureBox *>(u"DisplayImage"_s);
    QSignalSpy spy(display, &SerialStringDisplay::Click);
    for (const QString &step : steps) {
        if (step == u"press")
            QTest::mousePress(image, Qt::LeftButton);
        else if (step == u"release")
            QTest::mouseRelease(image, Qt::LeftButton);
        else if (step == u"double")
            QTest::mouseDClick(image, Qt::LeftButton);
        else if (step == u"rightDouble")
            QTest::mouseDClick(image, Qt::RightButton);
        else
            QTest::mouseRelease(image, Qt::RightButton);
    }
    QCOMPARE(spy.count(), clicks);
}

void TestSerialStringDisplay::rightReleasePopsUpMenu()
{
    SerialStringDisplay *display = makeDisplay();
    auto *image = display->findChild<PictureBox *>(u"DisplayImage"_s);
    auto *menu = display->findChild<QMenu *>(u"menuHidden"_s);
    QSignalSpy shown(menu, &QMenu::aboutToShow);
    QSignalSpy tests(display, &SerialStringDisplay::Test);

    bool visibleWhileOpen = false;
    QTimer::singleShot(0, menu, [menu, &visibleWhileOpen] {
        visibleWhileOpen = menu->isVisible();
        QTest::keyClick(menu, Qt::Key_T);
        menu->close();
    });
    QTest::mouseRelease(image, Qt::RightButton);
    QVERIFY(visibleWhileOpen);
    QCOMPARE(shown.count(), 1);
    QCOMPARE(tests.count(), 1);
    QVERIFY(!menu->isVisible());

    // A double-click still raises Click with the menu disabled: see mouseClicks.
    display->DisableMenu();
    QTest::mouseRelease(image, Qt::RightButton);
    QCOMPARE(shown.count(), 1);
    QCOMPARE(tests.count(), 1);
}

QTEST_MAIN(TestSerialStringDisplay)
#include "tst_serialstringdisplay.moc"
