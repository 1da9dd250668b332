#include "logview.h"

#include "receivepieces.h"

#include <QClipboard>
#include <QScrollBar>
#include <QToolTip>
#include <QtTest>

#include <memory>

using ReceiveNotation::Notation;

static constexpr qsizetype kChunk = ReceiveLog::kChunkSize;
static constexpr QSize kBoxSize{257, 225};

class TestLogView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void everyByteShownAndCopied();
    void selectionAcrossChunksCopiesExactly();
    void editThenSerialEvent_data();
    void editThenSerialEvent();
    void keysEditLikeATextBox();
    void cutAndPaste();
    void mouseSelects();
    void hoverShowsTheTimeUnderThePointer_data();
    void hoverShowsTheTimeUnderThePointer();
    void followsTheEnd();
    void staysScrolledUp();
    void resizeKeepsFirstVisibleCharacter();
    void outlivesTheLog();

private:
    static QByteArray hexEvent(int first);
    std::unique_ptr<LogView> m_view;
    ReceiveLog m_log;
};

// The bytes of one 64-byte serial event.
QByteArray TestLogView::hexEvent(int first)
{
    QByteArray bytes;
    for (int i = 0; i < 64; ++i)
        bytes.append(char(first + i));
    return bytes;
}

void TestLogView::init()
{
    m_log.clear();
    m_view = std::make_unique<LogView>();
    m_view->resize(kBoxSize);
    m_view->show();
    m_view->setFocus();
}

void TestLogView::cleanup()
{
    m_view.reset();
}

void TestLogView::everyByteShownAndCopied()
{
    for (int b = 0; b < 256; ++b)
        m_log.append(QByteArray(1, char(b)), Notation::Ascii, 0);
    m_view->showLog(m_log);
    m_view->grab();
    QTest::keyClick(m_view.get(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(m_view.get(), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), textOf(m_log));
}

void TestLogView::selectionAcrossChunksCopiesExactly()
{
    while (m_log.size() < 2 * kChunk)
        m_log.append(hexEvent(int(m_log.size())), Notation::Hex, 0);
    m_view->showLog(m_log);
    m_view->select(kChunk - 3, kChunk - 3);
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(m_view.get(), Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(m_view->selectedText(), textOf(m_log).mid(kChunk - 3, 6));
    QVERIFY(!m_view->selectedText().contains(u'\n'));
}

void TestLogView::editThenSerialEvent_data()
{
    QTest::addColumn<bool>("atEnd");
    QTest::newRow("typed at the end") << true;
    QTest::newRow("typed at the start") << false;
}

void TestLogView::editThenSerialEvent()
{
    QFETCH(bool, atEnd);
    m_log.append(QByteArray(kChunk + 10, 'a'), Notation::Ascii, 0);
    m_view->showLog(m_log);
    const QString before = textOf(m_log);
    QTest::keyClick(m_view.get(), atEnd ? Qt::Key_End : Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClicks(m_view.get(), QStringLiteral("x"));
    QTest::sendKeyEvent(QTest::Click, m_view.get(), Qt::Key_unknown, u"\u03a9"_qs, Qt::NoModifier);
    QCOMPARE(m_view->toPlainText(), atEnd ? before + u"x\u03a9"_qs : u"x\u03a9"_qs + before);
    QCOMPARE(textOf(m_log), before);

    m_log.append(QByteArrayView("Hi"), Notation::Ascii, 0);
    m_view->showLog(m_log);
    QCOMPARE(m_view->toPlainText(), textOf(m_log));

    m_view->clear();
    QCOMPARE(m_view->toPlainText(), QString());
    m_view->showLog(m_log);
    QCOMPARE(m_view->toPlainText(), textOf(m_log));
    m_log.clear();
    m_view->showLog(m_log);
    QCOMPARE(m_view->toPlainText(), QString());
}

void TestLogView::keysEditLikeATextBox()
{
    m_log.append(QByteArrayView("Hi\r\nyo"), Notation::Ascii, 0);
    m_view->showLog(m_log);
    m_view->select(4, 4);                               // before "yo"
    QTest::keyClick(m_view.get(), Qt::Key_Backspace);   // the CR LF goes as one
    QCOMPARE(m_view->toPlainText(), u"Hiyo"_qs);
    QTest::keyClick(m_view.get(), Qt::Key_Return);
    QCOMPARE(m_view->toPlainText(), u"Hi\r\nyo"_qs);
    QTest::keyClick(m_view.get(), Qt::Key_Delete);
    QCOMPARE(m_view->toPlainText(), u"Hi\r\no"_qs);
    QTest::keyClick(m_view.get(), Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(m_view.get(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClicks(m_view.get(), QStringLiteral("J"));
    QCOMPARE(m_view->toPlainText(), u"Ji\r\no"_qs);
    QTest::keyClick(m_view.get(), Qt::Key_Right);
    QTest::keyClick(m_view.get(), Qt::Key_Right);       // over the line break in one step
    QTest::keyClicks(m_view.get(), QStringLiteral("y"));
    QCOMPARE(m_view->toPlainText(), u"Ji\r\nyo"_qs);
}

void TestLogView::cutAndPaste()
{
    m_log.append(QByteArrayView("one two"), Notation::Ascii, 0);
    m_view->showLog(m_log);
    m_view->select(0, 4);
    QTest::keyClick(m_view.get(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"one "_qs);
    QCOMPARE(m_view->toPlainText(), u"two"_qs);
    QTest::keyClick(m_view.get(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(m_view.get(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(m_view->toPlainText(), u"twoone "_qs);
}

void TestLogView::mouseSelects()
{
    m_log.append(QByteArrayView("48,69,0D,0A,"), Notation::Ascii, 0);
    m_view->showLog(m_log);
    QWidget *viewport = m_view->viewport();
    const QPoint start(3, 5);
    QTest::mousePress(viewport, Qt::LeftButton, {}, start);
    QMouseEvent move(QEvent::MouseMove, QPointF(kBoxSize.width() - 30, 5), viewport->mapToGlobal(QPointF(0, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(kBoxSize.width() - 30, 5));
    QCOMPARE(m_view->selectedText(), textOf(m_log));

    const int zeroD = QFontMetrics(m_view->font()).horizontalAdvance(u"48,69,0"_qs) + 2;
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, QPoint(zeroD, 5));
    QCOMPARE(m_view->selectedText(), u"0D"_qs);
}

void TestLogView::hoverShowsTheTimeUnderThePointer_data()
{
    QTest::addColumn<QString>("before"); // the text left of the pointer
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("y");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first digit") << QString() << 1 << 5 << u"Received 14:03:22.418"_qs;
    QTest::newRow("right edge of its comma") << u"48,"_qs << -1 << 5 << u"Received 14:03:22.418"_qs;
    QTest::newRow("left edge of the next pair") << u"48,"_qs << 1 << 5 << u"Received 14:03:25.001"_qs;
    QTest::newRow("past the line's end") << u"48,69,"_qs << 4 << 5 << QString();
    QTest::newRow("below the text") << QString() << 1 << 100 << QString();
}

void TestLogView::hoverShowsTheTimeUnderThePointer()
{
    QFETCH(QString, before);
    QFETCH(int, dx);
    QFETCH(int, y);
    QFETCH(QString, expected);
    const QDate today = QDate::currentDate();
    m_log.append(QByteArrayView("\x48"), Notation::Hex, QDateTime(today, QTime(14, 3, 22, 418)).toMSecsSinceEpoch());
    m_log.append(QByteArrayView("\x69"), Notation::Hex, QDateTime(today, QTime(14, 3, 25, 1)).toMSecsSinceEpoch());
    m_view->showLog(m_log);
    QWidget *viewport = m_view->viewport();
    const QPoint point(2 + QFontMetrics(m_view->font()).horizontalAdvance(before) + dx, y);
    QHelpEvent hover(QEvent::ToolTip, point, viewport->mapToGlobal(point));
    QApplication::sendEvent(viewport, &hover);
    // A tooltip fades out where the platform says so.
    QTRY_COMPARE(QToolTip::isVisible() ? QToolTip::text() : QString(), expected);
    QToolTip::hideText();
}

// The view is brought up to date a frame after a flood of events at the latest.
void TestLogView::followsTheEnd()
{
    QScrollBar *bar = m_view->verticalScrollBar();
    for (int round = 0; round < 2; ++round) {
        const int before = bar->maximum();
        for (int event = 0; event < 100; ++event) {
            m_log.append(hexEvent(event), Notation::Hex, 0);
            m_view->showLog(m_log);
        }
        QTRY_VERIFY(bar->maximum() > before + 100);
        QCOMPARE(bar->value(), bar->maximum());
    }
}

void TestLogView::staysScrolledUp()
{
    QScrollBar *bar = m_view->verticalScrollBar();
    for (int event = 0; event < 100; ++event)
        m_log.append(hexEvent(event), Notation::Hex, 0);
    m_view->showLog(m_log);
    bar->setValue(bar->maximum() / 2);
    const int value = bar->value();
    const qsizetype first = m_view->firstVisiblePosition();
    for (int event = 0; event < 100; ++event) {
        m_log.append(hexEvent(event), Notation::Hex, 0);
        m_view->showLog(m_log);
    }
    QCOMPARE(bar->value(), value);
    QCOMPARE(m_view->firstVisiblePosition(), first);
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::keyClick(m_view.get(), Qt::Key_A); // an edit in view, then a full replace: still in place
    m_view->showLog(m_log);
    QCOMPARE(m_view->firstVisiblePosition(), first);
}

void TestLogView::resizeKeepsFirstVisibleCharacter()
{
    QScrollBar *bar = m_view->verticalScrollBar();
    // Long enough that each width is wrapped around the view first, the rest later.
    while (m_log.size() < 200 * kChunk)
        m_log.append(QByteArrayView("the quick brown fox jumps over the lazy dog "), Notation::Ascii, 0);
    m_view->showLog(m_log);
    bar->setValue(bar->maximum() / 2);
    for (const int width : {120, 400, 60, 257}) {
        const qsizetype first = m_view->firstVisiblePosition();
        m_view->resize(width, kBoxSize.height());
        QVERIFY(!m_view->isSettled());
        QVERIFY(m_view->firstVisiblePosition() <= first);
        bar->setValue(bar->value() + 1);
        QVERIFY(m_view->firstVisiblePosition() > first);
        bar->setValue(bar->value() - 1);
    }
}

// The window's log goes before its child box: the box must not need it any more.
void TestLogView::outlivesTheLog()
{
    auto log = std::make_unique<ReceiveLog>();
    log->append(QByteArray(3 * kChunk, 'z'), Notation::Ascii, 0);
    m_view->showLog(*log);
    const QString shown = textOf(*log);
    log.reset();
    m_view->grab();
    QCOMPARE(m_view->toPlainText(), shown);
}

QTEST_MAIN(TestLogView)
#include "tst_logview.moc"
