#include "formcontrolcodeform.h"

#include "globals.h"
#include "popupdriver.h"

#include <QCursor>
#include <QLabel>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

constexpr QPoint kPopupPos(200, 150);
// 1935 twips of labels inside a 3-pixel border.
constexpr int kSide = 129 + 2 * 3;

std::unique_ptr<FormControlcodeForm> loadPicker(QPoint popupPos, quint8 code)
{
    Globals::PopupPos = popupPos;
    Globals::PickedCode = code;
    return std::make_unique<FormControlcodeForm>();
}

QList<int> highlightedLabels(const FormControlcodeForm &picker)
{
    QList<int> lit;
    for (int i = 0; i < Globals::kControlCodes; ++i) {
        if (isHighlighted(picker.findChild<QLabel *>(QStringLiteral("Label1[%1]").arg(i))))
            lit.append(i);
    }
    return lit;
}

} // namespace

class TestFormControlcodeForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { startPopupTests(); }
    void labels();
    void placement_data();
    void placement();
    void highlightAtLoad_data();
    void highlightAtLoad();
    void highlightFollowsPointer();
    void releasePicks_data();
    void releasePicks();
    void keysDoNothing();
    void watchKeepsEdgeInside();
};

void TestFormControlcodeForm::labels()
{
    const auto picker = loadPicker(kPopupPos, 0);
    QCOMPARE(picker->size(), QSize(kSide, kSide));
    for (int code = 0; code < Globals::kControlCodes; ++code) {
        auto *label = picker->findChild<QLabel *>(QStringLiteral("Label1[%1]").arg(code));
        QVERIFY(label);
        QCOMPARE(label->text(), Globals::ControlCodeNames[code]);
        QCOMPARE(label->geometry().center(), pickerLabelCentre(code));
        QCOMPARE(label->size(), QSize(33, 17));
        if (code != 0) // code 0 is highlighted
            QCOMPARE(paintedBackground(label), QApplication::palette().color(QPalette::Base));
    }
    const auto *timer = picker->findChild<QTimer *>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 500);
    QVERIFY(timer->isActive());
}

void TestFormControlcodeForm::placement_data()
{
    QTest::addColumn<QPoint>("popupPos");
    QTest::addColumn<QPoint>("corner");

    QTest::newRow("on screen") << kPopupPos << kPopupPos;
    QTest::newRow("above the screen") << QPoint(200, -117) << QPoint(200, 0);
    QTest::newRow("above and left") << QPoint(-110, -117) << QPoint(0, 0);
    QTest::newRow("right and bottom not kept") << QPoint(5000, 4000) << QPoint(5000, 4000);
}

void TestFormControlcodeForm::placement()
{
    QFETCH(QPoint, popupPos);
    QFETCH(QPoint, corner);
    const auto picker = loadPicker(popupPos, 0);
    picker->show();
    QCOMPARE(picker->frameGeometry().topLeft(), corner);
}

void TestFormControlcodeForm::highlightAtLoad_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QList<int>>("lit");

    QTest::newRow("NUL, top of the first column") << 0 << QList<int>{0};
    QTest::newRow("US, foot of the fourth column") << 31 << QList<int>{31};
    QTest::newRow("code past the table") << 40 << QList<int>{};
}

void TestFormControlcodeForm::highlightAtLoad()
{
    QFETCH(int, code);
    QFETCH(QList<int>, lit);
    const auto picker = loadPicker(kPopupPos, quint8(code));
    QCOMPARE(highlightedLabels(*picker), lit);
    QCOMPARE(picker->CurrentIndex(), lit.isEmpty() ? -1 : lit.first());
}

void TestFormControlcodeForm::highlightFollowsPointer()
{
    const auto picker = loadPicker(kPopupPos, 2);
    picker->show();
    QVERIFY(QTest::qWaitForWindowExposed(picker.get()));
    QWindow *window = picker->windowHandle();

    moveOnto(window, pickerLabelCentre(9));
    moveOnto(window, pickerLabelCentre(18));
    moveOnto(window, pickerLabelCentre(19));
    QCOMPARE(highlightedLabels(*picker), QList<int>{19});
    QCOMPARE(picker->CurrentIndex(), 19);

    // The border is on no label: the last one stays lit.
    moveOnto(window, QPoint(1, 60));
    QCOMPARE(highlightedLabels(*picker), QList<int>{19});
    QCOMPARE(Globals::PickedCode, quint8(2));
}

void TestFormControlcodeForm::releasePicks_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

void TestFormControlcodeForm::releasePicks()
{
    QFETCH(Qt::MouseButton, button);
    const auto picker = loadPicker(kPopupPos, 2);
    picker->show();
    QVERIFY(QTest::qWaitForWindowExposed(picker.get()));

    pickAt(picker.get(), button, pickerLabelCentre(27));
    QCOMPARE(Globals::PickedCode, quint8(27));
    QVERIFY(picker->isHidden());
}

void TestFormControlcodeForm::keysDoNothing()
{
    const auto picker = loadPicker(kPopupPos, 5);
    picker->show();
    QTest::keyClick(picker.get(), Qt::Key_Escape);
    QTest::keyClick(picker.get(), Qt::Key_Return);
    QVERIFY(picker->isVisible());
    QCOMPARE(Globals::PickedCode, quint8(5));
}

void TestFormControlcodeForm::watchKeepsEdgeInside()
{
    const auto picker = loadPicker(kPopupPos, 5);
    picker->show();
    QSignalSpy ticks(picker->findChild<QTimer *>(QStringLiteral("Timer1")), &QTimer::timeout);

    QCursor::setPos(kPopupPos + QPoint(kSide, kSide));
    QVERIFY(ticks.wait(5000));
    QVERIFY(picker->isVisible());

    QCursor::setPos(kPopupPos + QPoint(kSide + 1, kSide));
    QVERIFY(ticks.wait(5000));
    QVERIFY(picker->isHidden());
    QCOMPARE(Globals::PickedCode, quint8(5));
}

QTEST_MAIN(TestFormControlcodeForm)
#include "tst_formcontrolcodeform.moc"
