#pragma once

#include <QColor>
#include <QWidget>

// A small square filled with one colour: the parity and framing error lights. It
// also says its state in words, in its tooltip and accessible description, for
// those who cannot tell its red from its green.
class IndicatorShape : public QWidget
{
    Q_OBJECT

public:
    static constexpr QColor kQuiet{0, 255, 0};
    static constexpr QColor kError{255, 0, 0};

    struct Words
    {
        QString quiet;
        QString error;
    };

    explicit IndicatorShape(QWidget *parent = nullptr);

    QColor fillColor() const { return m_fill; }
    void setFillColor(const QColor &color);
    void setWords(Words words);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void sayState();

    QColor m_fill = kQuiet;
    Words m_words;
};
