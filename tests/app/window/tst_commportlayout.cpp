#include "commport.h"

#include "logview.h"
#include "serialstringdisplay.h"
#include "units.h"
#include "windowcontrols.h"
#include "windowlayout.h"

#include <QFrame>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QtTest>

// The window on screen: where the controls that follow its size end up.
class TestCommPortLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void followsTheOuterSize_data();
    void followsTheOuterSize();
    void minimisingKeepsTheLayout();
    void maximisedFillsTheScreen();
    void messageDisplayStaysHidden();
    void receiveBoxComesFirstInTheTabOrder();

private:
    // Checks every control that follows the size against the window's outer size now.
    void verifyLayout() const;

    QTemporaryDir m_folders; // no devices: the layout needs none
    std::unique_ptr<CommPort> m_window;
};

void TestCommPortLayout::init()
{
    m_window = std::make_unique<CommPort>(PortDirectory(m_folders.path(), m_folders.path()));
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestCommPortLayout::cleanup()
{
    m_window.reset();
}

void TestCommPortLayout::verifyLayout() const
{
    const auto px = Units::toPixels;
    const QSize outer = m_window->frameGeometry().size();
    const WindowLayout::Places p = WindowLayout::placesFor(Units::toTwips(outer.width()), Units::toTwips(outer.height()));
    QCOMPARE(control<QFrame>(*m_window, "LeftFrame")->x(), px(p.leftFrameLeft));
    QCOMPARE(control<LogView>(*m_window, "Text1")->size(), QSize(px(p.text1Width), px(p.text1Height)));
    QCOMPARE(control<QGroupBox>(*m_window, "TransmitFrame")->geometry(),
             QRect(px(1440), px(p.transmitFrameTop), px(p.transmitFrameWidth), px(WindowLayout::kTransmitFrameHeight)));
    QCOMPARE(control<QPlainTextEdit>(*m_window, "Text2")->size(), QSize(px(p.text2Width), px(WindowLayout::kText2Height)));
    QCOMPARE(control<SerialStringDisplay>(*m_window, "SerialStringDisplay1")->width(), px(p.displayWidth));
    // The settings column never moves.
    QCOMPARE(control<QGroupBox>(*m_window, "StopBitsFrame")->geometry(), Units::twipsRect(120, 4440, 1215, 855));
}

void TestCommPortLayout::followsTheOuterSize_data()
{
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("expected");
    const QSize minimum(Units::toPixels(WindowLayout::kMinWidth), Units::toPixels(WindowLayout::kMinHeight));
    QTest::newRow("at the minimum") << minimum << minimum;
    QTest::newRow("larger") << QSize(800, 600) << QSize(800, 600);
    QTest::newRow("too narrow") << QSize(200, 500) << QSize(minimum.width(), 500);
    QTest::newRow("too low") << QSize(700, 100) << QSize(700, minimum.height());
    QTest::newRow("too small both ways") << QSize(10, 10) << minimum;
}

void TestCommPortLayout::followsTheOuterSize()
{
    QFETCH(QSize, requested);
    QFETCH(QSize, expected);
    // Sizes are outer sizes; ask for less than the window allows, as a drag would.
    const QSize frameExtra = m_window->frameGeometry().size() - m_window->size();
    m_window->setMinimumSize(0, 0);
    m_window->resize(requested - frameExtra);
    QTRY_COMPARE(m_window->frameGeometry().size(), expected);
    verifyLayout();
}

void TestCommPortLayout::minimisingKeepsTheLayout()
{
    m_window->resize(700, 500);
    QTRY_COMPARE(m_window->size(), QSize(700, 500));
    verifyLayout();
    const QRect text1 = control<LogView>(*m_window, "Text1")->geometry();
    const QRect transmit = control<QGroupBox>(*m_window, "TransmitFrame")->geometry();
    m_window->showMinimized();
    QCoreApplication::processEvents();
    m_window->showNormal();
    QCoreApplication::processEvents();
    QCOMPARE(control<LogView>(*m_window, "Text1")->geometry(), text1);
    QCOMPARE(control<QGroupBox>(*m_window, "TransmitFrame")->geometry(), transmit);
}

void TestCommPortLayout::maximisedFillsTheScreen()
{
    m_window->showMaximized();
    const QSize screen = m_window->screen()->availableGeometry().size();
    QTRY_COMPARE(m_window->frameGeometry().size(), screen);
    verifyLayout();
    // The transmit frame sits at the bottom, as far from it as at the minimum height.
    const int bottomGap = Units::toPixels(WindowLayout::kMinHeight) - Units::toPixels(WindowLayout::kTransmitFrameTop + WindowLayout::kTransmitFrameHeight);
    QCOMPARE(screen.height() - control<QGroupBox>(*m_window, "TransmitFrame")->geometry().bottom() - 1, bottomGap);
}

void TestCommPortLayout::messageDisplayStaysHidden()
{
    auto *display = control<SerialStringDisplay>(*m_window, "SerialStringDisplay1");
    QCOMPARE(display->parentWidget(), control<QGroupBox>(*m_window, "TransmitFrame"));
    QVERIFY(!display->isVisible());
    m_window->resize(900, 700);
    QTRY_COMPARE(display->width(), control<QPlainTextEdit>(*m_window, "Text2")->width());
    QVERIFY(!display->isVisible());
}

void TestCommPortLayout::receiveBoxComesFirstInTheTabOrder()
{
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    auto *text1 = control<LogView>(*m_window, "Text1");
    QCOMPARE(QApplication::focusWidget(), text1);
    QTest::keyClick(text1, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), control<QPlainTextEdit>(*m_window, "Text2"));
}

QTEST_MAIN(TestCommPortLayout)
#include "tst_commportlayout.moc"
