#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>

// A pattern to find in the receive box's text, whose blocks hold code-page bytes or
// UTF-16. Ignoring case, two characters match when their case folds agree (QString's
// rule) in either form, so the form of a block never changes what is found. In bytes
// it compares two of its rarer characters 16 places at a time and the whole pattern
// only where both sit; a pattern the code page cannot write matches no bytes.
class SearchPattern
{
public:
    SearchPattern(const QString &text, bool matchCase);

    qsizetype size() const { return m_text.size(); }
    bool isEmpty() const { return m_text.isEmpty(); }

    // The first or last match starting in [from, to), or -1. The text must reach
    // to - 1 + size().
    qsizetype indexIn(const char *bytes, qsizetype from, qsizetype to) const;
    qsizetype lastIndexIn(const char *bytes, qsizetype from, qsizetype to) const;
    qsizetype indexIn(QStringView chars, qsizetype from, qsizetype to) const;
    qsizetype lastIndexIn(QStringView chars, qsizetype from, qsizetype to) const;

    // Whether chars is a match, whole.
    bool matches(QStringView chars) const;

private:
    // A place in the pattern and the bytes that match its character there.
    struct Anchor
    {
        qsizetype offset = 0;
        std::array<char, 2> bytes{};
    };

    bool matchesAt(const char *bytes) const;
    void chooseAnchors();
    Anchor anchorAt(qsizetype offset) const;

    QString m_text;
    Qt::CaseSensitivity m_case = Qt::CaseInsensitive;
    // Each byte as its fold class, with its table: bytes b and c match when
    // m_fold[b] == m_fold[c]; m_bytes holds the pattern's classes.
    const std::array<quint8, 256> *m_fold = nullptr;
    QByteArray m_bytes;
    bool m_inBytes = false;
    std::array<Anchor, 2> m_anchors{};
};
