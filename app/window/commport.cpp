#include "commport.h"

#include "captionfit.h"
#include "codepage.h"
#include "commerror.h"
#include "formbuilder.h"
#include "globals.h"
#include "indicatorshape.h"
#include "latchbutton.h"
#include "logview.h"
#include "porttooltips.h"
#include "receivenotation.h"
#include "serialstringdisplay.h"
#include "transmitkey.h"
#include "units.h"
#include "version.h"
#include "windowlayout.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

#include <algorithm>

using Units::twipsRect;

namespace {

constexpr std::array<const char *, 7> kBaudCaptions = {"2400", "4800", "9600", "19200", "38400", "57600", "115200"};
constexpr std::array<const char *, 3> kParityCaptions = {"Even", "Odd", "None"};
constexpr std::array<const char *, 3> kParityLetters = {"e", "o", "n"};
constexpr std::array<const char *, 3> kDisplayCaptions = {"ASCII", "HEX", "DEC"};

QString latin(const char *text)
{
    return QString::fromLatin1(text);
}

// Each option of a column may grow to its frame's border.
template<std::size_t N>
void fitColumn(const std::array<QRadioButton *, N> &options, const QGroupBox *frame)
{
    for (QRadioButton *option : options)
        CaptionFit::fit({{option, frame->width()}});
}

} // namespace

CommPort::CommPort(PortDirectory ports, QWidget *parent)
    : QWidget(parent)
    , MSComm1(std::move(ports))
{
    setObjectName(QStringLiteral("CommPort"));
    resize(Units::toPixels(8010), Units::toPixels(5415));
    // Text1 is made first, so that it comes first in the tab order and has the focus.
    createMiddle();
    createSettingsColumn();
    createRightColumn();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    Timer1->setTimerType(Qt::PreciseTimer);

    // Selected as designed, before any handler is connected.
    Baudrate[2]->setChecked(true);
    Parity[2]->setChecked(true);
    StopBits[0]->setChecked(true);

    connectHandlers();
    Form_Load();
}

void CommPort::createSettingsColumn()
{
    using FormBuilder::frame;
    using FormBuilder::options;
    QGroupBox *portFrame = frame(this, QStringLiteral("PortFrame"), QStringLiteral("Port"), twipsRect(120, 0, 1215, 1335));
    options(Port, portFrame, QStringLiteral("Port"), [](int i) { return QString::number(i + 1); },
            [](int i) { return twipsRect(i < 4 ? 120 : 600, 240 + 240 * (i % 4), 495, 255); });
    for (int i = 0; i < 4; ++i)
        CaptionFit::fit(CaptionFit::row({Port[i], Port[i + 4]}, portFrame->width()));
    auto *tips = new PortToolTips(MSComm1.ports(), this);
    for (int i = 0; i < int(Port.size()); ++i)
        tips->watch(Port[i], i + 1);

    QGroupBox *baudFrame = frame(this, QStringLiteral("BaudrateFrame"), QStringLiteral("Baudrate"),
                                 twipsRect(120, 1320, 1215, 2055));
    options(Baudrate, baudFrame, QStringLiteral("Baudrate"), [](int i) { return latin(kBaudCaptions[i]); },
            [](int i) { return twipsRect(120, 240 + 240 * i, i < 3 ? 735 : 855, 255); });
    fitColumn(Baudrate, baudFrame);

    QGroupBox *parityFrame = frame(this, QStringLiteral("ParityFrame"), QStringLiteral("Parity"),
                                   twipsRect(120, 3360, 1215, 1095));
    options(Parity, parityFrame, QStringLiteral("Parity"), [](int i) { return latin(kParityCaptions[i]); },
            [](int i) { return twipsRect(120, 240 + 240 * i, 735, 255); });
    fitColumn(Parity, parityFrame);

    QGroupBox *stopFrame = frame(this, QStringLiteral("StopBitsFrame"), QStringLiteral("Stop Bits"),
                                 twipsRect(120, 4440, 1215, 855));
    options(StopBits, stopFrame, QStringLiteral("StopBits"), [](int i) { return QString::number(i + 1); },
            [](int i) { return twipsRect(120, 240 + 240 * i, 975, 255); });
}

void CommPort::createMiddle()
{
    Label3 = FormBuilder::label(this, QStringLiteral("Label3"), QStringLiteral("Receive"), twipsRect(1440, 0, 1095, 255));

    Text1 = new LogView(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twipsRect(WindowLayout::kText1Left, 240, 3855, WindowLayout::kText1Height));
    Text1->setAccessibleName(Label3->text());
    Text1->setFocus();

    TransmitFrame = FormBuilder::frame(this, QStringLiteral("TransmitFrame"), QStringLiteral("Transmit"),
                                       twipsRect(WindowLayout::kText1Left, WindowLayout::kTransmitFrameTop, 3855,
                                                 WindowLayout::kTransmitFrameHeight));
    Text2 = new QPlainTextEdit(TransmitFrame);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setGeometry(twipsRect(120, 240, 3615, WindowLayout::kText2Height));
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text2->setAccessibleName(TransmitFrame->title());
    // As in a multi-line box on Windows, Tab leaves the box; Ctrl+I still sends 9.
    Text2->setTabChangesFocus(true);
    Text2->installEventFilter(this);
    // Kept hidden: the window only keeps its width equal to the transmit box's.
    SerialStringDisplay1 = new SerialStringDisplay(TransmitFrame);
    SerialStringDisplay1->setObjectName(QStringLiteral("SerialStringDisplay1"));
    SerialStringDisplay1->setVisible(false);
    SerialStringDisplay1->setGeometry(twipsRect(120, 240, 3615, 375));
}

void CommPort::createRightColumn()
{
    using FormBuilder::button;
    using FormBuilder::frame;
    using FormBuilder::label;
    LeftFrame = new QFrame(this);
    LeftFrame->setObjectName(QStringLiteral("LeftFrame"));
    LeftFrame->setFrameShape(QFrame::NoFrame);
    LeftFrame->setGeometry(twipsRect(5280, 0, WindowLayout::kLeftFrameWidth, 5295));

    QGroupBox *displayFrame = frame(LeftFrame, QStringLiteral("DisplayFrame"), QStringLiteral("Display"),
                                    twipsRect(120, 0, 2535, 615));
    FormBuilder::options(Display, displayFrame, QStringLiteral("Display"),
                         [](int i) { return latin(kDisplayCaptions[i]); },
                         [](int i) { return twipsRect(120 + 720 * i, 240, i < 2 ? 855 : 735, 255); });
    CaptionFit::fit(CaptionFit::row({Display[0], Display[1], Display[2]}, displayFrame->width()));

    QGroupBox *errorsFrame = frame(LeftFrame, QStringLiteral("ErrorsFrame"), QStringLiteral("Errors"),
                                   twipsRect(120, 600, 2535, 615));
    PE = new IndicatorShape(errorsFrame);
    PE->setObjectName(QStringLiteral("PE"));
    PE->setGeometry(twipsRect(120, 240, 255, 255));
    PE->setAccessibleName(QStringLiteral("Parity"));
    PE->setWords({QStringLiteral("Parity: no error in the last second"), QStringLiteral("Parity error")});
    QLabel *parityLabel = label(errorsFrame, QStringLiteral("ParityLabel"), QStringLiteral("Parity"),
                                twipsRect(480, 240, 495, 255));
    FE = new IndicatorShape(errorsFrame);
    FE->setObjectName(QStringLiteral("FE"));
    FE->setGeometry(twipsRect(960, 240, 255, 255));
    FE->setAccessibleName(QStringLiteral("Frame"));
    FE->setWords({QStringLiteral("Frame: no error in the last second"), QStringLiteral("Framing error")});
    QLabel *frameLabel = label(errorsFrame, QStringLiteral("FrameLabel"), QStringLiteral("Frame"),
                               twipsRect(1320, 240, 495, 255));
    CaptionFit::fit({{parityLabel, FE->x()}, {frameLabel, errorsFrame->width()}});

    QGroupBox *buttonFrame = frame(LeftFrame, QStringLiteral("ButtonFrame"), QString(), twipsRect(120, 4560, 2535, 735));
    Connect = new LatchButton(QStringLiteral("Connect"), buttonFrame);
    Connect->setObjectName(QStringLiteral("Connect"));
    Connect->setAccessibleName(Connect->text());
    Connect->setGeometry(twipsRect(120, 240, 855, 375));
    Connect->setEnabled(false);
    Clear = button(buttonFrame, QStringLiteral("Clear"), QStringLiteral("Clear"), twipsRect(1080, 240, 615, 375));
    command2 = button(buttonFrame, QStringLiteral("command2"), QStringLiteral("Exit"), twipsRect(1800, 240, 615, 375));
}

void CommPort::connectHandlers()
{
    for (int i = 0; i < int(Port.size()); ++i) {
        connect(Port[i], &QRadioButton::toggled, this, [this, i](bool on) { if (on) Port_Click(i); });
    }
    for (int i = 0; i < int(Baudrate.size()); ++i) {
        connect(Baudrate[i], &QRadioButton::toggled, this, [this, i](bool on) { if (on) Baudrate_Click(i); });
    }
    for (int i = 0; i < int(Parity.size()); ++i) {
        connect(Parity[i], &QRadioButton::toggled, this, [this, i](bool on) { if (on) Parity_Click(i); });
    }
    for (int i = 0; i < int(StopBits.size()); ++i) {
        connect(StopBits[i], &QRadioButton::toggled, this, [this, i](bool on) { if (on) StopBits_Click(i); });
    }
    for (QRadioButton *option : Display) {
        connect(option, &QRadioButton::toggled, this, [this](bool on) { if (on) Display_Click(); });
    }
    connect(Connect, &QPushButton::toggled, this, &CommPort::Connect_Click);
    connect(Clear, &QPushButton::clicked, this, &CommPort::Clear_Click);
    connect(command2, &QPushButton::clicked, this, &CommPort::command2_Click);
    connect(Timer1, &QTimer::timeout, this, &CommPort::Timer1_Timer);
    connect(&MSComm1, &MSComm::OnComm, this, &CommPort::MSComm1_OnComm);
    connect(&MSComm1, &MSComm::portLost, this, &CommPort::portLost);
}

void CommPort::Form_Load()
{
    BaudText = QStringLiteral("9600");
    Baudrate[2]->setChecked(true);
    Parity[2]->setChecked(true);
    StopBits[0]->setChecked(true);
    ParityText = QStringLiteral("n");
    StopBitsText = QStringLiteral("1");
    Display[0]->setChecked(true);
    Globals::InitTables();
    setWindowTitle(QStringLiteral("Lorvane %1,%2,%3").arg(Version::kMajor).arg(Version::kMinor).arg(Version::kRevision));
}

void CommPort::Baudrate_Click(int index)
{
    if (index >= 0 && index < int(kBaudCaptions.size()))
        BaudText = latin(kBaudCaptions[index]);
    ApplySettings();
}

void CommPort::Parity_Click(int index)
{
    if (index >= 0 && index < int(kParityLetters.size()))
        ParityText = latin(kParityLetters[index]);
    ApplySettings();
}

void CommPort::StopBits_Click(int index)
{
    StopBitsText = index == 0 ? QStringLiteral("1") : QStringLiteral("2");
    ApplySettings();
}

void CommPort::Port_Click(int)
{
    Connect->setEnabled(true);
    ApplySettings();
}

void CommPort::Connect_Click()
{
    ApplySettings();
    // Typing goes to the line at once; a Space would otherwise release Connect again.
    if (Connect->isChecked() && MSComm1.PortOpen())
        Text2->setFocus();
}

void CommPort::command2_Click()
{
    if (MSComm1.PortOpen())
        MSComm1.setPortOpen(false);
    // exit(), not quit(): quit() would close the windows first and run their events.
    QCoreApplication::exit(0);
}

// Unchecking Connect on failure raises its click, so this runs once more inside
// itself; that run finds Connect released and only closes the port.
void CommPort::ApplySettings()
{
    try {
        if (Connect->isChecked()) {
            if (MSComm1.PortOpen())
                MSComm1.setPortOpen(false);
            const auto chosen = std::find_if(Port.begin(), Port.end(), [](QRadioButton *b) { return b->isChecked(); });
            if (chosen == Port.end())
                return;
            const qint16 port = qint16(chosen - Port.begin() + 1);
            MSComm1.setCommPort(port);
            MSComm1.setSettings(BaudText + u',' + ParityText + QStringLiteral(",8,") + StopBitsText);
            MSComm1.setPortOpen(true);
            Connect->setToolTip(QStringLiteral("Port %1 open: %2 at %3").arg(port).arg(MSComm1.devicePath(), MSComm1.Settings()));
        } else {
            if (MSComm1.PortOpen())
                MSComm1.setPortOpen(false);
            Connect->setToolTip(QString());
        }
    } catch (const CommError &error) {
        Connect->setChecked(false);
        tellWhy(QStringLiteral("Port %1 could not be opened: %2").arg(MSComm1.CommPort()).arg(error.message()));
    }
}

void CommPort::portLost(const QString &reason)
{
    Connect->setChecked(false);
    tellWhy(QStringLiteral("Port %1 was closed: %2").arg(MSComm1.CommPort()).arg(reason));
}

// The reason stays in Connect's tooltip; an operator at the window sees it at once
// beside Connect, without a box to dismiss and without losing the focus.
void CommPort::tellWhy(const QString &reason)
{
    Connect->setToolTip(reason);
    if (isActiveWindow() && !isMinimized())
        QToolTip::showText(Connect->mapToGlobal(QPoint(0, Connect->height())), reason, Connect, QRect(),
                           kReasonShownMs);
}

void CommPort::MSComm1_OnComm()
{
    const qint16 event = MSComm1.CommEvent();
    if (event == MSComm::comEventRxParity) {
        PE->setFillColor(IndicatorShape::kError);
        restartErrorTimer();
    }
    if (event == MSComm::comEventFrame) {
        FE->setFillColor(IndicatorShape::kError);
        restartErrorTimer();
    }
    if (event == MSComm::comEvReceive) {
        // No events run inside this loop, so the notation read once holds for every byte.
        using ReceiveNotation::Notation;
        const Notation notation = Display[0]->isChecked() ? Notation::Ascii
                                : Display[1]->isChecked() ? Notation::Hex
                                                          : Notation::Dec;
        char bytes[4096];
        qsizetype used = 0;
        while (MSComm1.InBufferCount() != 0) {
            bytes[used++] = char(MSComm1.Input()[0]);
            if (used == qsizetype(sizeof bytes)) {
                ReceivedText.append(QByteArrayView(bytes, used), notation);
                used = 0;
            }
        }
        ReceivedText.append(QByteArrayView(bytes, used), notation);
    }
    Text1->showLog(ReceivedText);
}

void CommPort::restartErrorTimer()
{
    Timer1->stop();
    Timer1->start();
}

void CommPort::Timer1_Timer()
{
    PE->setFillColor(IndicatorShape::kQuiet);
    FE->setFillColor(IndicatorShape::kQuiet);
    Timer1->stop();
}

void CommPort::Display_Click()
{
    Text1->clear();
}

void CommPort::Clear_Click()
{
    // The box shows the emptied log, so that it lets go of the old one at once.
    ReceivedText.clear();
    Text1->showLog(ReceivedText);
    Text2->clear();
    if (MSComm1.PortOpen())
        MSComm1.Input();
}

void CommPort::Text2_KeyPress(const QKeyEvent &key)
{
    send(TransmitKey::byteFor(key.key(), key.modifiers(), key.text()));
}

// Characters composed by an input method (dead keys, compose, ibus) come without a key
// press of their own; each goes out as the key press of a plain character would.
void CommPort::Text2_InputMethod(const QInputMethodEvent &input)
{
    for (const QChar c : input.commitString())
        send(CodePage::fromUnicode(c));
}

void CommPort::send(std::optional<quint8> byte)
{
    if (!byte || !MSComm1.PortOpen())
        return;
    const char out = char(*byte);
    MSComm1.Output(QByteArrayView(&out, 1));
}

bool CommPort::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == windowHandle() && event->type() == QEvent::Expose && windowHandle()->isExposed()) {
        windowHandle()->removeEventFilter(this);
        m_frameKnown = true;
        Form_Resize();
    } else if (watched == Text2 && event->type() == QEvent::KeyPress) {
        const auto &key = *static_cast<QKeyEvent *>(event);
        Text2_KeyPress(key);
        if (TransmitKey::isMenuKey(key.modifiers()) && !key.text().isEmpty())
            return true;
    } else if (watched == Text2 && event->type() == QEvent::InputMethod) {
        Text2_InputMethod(*static_cast<QInputMethodEvent *>(event));
    }
    return QWidget::eventFilter(watched, event);
}

void CommPort::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_frameKnown && windowHandle())
        windowHandle()->installEventFilter(this);
}

void CommPort::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

// W and H are the outer size, frame included; raising them to the minimum resizes
// the window, which comes back here. Until the window is on screen its frame is not
// known, and the outer size would be taken for the inner one.
void CommPort::Form_Resize()
{
    if (isMinimized())
        return;
    const auto px = Units::toPixels;
    if (m_frameKnown) {
        // The window manager keeps the window from being dragged below the minimum too.
        const QSize frameExtra = frameGeometry().size() - size();
        setMinimumSize(QSize(px(WindowLayout::kMinWidth), px(WindowLayout::kMinHeight)) - frameExtra);
        if (Units::toTwips(frameGeometry().width()) < WindowLayout::kMinWidth)
            resize(px(WindowLayout::kMinWidth) - frameExtra.width(), height());
        if (Units::toTwips(frameGeometry().height()) < WindowLayout::kMinHeight)
            resize(width(), px(WindowLayout::kMinHeight) - frameExtra.height());
    }

    const WindowLayout::Places p = WindowLayout::placesFor(Units::toTwips(frameGeometry().width()),
                                                           Units::toTwips(frameGeometry().height()));
    LeftFrame->move(px(p.leftFrameLeft), LeftFrame->y());
    Text1->resize(px(p.text1Width), px(p.text1Height));
    TransmitFrame->setGeometry(TransmitFrame->x(), px(p.transmitFrameTop), px(p.transmitFrameWidth),
                               TransmitFrame->height());
    Text2->resize(px(p.text2Width), Text2->height());
    SerialStringDisplay1->resize(px(p.displayWidth), SerialStringDisplay1->height());
}
