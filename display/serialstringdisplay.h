#pragma once

#include "serialstring.h"

#include <QWidget>

class CellLayout;
class PictureBox;
class QAction;
class QMenu;
class QScrollBar;

// Shows one message as a line of coloured byte cells, scrolled by a bar under the
// text, and offers a pop-up edit menu that moves messages between the control, its
// message slot and the copy buffer shared by every display. The host loads it with
// Setup or FillWithReceiveString and hears back through Click, Edit and Test.
class SerialStringDisplay : public QWidget
{
    Q_OBJECT

public:
    explicit SerialStringDisplay(QWidget *parent = nullptr);

    void DisableMenu();
    void ResizeMe();
    void FillWithReceiveString();
    // A slot outside the message table is ignored: nothing changes.
    void Setup(qint16 UseThisSerial);
    // Always writes the slot of the last Setup; the argument is not used.
    void ReturnValue(qint16 UseThisSerial);
    // Draws the message; a cursor of 0 to 31 marks that cell and scrolls it into view.
    void Display(qint16 CurrentCursorPosition);

    const SerialString &message() const { return m_message; }
    qint16 pixelOffset() const { return PixelOffset; }
    qint16 currentSlot() const { return CurrentSlot; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void Click();
    void Edit();
    void Test();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildMenu();
    void paintLine(const CellLayout &layout, qint16 cursor);
    void applyScrollRange(const CellLayout &layout);
    void autoScroll(const CellLayout &layout, qint16 cursor);
    void releasedOnPicture(Qt::MouseButton button, QPoint globalPos);
    void copyMessage();
    void cutMessage();
    void pasteMessage();
    void deleteMessage();
    int scaleWidth() const;

    PictureBox *DisplayImage = nullptr;
    QScrollBar *OffsetBar = nullptr;
    QMenu *menuHidden = nullptr;
    QAction *menuEdit = nullptr;
    QAction *menCopy = nullptr;
    QAction *menuCut = nullptr;
    QAction *menuPaste = nullptr;
    QAction *menuDelete = nullptr;
    QAction *menuTest = nullptr;

    bool MenuDisabled = false;
    qint16 PixelOffset = 0;
    SerialString m_message;
    bool DoubleClicked = false;
    qint16 CurrentSlot = 0;
    // Set while the redraw that follows an automatic scroll runs, so that it cannot
    // scroll again when rounding or the bar's limits leave the cell short of the margin.
    bool m_inAutoScrollRedraw = false;
};
