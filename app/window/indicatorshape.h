#pragma once

#include <QColor>
#include <QWidget>

// A small square filled with one colour: the parity and framing error lights.
class IndicatorShape : public QWidget
{
    Q_OBJECT

public:
    static constexpr QColor kQuiet{0, 255, 0};
    static constexpr QColor kError{255, 0, 0};

    explicit IndicatorShape(QWidget *parent = nullptr);

    QColor fillColor() const { return m_fill; }
    void setFillColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_fill = kQuiet;
};
