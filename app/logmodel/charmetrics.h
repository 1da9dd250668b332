#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QList>

#include <array>

// Advance widths for wrapping the receive box, in 1/64 pixel, and the glyph each
// character is drawn as. Control characters have no glyph in most fonts and would be
// invisible, so they are drawn as their control pictures and measured the same way.
class CharMetrics
{
public:
    static constexpr int kUnit = 64;

    // Every character kUnit wide, tab stops every 8 characters: for tests.
    CharMetrics();
    explicit CharMetrics(const QFont &font);

    // Never 0 for a printable character of the code page; tab and line breaks aside.
    int advance(char16_t c) const
    {
        if (c < kTableSize) {
            const int a = m_table[c];
            if (a >= 0)
                return a;
        }
        return slowAdvance(c);
    }
    int tabStop() const { return m_tabStop; }
    // The advance of a code-page byte's character; -1 for a blank or a line break.
    int byteAdvance(char byte) const { return m_bytes[quint8(byte)]; }

    static QChar glyph(QChar c);
    static QString glyphs(const QString &text);

private:
    static constexpr char16_t kTableSize = 0x3000;

    int slowAdvance(char16_t c) const;
    void fillByteTable();

    bool m_uniform = true;
    QFontMetricsF m_metrics{QFont()};
    int m_tabStop = 8 * kUnit;
    std::array<int, 256> m_bytes{};
    mutable QList<int> m_table;
    mutable QHash<char16_t, int> m_other;
};
