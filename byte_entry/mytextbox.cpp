#include "mytextbox.h"

#include "caretlayout.h"
#include "desktopinput.h"
#include "formcontrolcodeform.h"
#include "globals.h"
#include "popupplacement.h"
#include "serialstring.h"
#include "units.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>

#include <optional>

namespace {

constexpr int kBlinkInterval = 500;
constexpr QRect kPictureTwips(0, 0, 855, 285);
// The caret runs from this far below the top to this far above the bottom.
constexpr int kCaretTop = 15;
constexpr int kCaretBottomInset = 100;

std::optional<ByteText::Key> caretKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return ByteText::Key::Left;
    case Qt::Key_Right:
        return ByteText::Key::Right;
    case Qt::Key_Backspace:
        return ByteText::Key::Backspace;
    case Qt::Key_End:
        return ByteText::Key::End;
    case Qt::Key_Home:
        return ByteText::Key::Home;
    case Qt::Key_Delete:
        return ByteText::Key::Delete;
    default:
        return std::nullopt;
    }
}

bool isMode(qint32 mode, ByteMode which)
{
    return mode == qint32(which);
}

} // namespace

MyTextBox::MyTextBox(QWidget *parent)
    : QWidget(parent)
    , m_picture(new QWidget(this))
    , m_timer(new QTimer(this))
{
    m_picture->setObjectName(QStringLiteral("Picture1"));
    m_picture->setGeometry(Units::twipsRect(kPictureTwips.x(), kPictureTwips.y(),
                                            kPictureTwips.width(), kPictureTwips.height()));
    m_picture->setFocusPolicy(Qt::StrongFocus);
    m_picture->setAttribute(Qt::WA_OpaquePaintEvent);
    m_picture->installEventFilter(this);
    setFocusProxy(m_picture);

    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(kBlinkInterval);
    connect(m_timer, &QTimer::timeout, this, &MyTextBox::blink);
}

qint32 MyTextBox::Mode() const
{
    return m_state.mode();
}

void MyTextBox::setMode(qint32 mode)
{
    m_state.setMode(mode);
    Redraw();
}

quint8 MyTextBox::value() const
{
    return m_state.value();
}

void MyTextBox::setValue(quint8 value)
{
    m_state.setValue(value);
    Redraw();
}

bool MyTextBox::Error() const
{
    return m_state.error();
}

QString MyTextBox::DisplayText() const
{
    return m_state.displayText();
}

int MyTextBox::CaretPos() const
{
    return m_state.caretPos();
}

QSize MyTextBox::sizeHint() const
{
    return m_picture->size();
}

bool MyTextBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_picture)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        paintPicture();
        return true;
    case QEvent::FocusIn:
        focusGained();
        return false;
    case QEvent::FocusOut:
        focusLost();
        return false;
    case QEvent::KeyPress:
        return keyDown(static_cast<QKeyEvent *>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        mouseDown(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::MouseButtonRelease:
        mouseUp(static_cast<QMouseEvent *>(event));
        return true;
    default:
        return false;
    }
}

void MyTextBox::Redraw()
{
    m_picture->update();
}

void MyTextBox::SendLeftButtonUp(QPointF position)
{
    DesktopInput::sendLeftButtonUp(m_picture, position);
}

void MyTextBox::focusGained()
{
    m_hasFocus = true;
    m_timer->start();
    m_caretOn = true;
    Redraw();
}

void MyTextBox::focusLost()
{
    m_hasFocus = false;
    m_timer->stop();
    m_caretOn = false;
    Redraw();
}

void MyTextBox::blink()
{
    m_caretOn = !m_caretOn;
    Redraw();
}

// Caret and deletion keys first, as their own key-down step; any other key's text is
// then typed. Keys the mode does not take travel on to the host.
bool MyTextBox::keyDown(QKeyEvent *event)
{
    Redraw();
    if (const std::optional<ByteText::Key> key = caretKey(event->key())) {
        // These keys never type a character, whatever text the platform gives them.
        const ByteText::KeyResult result = m_state.pressKey(*key);
        if (result.edited)
            Q_EMIT changed();
        return result.consumed;
    }
    return typeText(event->text());
}

// The host may close us from its handler of any one character's change.
bool MyTextBox::typeText(const QString &text)
{
    const QPointer<MyTextBox> self(this);
    bool accepted = false;
    for (const QChar c : text) {
        if (!self)
            break;
        if (m_state.typeCharacter(c)) {
            accepted = true;
            Q_EMIT changed();
        }
    }
    return accepted;
}

void MyTextBox::mouseDown(QMouseEvent *event)
{
    Redraw();
    if (event->button() == Qt::LeftButton && isMode(m_state.mode(), ByteMode::CONTROL))
        SendLeftButtonUp(event->position());
}

void MyTextBox::mouseUp(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const qint32 mode = m_state.mode();
    const double x = event->position().x() * Units::kTwipsPerPixel;
    if (isMode(mode, ByteMode::ASCII)) {
        m_state.setCaretPos(0);
        Redraw();
    } else if (isMode(mode, ByteMode::HEX) || isMode(mode, ByteMode::DECIMAL)
               || isMode(mode, ByteMode::BINARY)) {
        m_state.setCaretPos(CaretLayout::caretFromClick(characterWidths(), x));
        Redraw();
    } else if (isMode(mode, ByteMode::CONTROL)) {
        pickControlCode(x);
    }
}

// The picker runs its own modal loop, so this box may be gone when it returns, and a
// second release must not open a second picker over the first.
void MyTextBox::pickControlCode(double releaseX)
{
    if (m_picking)
        return;
    m_picking = true;
    const QPointer<MyTextBox> self(this);

    const quint8 code = m_state.codeForPick();
    Globals::PickedCode = code;
    Globals::PopupPos =
        DesktopInput::clientToScreen(m_picture, PopupPlacement::pickerOffset(code, releaseX));
    QPointer<FormControlcodeForm> picker = new FormControlcodeForm(this);
    picker->exec();
    delete picker;
    if (!self)
        return;
    m_picking = false;

    m_state.takePickedCode(Globals::PickedCode);
    Redraw();
    Q_EMIT changed();
}

void MyTextBox::paintPicture()
{
    QPainter painter(m_picture);
    painter.fillRect(m_picture->rect(), Qt::white);
    const QFontMetricsF metrics(m_picture->font());
    const double left = double(CaretLayout::kTextLeft) / Units::kTwipsPerPixel;
    painter.setPen(ByteText::textColour(m_state.error()));
    painter.drawText(QPointF(left, metrics.ascent()), m_state.displayText());

    const qint32 mode = m_state.mode();
    const bool caretMode = mode >= qint32(ByteMode::ASCII) && mode <= qint32(ByteMode::BINARY);
    if (!caretMode || !m_hasFocus || !m_caretOn)
        return;
    const int x = Units::toPixels(CaretLayout::caretX(characterWidths(), m_state.caretPos()));
    const int bottom = Units::toTwips(m_picture->height()) - kCaretBottomInset;
    painter.setPen(Qt::black);
    painter.drawLine(x, Units::toPixels(kCaretTop), x, Units::toPixels(bottom));
}

QList<double> MyTextBox::characterWidths() const
{
    const QFontMetricsF metrics(m_picture->font());
    QList<double> widths;
    for (const QChar c : m_state.displayText())
        widths.append(metrics.horizontalAdvance(QString(c)) * Units::kTwipsPerPixel);
    return widths;
}
