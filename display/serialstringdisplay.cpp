#include "serialstringdisplay.h"

#include "celllayout.h"
#include "cellpalette.h"
#include "displaymetrics.h"
#include "globals.h"
#include "gridtextpainter.h"
#include "picturebox.h"
#include "scrollmath.h"
#include "units.h"

#include <QAction>
#include <QMenu>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>

namespace {

// Design geometry, twips.
QRect imageDesignRect()
{
    return Units::twipsRect(0, 0, 975, 375);
}

// The bar lies over the picture's rows 16 to 24, below the line of text.
QRect barDesignRect()
{
    return Units::twipsRect(0, 240, 975, 135);
}

QAction *addItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

SerialStringDisplay::SerialStringDisplay(QWidget *parent)
    : QWidget(parent)
    , DisplayImage(new PictureBox(this))
    , OffsetBar(new QScrollBar(Qt::Horizontal, this))
    , menuHidden(new QMenu(QStringLiteral("HiddenMenu"), this))
{
    DisplayImage->setObjectName(QStringLiteral("DisplayImage"));
    DisplayImage->setGeometry(imageDesignRect());
    DisplayImage->setToolTip(QStringLiteral("Double click to edit"));

    OffsetBar->setObjectName(QStringLiteral("OffsetBar"));
    OffsetBar->setGeometry(barDesignRect());
    OffsetBar->setRange(0, 0);
    OffsetBar->setSingleStep(1);
    // Display shows the bar only while the line is wider than the picture.
    OffsetBar->hide();

    buildMenu();
    // Qt tells a hidden widget nothing when it is resized, so the height ResizeMe keeps
    // is a fixed one: a host that resizes the control while it is hidden cannot make
    // it taller either. The width reaches the picture when the control is shown.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFixedHeight(DisplayImage->height());
    resize(imageDesignRect().size());

    connect(OffsetBar, &QScrollBar::valueChanged, this, [this] { Display(-1); });
    connect(DisplayImage, &PictureBox::doubleClicked, this, [this] { DoubleClicked = true; });
    connect(DisplayImage, &PictureBox::released, this, &SerialStringDisplay::releasedOnPicture);
    connect(menuEdit, &QAction::triggered, this, &SerialStringDisplay::Click);
    connect(menCopy, &QAction::triggered, this, &SerialStringDisplay::copyMessage);
    connect(menuCut, &QAction::triggered, this, &SerialStringDisplay::cutMessage);
    connect(menuPaste, &QAction::triggered, this, &SerialStringDisplay::pasteMessage);
    connect(menuDelete, &QAction::triggered, this, &SerialStringDisplay::deleteMessage);
    connect(menuTest, &QAction::triggered, this, &SerialStringDisplay::Test);
}

void SerialStringDisplay::buildMenu()
{
    menuHidden->setObjectName(QStringLiteral("menuHidden"));
    menuEdit = addItem(menuHidden, "menuEdit", QStringLiteral("&Edit"));
    menuHidden->addSeparator()->setObjectName(QStringLiteral("menuSpace"));
    menCopy = addItem(menuHidden, "menCopy", QStringLiteral("&Copy"));
    menuCut = addItem(menuHidden, "menuCut", QStringLiteral("C&ut"));
    menuPaste = addItem(menuHidden, "menuPaste", QStringLiteral("&Paste"));
    menuDelete = addItem(menuHidden, "menuDelete", QStringLiteral("&Delete"));
    menuHidden->addSeparator()->setObjectName(QStringLiteral("menuSpace2"));
    menuTest = addItem(menuHidden, "menuTest", QStringLiteral("&Test"));
}

void SerialStringDisplay::DisableMenu()
{
    MenuDisabled = true;
}

void SerialStringDisplay::ResizeMe()
{
    // Resizing the control itself re-enters through resizeEvent; the inner call finds
    // nothing left to change and redraws.
    DisplayImage->resize(width(), DisplayImage->height());
    OffsetBar->resize(DisplayImage->width(), OffsetBar->height());
    resize(DisplayImage->width(), DisplayImage->height());
    Display(-1);
}

void SerialStringDisplay::FillWithReceiveString()
{
    m_message = Globals::ReceiveString;
    ResizeMe();
}

void SerialStringDisplay::Setup(qint16 UseThisSerial)
{
    if (!Globals::SlotTable::isValidSlot(UseThisSerial))
        return;
    CurrentSlot = UseThisSerial;
    m_message = Globals::MessageTable.slot(UseThisSerial);
    ResizeMe();
}

void SerialStringDisplay::ReturnValue([[maybe_unused]] qint16 UseThisSerial)
{
    Globals::MessageTable.setSlot(CurrentSlot, m_message);
}

void SerialStringDisplay::Display(qint16 CurrentCursorPosition)
{
    PixelOffset = OffsetBar->isHidden() ? 0 : qint16(OffsetBar->value() * DisplayMetrics::kCharWidth);
    const CellLayout layout(m_message);
    paintLine(layout, CurrentCursorPosition);

    // A Value change inside the range update redraws the line without the mark, in
    // place of this picture; draw the mark again at the offset it left.
    const int valueBefore = OffsetBar->value();
    applyScrollRange(layout);
    if (CurrentCursorPosition >= 0 && OffsetBar->value() != valueBefore)
        paintLine(layout, CurrentCursorPosition);

    if (CurrentCursorPosition >= 0 && !m_inAutoScrollRedraw)
        autoScroll(layout, CurrentCursorPosition);
}

void SerialStringDisplay::paintLine(const CellLayout &layout, qint16 cursor)
{
    QImage &picture = DisplayImage->clear(CellPalette::background());
    QPainter painter(&picture);
    const int viewWidth = scaleWidth();
    for (int i = 0; i < layout.cellCount(); ++i) {
        if (!layout.isVisible(i, PixelOffset, viewWidth))
            continue;
        if (i == cursor) {
            painter.setPen(CellPalette::cursorMark());
            // An aliased 1-pixel outline covers one pixel more than the rectangle's size.
            painter.drawRect(layout.markRect(i, PixelOffset).adjusted(0, 0, -1, -1));
        }
        const CellText &cell = layout.cell(i);
        GridTextPainter::drawText(painter, QPoint(layout.cellStart(i) - PixelOffset, 0), cell.text, cell.colour);
    }
}

void SerialStringDisplay::applyScrollRange(const CellLayout &layout)
{
    const ScrollMath::Range range = ScrollMath::rangeFor(layout.lineWidth(), scaleWidth());
    if (range.fits) {
        OffsetBar->setValue(0);
        OffsetBar->setVisible(false);
        PixelOffset = 0;
        return;
    }
    OffsetBar->setMaximum(range.maximum);
    OffsetBar->setPageStep(range.largeChange);
    OffsetBar->setVisible(true);
}

void SerialStringDisplay::autoScroll(const CellLayout &layout, qint16 cursor)
{
    const ScrollMath::View view{PixelOffset, scaleWidth(), OffsetBar->value(), OffsetBar->maximum()};
    const std::optional<int> value =
        ScrollMath::autoScrollValue(layout.cellStart(cursor), layout.cellStart(cursor + 1), view);
    if (!value)
        return;
    OffsetBar->setValue(*value);
    const QScopedValueRollback redrawing(m_inAutoScrollRedraw, true);
    Display(cursor);
}

void SerialStringDisplay::releasedOnPicture(Qt::MouseButton button, QPoint globalPos)
{
    if (button == Qt::RightButton) {
        if (!MenuDisabled)
            menuHidden->exec(globalPos);
        DoubleClicked = false;
    } else if (DoubleClicked) {
        DoubleClicked = false;
        Q_EMIT Click();
    }
}

void SerialStringDisplay::copyMessage()
{
    Globals::CopyBuffer = m_message;
}

void SerialStringDisplay::cutMessage()
{
    Globals::CopyBuffer = m_message;
    Globals::MessageTable.setSlot(CurrentSlot, m_message);
    m_message.count = 0;
    Display(-1);
    Q_EMIT Edit();
}

void SerialStringDisplay::pasteMessage()
{
    m_message = Globals::CopyBuffer;
    Globals::MessageTable.setSlot(CurrentSlot, m_message);
    Display(-1);
    Q_EMIT Edit();
}

void SerialStringDisplay::deleteMessage()
{
    m_message.count = 0;
    Globals::MessageTable.setSlot(CurrentSlot, m_message);
    Display(-1);
    Q_EMIT Edit();
}

int SerialStringDisplay::scaleWidth() const
{
    return DisplayImage->width();
}

QSize SerialStringDisplay::sizeHint() const
{
    return imageDesignRect().size();
}

void SerialStringDisplay::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ResizeMe();
}
