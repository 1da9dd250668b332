#pragma once

#include <QList>

class QWidget;

// The design places captions for a narrower font than most systems default to. Each
// captioned control keeps its place and may grow up to its right edge (the next
// control or the frame's border); where the captions of a row still do not fit, the
// row's font shrinks in half points until they do, but not below a readable size.
namespace CaptionFit {

struct Slot {
    QWidget *control = nullptr;
    int right = 0;
};

// Controls side by side: each may grow to the next one's left edge, the last to `right`.
QList<Slot> row(const QList<QWidget *> &controls, int right);
void fit(const QList<Slot> &row);

} // namespace CaptionFit
