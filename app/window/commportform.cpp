#include "commport.h"

#include "captionfit.h"
#include "findbar.h"
#include "formbuilder.h"
#include "indicatorshape.h"
#include "logcapture.h"
#include "logview.h"
#include "optioncaptions.h"
#include "porttooltips.h"
#include "serialstringdisplay.h"
#include "units.h"
#include "windowlayout.h"

#include <QPlainTextEdit>

using Units::twipsRect;

namespace {

// Each option of a column may grow to its frame's border.
template<std::size_t N>
void fitColumn(const std::array<QRadioButton *, N> &options, const QGroupBox *frame)
{
    for (QRadioButton *option : options)
        CaptionFit::fit({{option, frame->width()}});
}

// A light named after the caption beside it, which it also speaks in its state words.
IndicatorShape *errorLight(QWidget *frame, const QString &name, QRect place, const QString &caption,
                           const QString &errorWords)
{
    auto *light = new IndicatorShape(frame);
    light->setObjectName(name);
    light->setGeometry(place);
    light->setAccessibleName(caption);
    light->setWords({caption + QStringLiteral(": no error in the last second"), errorWords});
    return light;
}

} // namespace

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
    options(Baudrate, baudFrame, QStringLiteral("Baudrate"), [](int i) { return OptionCaptions::text(OptionCaptions::kBaudrate[i]); },
            [](int i) { return twipsRect(120, 240 + 240 * i, i < 3 ? 735 : 855, 255); });
    fitColumn(Baudrate, baudFrame);

    QGroupBox *parityFrame = frame(this, QStringLiteral("ParityFrame"), QStringLiteral("Parity"),
                                   twipsRect(120, 3360, 1215, 1095));
    options(Parity, parityFrame, QStringLiteral("Parity"), [](int i) { return OptionCaptions::text(OptionCaptions::kParity[i]); },
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
    // Hidden until the operator asks for it in the receive box.
    auto *findBar = new FindBar(Text1);
    findBar->setObjectName(QStringLiteral("FindBar"));
    m_capture = new LogCapture(Text1, ReceivedText, this);

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
                         [](int i) { return OptionCaptions::text(OptionCaptions::kDisplay[i]); },
                         [](int i) { return twipsRect(120 + 720 * i, 240, i < 2 ? 855 : 735, 255); });
    CaptionFit::fit(CaptionFit::row({Display[0], Display[1], Display[2]}, displayFrame->width()));

    QGroupBox *errorsFrame = frame(LeftFrame, QStringLiteral("ErrorsFrame"), QStringLiteral("Errors"),
                                   twipsRect(120, 600, 2535, 615));
    PE = errorLight(errorsFrame, QStringLiteral("PE"), twipsRect(120, 240, 255, 255), QStringLiteral("Parity"),
                    QStringLiteral("Parity error"));
    QLabel *parityLabel = label(errorsFrame, QStringLiteral("ParityLabel"), PE->accessibleName(),
                                twipsRect(480, 240, 495, 255));
    FE = errorLight(errorsFrame, QStringLiteral("FE"), twipsRect(960, 240, 255, 255), QStringLiteral("Frame"),
                    QStringLiteral("Framing error"));
    QLabel *frameLabel = label(errorsFrame, QStringLiteral("FrameLabel"), FE->accessibleName(),
                               twipsRect(1320, 240, 495, 255));
    CaptionFit::fit({{parityLabel, FE->x()}, {frameLabel, errorsFrame->width()}});

    QGroupBox *buttonFrame = frame(LeftFrame, QStringLiteral("ButtonFrame"), QString(), twipsRect(120, 4560, 2535, 735));
    Connect = FormBuilder::latchButton(buttonFrame, QStringLiteral("Connect"), QStringLiteral("Connect"),
                                       twipsRect(120, 240, 855, 375));
    Connect->setEnabled(false);
    Clear = button(buttonFrame, QStringLiteral("Clear"), QStringLiteral("Clear"), twipsRect(1080, 240, 615, 375));
    command2 = button(buttonFrame, QStringLiteral("command2"), QStringLiteral("Exit"), twipsRect(1800, 240, 615, 375));
    createReconnect();
}
