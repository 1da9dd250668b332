#pragma once

#include <QList>

class QWidget;

// The design places captions for a narrower font than most systems default to. A row
// of captioned controls keeps its places: each control may grow to the next one's
// left edge (the last to `rowRight`), and where the captions still do not fit, the
// row's font shrinks in half points until they do, but not below a readable size.
namespace CaptionFit {

void fitRow(const QList<QWidget *> &row, int rowRight);

} // namespace CaptionFit
