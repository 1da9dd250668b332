#include "commport.h"

#include "captionfit.h"
#include "commerror.h"
#include "globals.h"
#include "indicatorshape.h"
#include "logview.h"
#include "receivenotation.h"
#include "serialstringdisplay.h"
#include "transmitkey.h"
#include "units.h"
#include "version.h"
#include "windowlayout.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

using Units::twipsRect;

namespace {

constexpr std::array<const char *, 7> kBaudCaptions = {"2400", "4800", "9600", "19200", "38400", "57600", "115200"};
constexpr std::array<const char *, 3> kParityCaptions = {"Even", "Odd", "None"};
constexpr std::array<const char *, 3> kParityLetters = {"e", "o", "n"};
constexpr std::array<const char *, 3> kDisplayCaptions = {"ASCII", "HEX", "DEC"};

QGroupBox *makeFrame(const QString &caption, const QString &name, QWidget *parent, QRect place)
{
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    frame->setGeometry(place);
    return frame;
}

template<std::size_t N>
void makeOptions(std::array<QRadioButton *, N> &options, const QString &name, QGroupBox *frame,
                 auto caption, auto place)
{
    for (std::size_t i = 0; i < N; ++i) {
        options[i] = new QRadioButton(caption(int(i)), frame);
        options[i]->setObjectName(QStringLiteral("%1[%2]").arg(name).arg(i));
        options[i]->setGeometry(place(int(i)));
    }
}

QString latin(const char *text)
{
    return QString::fromLatin1(text);
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

    // Selected as designed, before any handler is connected.
    Baudrate[2]->setChecked(true);
    Parity[2]->setChecked(true);
    StopBits[0]->setChecked(true);

    connectHandlers();
    Form_Load();
}

void CommPort::createSettingsColumn()
{
    QGroupBox *portFrame = makeFrame(QStringLiteral("Port"), QStringLiteral("PortFrame"), this,
                                     twipsRect(120, 0, 1215, 1335));
    makeOptions(Port, QStringLiteral("Port"), portFrame,
                [](int i) { return QString::number(i + 1); },
                [](int i) { return twipsRect(i < 4 ? 120 : 600, 240 + 240 * (i % 4), 495, 255); });
    for (int i = 0; i < 4; ++i)
        CaptionFit::fitRow({Port[i], Port[i + 4]}, portFrame->width());
    for (QRadioButton *option : Port)
        option->installEventFilter(this);

    QGroupBox *baudFrame = makeFrame(QStringLiteral("Baudrate"), QStringLiteral("BaudrateFrame"), this,
                                     twipsRect(120, 1320, 1215, 2055));
    makeOptions(Baudrate, QStringLiteral("Baudrate"), baudFrame,
                [](int i) { return latin(kBaudCaptions[i]); },
                [](int i) { return twipsRect(120, 240 + 240 * i, i < 3 ? 735 : 855, 255); });
    for (QRadioButton *option : Baudrate)
        CaptionFit::fitRow({option}, baudFrame->width());

    QGroupBox *parityFrame = makeFrame(QStringLiteral("Parity"), QStringLiteral("ParityFrame"), this,
                                       twipsRect(120, 3360, 1215, 1095));
    makeOptions(Parity, QStringLiteral("Parity"), parityFrame,
                [](int i) { return latin(kParityCaptions[i]); },
                [](int i) { return twipsRect(120, 240 + 240 * i, 735, 255); });
    for (QRadioButton *option : Parity)
        CaptionFit::fitRow({option}, parityFrame->width());

    QGroupBox *stopFrame = makeFrame(QStringLiteral("Stop Bits"), QStringLiteral("StopBitsFrame"), this,
                                     twipsRect(120, 4440, 1215, 855));
    makeOptions(StopBits, QStringLiteral("StopBits"), stopFrame,
                [](int i) { return QString::number(i + 1); },
                [](int i) { return twipsRect(120, 240 + 240 * i, 975, 255); });
}

void CommPort::createMiddle()
{
    Label3 = new QLabel(QStringLiteral("Receive"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(twipsRect(1440, 0, 1095, 255));

    Text1 = new LogView(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twipsRect(WindowLayout::kText1Left, 240, 3855, 3375));
    Text1->setFocus();

    TransmitFrame = makeFrame(QStringLiteral("Transmit"), QStringLiteral("TransmitFrame"), this,
                              twipsRect(1440, 3600, 3855, 1695));
    Text2 = new QPlainTextEdit(TransmitFrame);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setGeometry(twipsRect(120, 240, 3615, 1335));
    Text2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text2->installEventFilter(this);
    // Kept hidden: the window only keeps its width equal to the transmit box's.
    SerialStringDisplay1 = new SerialStringDisplay(TransmitFrame);
    SerialStringDisplay1->setObjectName(QStringLiteral("SerialStringDisplay1"));
    SerialStringDisplay1->setVisible(false);
    SerialStringDisplay1->setGeometry(twipsRect(120, 240, 3615, 375));
}

void CommPort::createRightColumn()
{
    LeftFrame = new QFrame(this);
    LeftFrame->setObjectName(QStringLiteral("LeftFrame"));
    LeftFrame->setFrameShape(QFrame::NoFrame);
    LeftFrame->setGeometry(twipsRect(5280, 0, WindowLayout::kLeftFrameWidth, 5295));

    QGroupBox *displayFrame = makeFrame(QStringLiteral("Display"), QStringLiteral("DisplayFrame"), LeftFrame,
                                        twipsRect(120, 0, 2535, 615));
    makeOptions(Display, QStringLiteral("Display"), displayFrame,
                [](int i) { return latin(kDisplayCaptions[i]); },
                [](int i) { return twipsRect(120 + 720 * i, 240, i < 2 ? 855 : 735, 255); });

    QGroupBox *errorsFrame = makeFrame(QStringLiteral("Errors"), QStringLiteral("ErrorsFrame"), LeftFrame,
                                       twipsRect(120, 600, 2535, 615));
    PE = new IndicatorShape(errorsFrame);
    PE->setObjectName(QStringLiteral("PE"));
    PE->setGeometry(twipsRect(120, 240, 255, 255));
    auto *parityLabel = new QLabel(QStringLiteral("Parity"), errorsFrame);
    parityLabel->setObjectName(QStringLiteral("ParityLabel"));
    parityLabel->setGeometry(twipsRect(480, 240, 495, 255));
    FE = new IndicatorShape(errorsFrame);
    FE->setObjectName(QStringLiteral("FE"));
    FE->setGeometry(twipsRect(960, 240, 255, 255));
    auto *frameLabel = new QLabel(QStringLiteral("Frame"), errorsFrame);
    frameLabel->setObjectName(QStringLiteral("FrameLabel"));
    frameLabel->setGeometry(twipsRect(1320, 240, 495, 255));

    QGroupBox *buttonFrame = makeFrame(QString(), QStringLiteral("ButtonFrame"), LeftFrame,
                                       twipsRect(120, 4560, 2535, 735));
    Connect = new QPushButton(QStringLiteral("Connect"), buttonFrame);
    Connect->setObjectName(QStringLiteral("Connect"));
    Connect->setCheckable(true);
    Connect->setEnabled(false);
    Connect->setGeometry(twipsRect(120, 240, 855, 375));
    Clear = new QPushButton(QStringLiteral("Clear"), buttonFrame);
    Clear->setObjectName(QStringLiteral("Clear"));
    Clear->setGeometry(twipsRect(1080, 240, 615, 375));
    command2 = new QPushButton(QStringLiteral("Exit"), buttonFrame);
    command2->setObjectName(QStringLiteral("command2"));
    command2->setGeometry(twipsRect(1800, 240, 615, 375));

    CaptionFit::fitRow({Display[0], Display[1], Display[2]}, displayFrame->width());
    CaptionFit::fitRow({parityLabel}, FE->x());
    CaptionFit::fitRow({frameLabel}, errorsFrame->width());

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
    if (index < 0 || index >= int(kBaudCaptions.size()))
        return;
    BaudText = latin(kBaudCaptions[index]);
    ApplySettings();
}

void CommPort::Parity_Click(int index)
{
    if (index < 0 || index >= int(kParityLetters.size()))
        return;
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
}

void CommPort::command2_Click()
{
    if (MSComm1.PortOpen())
        MSComm1.setPortOpen(false);
    QCoreApplication::quit();
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
            Connect->setToolTip(QStringLiteral("Port %1 open: %2 at %3")
                                    .arg(port).arg(MSComm1.ports().devicePath(port), MSComm1.Settings()));
        } else {
            if (MSComm1.PortOpen())
                MSComm1.setPortOpen(false);
            Connect->setToolTip(QString());
        }
    } catch (const CommError &error) {
        Connect->setChecked(false);
        Connect->setToolTip(QStringLiteral("Port %1 could not be opened: %2").arg(MSComm1.CommPort()).arg(error.message()));
    }
}

void CommPort::portLost(const QString &reason)
{
    Connect->setChecked(false);
    Connect->setToolTip(QStringLiteral("Port %1 was closed: %2").arg(MSComm1.CommPort()).arg(reason));
}

QString CommPort::portToolTip(int index) const
{
    const QString device = MSComm1.ports().devicePath(index + 1);
    return device.isEmpty() ? QStringLiteral("Port %1: no serial device present").arg(index + 1)
                            : QStringLiteral("Port %1: %2").arg(index + 1).arg(device);
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
        char rendered[4096];
        int used = 0;
        while (MSComm1.InBufferCount() != 0) {
            used += ReceiveNotation::render(MSComm1.Input()[0], notation, rendered + used);
            if (used > int(sizeof rendered) - ReceiveNotation::kMaxChars) {
                ReceivedText.append(QByteArrayView(rendered, used));
                used = 0;
            }
        }
        ReceivedText.append(QByteArrayView(rendered, used));
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
    Text1->clear();
    Text2->clear();
    ReceivedText.clear();
    if (MSComm1.PortOpen())
        MSComm1.Input();
}

void CommPort::Text2_KeyPress(const QKeyEvent &key)
{
    if (!MSComm1.PortOpen())
        return;
    if (const std::optional<quint8> byte = TransmitKey::byteFor(key.key(), key.modifiers(), key.text())) {
        const char out = char(*byte);
        MSComm1.Output(QByteArrayView(&out, 1));
    }
}

bool CommPort::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text2 && event->type() == QEvent::KeyPress) {
        Text2_KeyPress(*static_cast<QKeyEvent *>(event));
    } else if (event->type() == QEvent::ToolTip) {
        const auto option = std::find(Port.begin(), Port.end(), watched);
        if (option != Port.end()) {
            QToolTip::showText(static_cast<QHelpEvent *>(event)->globalPos(), portToolTip(int(option - Port.begin())), *option);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CommPort::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

// W and H are the outer size, frame included; raising them to the minimum resizes
// the window, which comes back here.
void CommPort::Form_Resize()
{
    if (isMinimized())
        return;
    const auto px = Units::toPixels;
    // The window manager keeps the window from being dragged below the minimum too.
    const QSize frameExtra = frameGeometry().size() - size();
    setMinimumSize(QSize(px(WindowLayout::kMinWidth), px(WindowLayout::kMinHeight)) - frameExtra);
    if (Units::toTwips(frameGeometry().width()) < WindowLayout::kMinWidth)
        resize(px(WindowLayout::kMinWidth) - frameExtra.width(), height());
    if (Units::toTwips(frameGeometry().height()) < WindowLayout::kMinHeight)
        resize(width(), px(WindowLayout::kMinHeight) - frameExtra.height());

    const WindowLayout::Places p = WindowLayout::placesFor(Units::toTwips(frameGeometry().width()),
                                                           Units::toTwips(frameGeometry().height()));
    LeftFrame->move(px(p.leftFrameLeft), LeftFrame->y());
    Text1->resize(px(p.text1Width), px(p.text1Height));
    TransmitFrame->setGeometry(TransmitFrame->x(), px(p.transmitFrameTop), px(p.transmitFrameWidth),
                               TransmitFrame->height());
    Text2->resize(px(p.text2Width), Text2->height());
    SerialStringDisplay1->resize(px(p.displayWidth), SerialStringDisplay1->height());
}
