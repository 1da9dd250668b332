#include "bytemodeform.h"

#include "globals.h"
#include "popupdriver.h"

#include <QCursor>
#include <QLabel>
#include <QtTest>

#include <memory>

namespace {

constexpr QPoint kPopupPos(300, 200);
constexpr int kBorder = 3;
constexpr int kModes = 5;

QPoint rowCentre(int row)
{
    return QPoint(kBorder + 28, kBorder + row * 16 + 8);
}

std::unique_ptr<ByteModeForm> loadChooser(qint32 chosen)
{
    Globals::PopupPos = kPopupPos;
    Globals::ChosenMode = chosen;
    return std::make_unique<ByteModeForm>();
}

QLabel *row(const ByteModeForm &chooser, int index)
{
    return chooser.findChild<QLabel *>(QStringLiteral("Label1[%1]").arg(index));
}

} // namespace

class TestByteModeForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void rows();
    void highlightAtLoad_data();
    void highlightAtLoad();
    void releasePicks_data();
    void releasePicks();
    void releaseUnderRowsPicksNothing();
    void pointerLeavingKeepsMode();
};

void TestByteModeForm::initTestCase()
{
    quietPointerGrabWarnings();
}

void TestByteModeForm::rows()
{
    const auto chooser = loadChooser(0);
    QCOMPARE(chooser->size(), QSize(57 + 2 * kBorder, 82 + 2 * kBorder));
    QCOMPARE(chooser->pos(), kPopupPos);
    const QStringList captions = {QStringLiteral("ASCII"), QStringLiteral("HEX"),
                                  QStringLiteral("DECIMAL"), QStringLiteral("BINARY"),
                                  QStringLiteral("CONTROL")};
    for (int i = 0; i < kModes; ++i) {
        const QLabel *label = row(*chooser, i);
        QVERIFY(label);
        QCOMPARE(label->text(), captions[i]);
        QCOMPARE(label->geometry(), QRect(kBorder, kBorder + 16 * i, 57, 17));
        QCOMPARE(label->toolTip().isEmpty(), i != 0);
    }
    QCOMPARE(row(*chooser, 0)->toolTip(),
             QStringLiteral("Left click set this byte to ASCII, right click set all bytes to ASCII"));
}

void TestByteModeForm::highlightAtLoad_data()
{
    QTest::addColumn<qint32>("chosen");
    QTest::addColumn<int>("lit");

    QTest::newRow("ASCII") << 0 << 0;
    QTest::newRow("CONTROL") << 4 << 4;
    QTest::newRow("mode without a row") << 7 << -1;
}

void TestByteModeForm::highlightAtLoad()
{
    QFETCH(qint32, chosen);
    QFETCH(int, lit);
    const auto chooser = loadChooser(chosen);
    for (int i = 0; i < kModes; ++i)
        QCOMPARE(isHighlighted(row(*chooser, i)), i == lit);
}

void TestByteModeForm::releasePicks_data()
{
    QTest::addColumn<int>("picked");
    QTest::addColumn<Qt::MouseButton>("button");

    QTest::newRow("ASCII, left") << 0 << Qt::LeftButton;
    QTest::newRow("ASCII, right") << 0 << Qt::RightButton;
    QTest::newRow("DECIMAL") << 2 << Qt::LeftButton;
    QTest::newRow("CONTROL") << 4 << Qt::LeftButton;
}

void TestByteModeForm::releasePicks()
{
    QFETCH(int, picked);
    QFETCH(Qt::MouseButton, button);
    const auto chooser = loadChooser(3);
    QCursor::setPos(kPopupPos + rowCentre(3));
    whenShown<ByteModeForm>(this, [&](ByteModeForm *shown) {
        moveOnto(shown->windowHandle(), rowCentre(picked));
        QCOMPARE(isHighlighted(row(*shown, picked)), true);
        QTest::mouseRelease(shown->windowHandle(), button, {}, rowCentre(picked));
    });
    chooser->exec();
    QCOMPARE(Globals::ChosenMode, picked);
}

void TestByteModeForm::releaseUnderRowsPicksNothing()
{
    const auto chooser = loadChooser(1);
    chooser->show();
    QVERIFY(QTest::qWaitForWindowExposed(chooser.get()));
    QTest::mouseRelease(chooser->windowHandle(), Qt::LeftButton, {}, QPoint(20, kBorder + 81));
    QVERIFY(chooser->isVisible());
    QCOMPARE(Globals::ChosenMode, 1);
}

void TestByteModeForm::pointerLeavingKeepsMode()
{
    const auto chooser = loadChooser(2);
    QCursor::setPos(kPopupPos + QPoint(200, 0));
    chooser->exec();
    QVERIFY(chooser->isHidden());
    QCOMPARE(Globals::ChosenMode, 2);
}

QTEST_MAIN(TestByteModeForm)
#include "tst_bytemodeform.moc"
