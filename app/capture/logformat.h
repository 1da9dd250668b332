#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The formats a log is saved in, as the file dialog lists them. The extension of
// the file name picks one; a name without a known extension takes the one whose
// filter is chosen.
namespace LogFormat {

enum class Kind { Bytes, Text, TimedText };

struct Format
{
    Kind kind;
    const char *filter;
    const char *suffix;
};

// In the dialog's order. A further format is a row here and a case where the saver
// writes a chunk.
inline constexpr std::array kFormats = {
    Format{Kind::Bytes, "Received bytes (*.bin)", "bin"},
    Format{Kind::Text, "Text as shown (*.txt)", "txt"},
    Format{Kind::TimedText, "Text with arrival times (*.tsv)", "tsv"},
};

QStringList filters();
// The format of that filter; the first for a text that is none of them.
const Format &forFilter(const QString &filter);
// The format the file name's extension names, any case; `chosen` when it names none.
const Format &forFile(const QString &fileName, const Format &chosen);

} // namespace LogFormat
