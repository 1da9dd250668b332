#pragma once

#include <QString>

#include <array>

// The captions of the main window's option arrays, index by index, and the settings
// letters the parity options stand for.
namespace OptionCaptions {

inline constexpr std::array<const char *, 7> kBaudrate = {"2400", "4800", "9600", "19200", "38400", "57600", "115200"};
inline constexpr std::array<const char *, 3> kParity = {"Even", "Odd", "None"};
inline constexpr std::array<const char *, 3> kParityLetters = {"e", "o", "n"};
inline constexpr std::array<const char *, 3> kDisplay = {"ASCII", "HEX", "DEC"};

inline QString text(const char *caption)
{
    return QString::fromLatin1(caption);
}

} // namespace OptionCaptions
