#pragma once

#include "portdirectory.h"

#include <QObject>

class QAbstractButton;

// Gives each port option a tooltip naming the device its number stands for at the
// moment the tooltip shows, since devices come and go while the program runs. It
// shares the directory with the serial control, so both see one numbering.
class PortToolTips : public QObject
{
    Q_OBJECT

public:
    explicit PortToolTips(PortDirectory &ports, QObject *parent = nullptr);

    // Shows the tooltip of port `number` (1-based) on `option`.
    void watch(QAbstractButton *option, int number);

    static QString text(int number, const PortDirectory::Port &port);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    PortDirectory &m_ports;
};
