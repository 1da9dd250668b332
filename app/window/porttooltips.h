#pragma once

#include <QObject>

class PortDirectory;
class QAbstractButton;

// Gives each port option a tooltip naming the device it stands for at the moment the
// tooltip shows, since devices come and go while the program runs.
class PortToolTips : public QObject
{
    Q_OBJECT

public:
    explicit PortToolTips(const PortDirectory &ports, QObject *parent = nullptr);

    // Shows the tooltip of port `port` (1-based) on `option`.
    void watch(QAbstractButton *option, int port);

    static QString text(int port, const QString &device);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    const PortDirectory &m_ports;
};
