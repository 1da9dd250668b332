#include "bytevaluecontrol.h"

#include "bytemodeform.h"
#include "desktopinput.h"
#include "globals.h"
#include "mytextbox.h"
#include "popupplacement.h"
#include "units.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>

#include <array>

namespace {

constexpr QSize kControlTwips(1815, 375);
constexpr int kIndexFontPoints = 12;

// Mode label captions by mode; a mode past the table leaves the caption alone.
constexpr std::array<const char *, 5> kModeCaptions = {"ASC", "HEX", "DEC", "BIN", "CNT"};

} // namespace

ByteValueControl::ByteValueControl(QWidget *parent)
    : QWidget(parent)
    , m_indexLabel(new QLabel(QStringLiteral("32"), this))
    , m_textBox(new MyTextBox(this))
    , m_frame(new QFrame(this))
    , m_modeLabel(new QLabel(m_frame))
{
    m_indexLabel->setObjectName(QStringLiteral("Label1"));
    m_indexLabel->setGeometry(Units::twipsRect(0, 0, 375, 255));
    m_indexLabel->setFont(QFont(QStringLiteral("MS Sans Serif"), kIndexFontPoints, QFont::Bold));

    m_textBox->setObjectName(QStringLiteral("MyTextBox1"));
    m_textBox->setGeometry(Units::twipsRect(360, 0, 855, 375));
    setFocusProxy(m_textBox);

    // The frame only anchors the mode chooser; the mode label covers all of it.
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setGeometry(Units::twipsRect(1320, 0, 495, 255));

    m_modeLabel->setObjectName(QStringLiteral("Text2"));
    m_modeLabel->setGeometry(Units::twipsRect(0, 0, 495, 285));
    // The system colours Window and WindowText are those of text areas: Base and Text.
    m_modeLabel->setAutoFillBackground(true);
    m_modeLabel->setBackgroundRole(QPalette::Base);
    m_modeLabel->setForegroundRole(QPalette::Text);
    m_modeLabel->setAlignment(Qt::AlignCenter);
    m_modeLabel->setFrameShape(QFrame::Box);
    m_modeLabel->setToolTip(QStringLiteral("Click to change byte mode"));
    m_modeLabel->installEventFilter(this);

    connect(m_textBox, &MyTextBox::changed, this, &ByteValueControl::VariableChanged);
}

qint32 ByteValueControl::Mode() const
{
    return m_textBox->Mode();
}

void ByteValueControl::setMode(qint32 mode)
{
    m_textBox->setMode(mode);
}

quint8 ByteValueControl::value() const
{
    return m_textBox->value();
}

void ByteValueControl::setValue(quint8 value)
{
    m_textBox->setValue(value);
    UpdateModeLabel();
}

bool ByteValueControl::Error() const
{
    return m_textBox->Error();
}

void ByteValueControl::setMyIndex(quint8 index)
{
    m_indexLabel->setText(QString::number(index));
}

QSize ByteValueControl::sizeHint() const
{
    return Units::twipsRect(0, 0, kControlTwips.width(), kControlTwips.height()).size();
}

bool ByteValueControl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_modeLabel)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *press = static_cast<QMouseEvent *>(event);
        if (press->button() == Qt::LeftButton)
            SendLeftButtonUp(press->position());
        return true;
    }
    case QEvent::MouseButtonRelease:
        modeLabelReleased(static_cast<QMouseEvent *>(event)->button());
        return true;
    default:
        return false;
    }
}

void ByteValueControl::UpdateModeLabel()
{
    const qint32 mode = m_textBox->Mode();
    if (mode >= 0 && mode < qint32(kModeCaptions.size()))
        m_modeLabel->setText(QString::fromLatin1(kModeCaptions[mode]));
}

void ByteValueControl::SendLeftButtonUp(QPointF position)
{
    DesktopInput::sendLeftButtonUp(m_modeLabel, position);
}

// Pending events run before the chooser opens; one of them may be a second release on
// the label, which must not open a second chooser, and either loop may delete us.
void ByteValueControl::modeLabelReleased(Qt::MouseButton button)
{
    if (m_choosing)
        return;
    m_choosing = true;
    const QPointer<ByteValueControl> self(this);
    QCoreApplication::processEvents();
    if (self && button == Qt::LeftButton)
        chooseMode();
    if (self)
        m_choosing = false;
}

void ByteValueControl::chooseMode()
{
    const qint32 mode = m_textBox->Mode();
    Globals::PopupPos = DesktopInput::clientToScreen(m_frame, PopupPlacement::chooserOffset(mode));
    // A chooser closed without a pick hands the byte's own mode back.
    Globals::ChosenMode = mode;
    const QPointer<ByteValueControl> self(this);
    QPointer<ByteModeForm> chooser = new ByteModeForm(this);
    chooser->exec();
    delete chooser;
    if (!self)
        return;

    m_textBox->setMode(Globals::ChosenMode);
    // The host may close us from its ModeChanged handler.
    Q_EMIT ModeChanged();
    if (self)
        UpdateModeLabel();
}
