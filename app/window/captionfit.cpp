#include "captionfit.h"

#include <QWidget>

#include <algorithm>

namespace CaptionFit {

namespace {

constexpr double kSmallestPoint = 7.0;

bool fits(const QList<Slot> &slots)
{
    return std::all_of(slots.begin(), slots.end(), [](const Slot &s) {
        return s.control->x() + s.control->sizeHint().width() <= s.right;
    });
}

} // namespace

QList<Slot> row(const QList<QWidget *> &controls, int right)
{
    QList<Slot> slots;
    for (qsizetype i = 0; i < controls.size(); ++i)
        slots.append({controls[i], i + 1 < controls.size() ? controls[i + 1]->x() : right});
    return slots;
}

void fit(const QList<Slot> &slots)
{
    if (slots.isEmpty())
        return;
    QFont font = slots.front().control->font();
    while (!fits(slots) && font.pointSizeF() - 0.5 >= kSmallestPoint) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        for (const Slot &s : slots)
            s.control->setFont(font);
    }
    for (const Slot &s : slots) {
        QWidget *control = s.control;
        const int room = s.right - control->x();
        control->resize(std::max(control->width(), std::min(control->sizeHint().width(), room)), control->height());
    }
}

} // namespace CaptionFit
