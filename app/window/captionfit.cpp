#include "captionfit.h"

#include <QWidget>

#include <algorithm>

namespace CaptionFit {

namespace {

constexpr double kSmallestPoint = 7.0;

int rightEdge(const QList<QWidget *> &row, qsizetype i, int rowRight)
{
    return i + 1 < row.size() ? row[i + 1]->x() : rowRight;
}

bool fits(const QList<QWidget *> &row, int rowRight)
{
    for (qsizetype i = 0; i < row.size(); ++i) {
        if (row[i]->x() + row[i]->sizeHint().width() > rightEdge(row, i, rowRight))
            return false;
    }
    return true;
}

} // namespace

void fitRow(const QList<QWidget *> &row, int rowRight)
{
    if (row.isEmpty())
        return;
    QFont font = row.front()->font();
    while (!fits(row, rowRight) && font.pointSizeF() - 0.5 >= kSmallestPoint) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        for (QWidget *control : row)
            control->setFont(font);
    }
    for (qsizetype i = 0; i < row.size(); ++i) {
        QWidget *control = row[i];
        const int room = rightEdge(row, i, rowRight) - control->x();
        control->resize(std::max(control->width(), std::min(control->sizeHint().width(), room)), control->height());
    }
}

} // namespace CaptionFit
