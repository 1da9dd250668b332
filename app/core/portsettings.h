#pragma once

#include <QString>

#include <optional>

enum class Parity { None, Even, Odd };

// A line setting as the window writes it: "speed,parity,data bits,stop bits",
// for example "9600,n,8,1". Parity letters e, o, n.
struct PortSettings {
    int baud = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    int stopBits = 1;

    bool operator==(const PortSettings &) const = default;
};

// Nothing for a text that is not four fields of a speed, parity, data bits and stop
// bits that a serial line can take.
std::optional<PortSettings> parsePortSettings(const QString &text);
QString toString(const PortSettings &settings);
