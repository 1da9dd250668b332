#include "spinentry.h"

#include "units.h"

#include <QApplication>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

namespace {
constexpr int kFirstRepeatMs = 1000;
constexpr int kRepeatMs = 100;
constexpr int kWidthTwips = 855;
constexpr int kHeightTwips = 375;
} // namespace

SpinEntry::SpinEntry(FocusOrder order, QWidget *parent)
    : QWidget(parent)
{
    buildControls(order);
    connectControls();
    resize(sizeHint());
}

SpinEntry::~SpinEntry()
{
    // QWidget deletes the children after this part of the object is gone; the focus
    // leaving a dying text box must not reach a half-destroyed entry.
    disconnect(qApp, &QApplication::focusChanged, this, &SpinEntry::focusMoved);
    m_text->removeEventFilter(this);
    m_up->removeEventFilter(this);
    m_down->removeEventFilter(this);
}

void SpinEntry::buildControls(FocusOrder order)
{
    // Created first so that it lies behind the text box and the buttons.
    m_cover = new QFrame(this);
    m_cover->setObjectName(QStringLiteral("Frame1"));
    m_cover->setGeometry(Units::twipsRect(0, 0, kWidthTwips, kHeightTwips));
    m_cover->setFrameShape(QFrame::StyledPanel);
    m_cover->setAutoFillBackground(true);
    auto *hyphens = new QLabel(QString(20, u'-'), m_cover);
    hyphens->setObjectName(QStringLiteral("Label1"));
    hyphens->setGeometry(Units::twipsRect(0, 0, kWidthTwips, 255));

    // The focus chain follows the order of creation.
    if (order == FocusOrder::TextFirst) {
        m_text = createText();
        m_up = createButton(QStringLiteral("Up"), 0, Qt::UpArrow);
        m_down = createButton(QStringLiteral("Down"), 120, Qt::DownArrow);
    } else {
        m_down = createButton(QStringLiteral("Down"), 120, Qt::DownArrow);
        m_up = createButton(QStringLiteral("Up"), 0, Qt::UpArrow);
        m_text = createText();
    }
    // The same stacking either way: Down lies over the lower edge of Up.
    m_text->raise();
    m_up->raise();
    m_down->raise();

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(kRepeatMs);
}

QLineEdit *SpinEntry::createText()
{
    auto *text = new QLineEdit(QStringLiteral("10.00"), this);
    text->setObjectName(QStringLiteral("Text1"));
    text->setGeometry(Units::twipsRect(0, 0, 615, 285));
    text->installEventFilter(this);
    return text;
}

QToolButton *SpinEntry::createButton(const QString &name, int topTwips, Qt::ArrowType arrow)
{
    auto *button = new QToolButton(this);
    button->setObjectName(name);
    button->setGeometry(Units::twipsRect(600, topTwips, 255, 135));
    button->setArrowType(arrow);
    // A click moves the focus to the button, as with any push button: typed text commits first.
    button->setFocusPolicy(Qt::StrongFocus);
    button->installEventFilter(this);
    return button;
}

void SpinEntry::connectControls()
{
    connect(m_timer, &QTimer::timeout, this, &SpinEntry::repeatStep);
    connect(qApp, &QApplication::focusChanged, this, &SpinEntry::focusMoved);
}

QSize SpinEntry::sizeHint() const
{
    return Units::twipsRect(0, 0, kWidthTwips, kHeightTwips).size();
}

void SpinEntry::Enabled(bool State)
{
    m_cover->setVisible(!State);
    if (!State)
        m_cover->raise();
}

qint16 SpinEntry::return_value()
{
    commit();
    return m_state.current_value;
}

void SpinEntry::setTextToolTip(const QString &text)
{
    m_text->setToolTip(text);
}

void SpinEntry::showValue(qint16 requested)
{
    m_state.show_value(requested);
    refreshText();
}

void SpinEntry::stopRepeat()
{
    m_state.down_held = false;
    m_state.up_held = false;
    m_timer->stop();
}

bool SpinEntry::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text)
        textEvent(event);
    else if (watched == m_up || watched == m_down)
        buttonEvent(watched == m_up, event);
    return QWidget::eventFilter(watched, event);
}

void SpinEntry::textEvent(const QEvent *event)
{
    if (event->type() == QEvent::KeyRelease) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        // Held Enter repeats presses; only the real release counts.
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && !key->isAutoRepeat()) {
            commit();
            Q_EMIT changed();
        }
    } else if (event->type() == QEvent::FocusOut) {
        // Switching to another application or opening the text box's own menu
        // does not move the focus to another control.
        const Qt::FocusReason reason = static_cast<const QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            commit();
            Q_EMIT changed();
        }
    }
}

void SpinEntry::buttonEvent(bool up, const QEvent *event)
{
    // Any mouse button counts; the second press of a double-click arrives as a double-click.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        press(up);
        break;
    case QEvent::MouseButtonRelease:
        release(up);
        break;
    default:
        break;
    }
}

void SpinEntry::press(bool up)
{
    const bool stepped = up ? m_state.pressUp() : m_state.pressDown();
    if (!stepped)
        return;
    refreshText();
    m_timer->setInterval(kFirstRepeatMs);
    m_timer->start();
}

void SpinEntry::release(bool up)
{
    if (up)
        m_state.releaseUp();
    else
        m_state.releaseDown();
    // One timer serves both buttons: either release ends the repeat.
    m_timer->stop();
    Q_EMIT changed();
}

void SpinEntry::repeatStep()
{
    m_timer->setInterval(kRepeatMs);
    m_state.tick();
    refreshText();
}

void SpinEntry::focusMoved(const QWidget *from, const QWidget *to)
{
    // Leaving the control as a whole commits again, silently; a window losing the
    // focus altogether (to = null) is not a move to another control.
    if (from && to && holds(from) && !holds(to))
        commit();
}

void SpinEntry::commit()
{
    showValue(valueFromText(m_text->text()));
}

void SpinEntry::refreshText()
{
    m_text->setText(textFromValue(m_state.current_value));
}

bool SpinEntry::holds(const QWidget *widget) const
{
    return widget == this || isAncestorOf(widget);
}
