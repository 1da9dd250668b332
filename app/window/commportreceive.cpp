#include "commport.h"

#include "indicatorshape.h"
#include "logcapture.h"
#include "logview.h"
#include "messagesession.h"
#include "receivenotation.h"

#include <QDateTime>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTimer>

// The road of a received byte: the serial notifier reads what the line has
// (MSComm); this handler drains it, hands each piece to the recording if there is
// one (its writer thread takes it to the disk), and appends it to the log
// (ReceiveLog) in the notation selected now, with the time of the read. The receive
// box (LogView) shares the log's new chunks as blocks of its text (LogText); its
// wrap (WrapLayout) renders the new text and wraps it, up to a bound, the rest in
// the background; the box moves its view and bar at once, or at the end of the frame
// when it did within the last one, and paints the lines in view (ShapedLine) from
// their chunks' text, rendered again unless a recent rendering is still kept.
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
        // No events run inside this loop, so the notation and the time read once hold
        // for every byte: one serial event is one read.
        using ReceiveNotation::Notation;
        const Notation notation = Display[0]->isChecked() ? Notation::Ascii
                                : Display[1]->isChecked() ? Notation::Hex
                                                          : Notation::Dec;
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        // A recording has every byte from the event that read it, before the box shows it.
        const auto take = [&](QByteArrayView piece) {
            m_capture->record(piece);
            ReceivedText.append(piece, notation, now);
            if (m_session && m_session->awaitsReply())
                m_session->received(piece);
        };
        char bytes[4096];
        qsizetype used = 0;
        while (MSComm1.InBufferCount() != 0) {
            bytes[used++] = char(MSComm1.Input()[0]);
            if (used == qsizetype(sizeof bytes)) {
                take(QByteArrayView(bytes, used));
                used = 0;
            }
        }
        take(QByteArrayView(bytes, used));
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
