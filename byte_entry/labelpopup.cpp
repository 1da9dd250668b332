#include "labelpopup.h"

#include "desktopinput.h"
#include "popupplacement.h"
#include "units.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QTimer>
#include <QToolTip>
#include <qdrawutil.h>

namespace {

constexpr int kWatchInterval = 500;
// The labels' area starts inside the border.
constexpr QPoint kClientOrigin(PopupPlacement::kBorder, PopupPlacement::kBorder);

} // namespace

LabelPopup::LabelPopup(const LabelGrid &grid, QSize clientTwips, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint)
    , m_grid(grid)
    , m_timer(new QTimer(this))
{
    // Placed exactly where asked, with no title bar: no window manager may move it.
    const int border = 2 * PopupPlacement::kBorder;
    setFixedSize(Units::toPixels(clientTwips.width()) + border,
                 Units::toPixels(clientTwips.height()) + border);
    setMouseTracking(true);

    for (int i = 0; i < m_grid.count(); ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("Label1[%1]").arg(i));
        label->setGeometry(m_grid.rect(i).translated(kClientOrigin));
        label->setFrameShape(QFrame::Box);
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        // The window reads the pointer itself, so moves and releases need no hit test
        // per label and still arrive while it holds the pointer.
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_labels.append(label);
        paintLabel(i);
    }

    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(kWatchInterval);
    connect(m_timer, &QTimer::timeout, this, &LabelPopup::watchPointer);
}

int LabelPopup::exec()
{
    // A window the window manager never saw hands the keyboard back to nobody when it
    // goes, so the window that was active before takes it back.
    const QPointer<QWidget> active = QApplication::activeWindow();
    const int result = QDialog::exec();
    if (active && !QApplication::activeWindow())
        active->activateWindow();
    return result;
}

LabelPopup::Colours LabelPopup::labelColours(bool highlighted, const QPalette &system)
{
    if (highlighted)
        return {system.color(QPalette::Highlight), system.color(QPalette::HighlightedText)};
    // The system colours Window and WindowText are those of text areas: Base and Text.
    return {system.color(QPalette::Base), system.color(QPalette::Text)};
}

void LabelPopup::load(QPoint popupPos, int current, const QStringList &captions)
{
    move(PopupPlacement::windowOrigin(popupPos));
    if (current >= 0 && current < m_labels.size()) {
        m_currentIndex = current;
        paintLabel(current);
    }
    for (int i = 0; i < m_labels.size() && i < captions.size(); ++i)
        m_labels[i]->setText(captions[i]);
    m_timer->start();
}

QLabel *LabelPopup::label(int index) const
{
    return m_labels.value(index);
}

bool LabelPopup::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        showToolTip(static_cast<QHelpEvent *>(event));
        return true;
    }
    return QDialog::event(event);
}

void LabelPopup::keyPressEvent(QKeyEvent *event)
{
    // No keys: Escape and Enter must not close the window the way a dialog's would.
    event->accept();
}

void LabelPopup::mouseMoveEvent(QMouseEvent *event)
{
    const int index = labelAt(event->position());
    if (index >= 0)
        moveHighlight(index);
}

void LabelPopup::mouseReleaseEvent(QMouseEvent *event)
{
    const int index = labelAt(event->position());
    if (index < 0)
        return;
    pick(index);
    hide();
}

void LabelPopup::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
    qDrawWinPanel(&painter, rect(), palette(), false);
}

void LabelPopup::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    DesktopInput::holdPointer(this);
}

void LabelPopup::hideEvent(QHideEvent *event)
{
    DesktopInput::releasePointer(this);
    QDialog::hideEvent(event);
}

int LabelPopup::labelAt(QPointF position) const
{
    return m_grid.indexAt(position.toPoint() - kClientOrigin);
}

void LabelPopup::moveHighlight(int index)
{
    if (index == m_currentIndex)
        return;
    const int previous = m_currentIndex;
    m_currentIndex = index;
    if (previous >= 0)
        paintLabel(previous);
    paintLabel(index);
}

void LabelPopup::paintLabel(int index)
{
    QLabel *target = m_labels[index];
    const Colours colours = labelColours(index == m_currentIndex, palette());
    QPalette colouring = target->palette();
    colouring.setColor(QPalette::Window, colours.background);
    colouring.setColor(QPalette::WindowText, colours.text);
    target->setPalette(colouring);
}

void LabelPopup::showToolTip(QHelpEvent *event)
{
    const QLabel *target = label(labelAt(event->pos()));
    if (target && !target->toolTip().isEmpty())
        QToolTip::showText(event->globalPos(), target->toolTip(), this, target->geometry());
    else
        QToolTip::hideText();
}

void LabelPopup::watchPointer()
{
    if (PopupPlacement::pointerInside(frameGeometry(), DesktopInput::cursorPos()))
        return;
    m_timer->stop();
    hide();
}
