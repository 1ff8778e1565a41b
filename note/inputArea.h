#pragma once

#include <QRegion>

class QImage;

// Where `image` is painted, line by line: adjacent rows that hold a pixel that is not fully
// transparent make one band, and each band gives the rectangle from its leftmost to its
// rightmost painted pixel, grown by `margin` on every side. Of a rendered text, one rectangle
// per line.
QRegion paintedLines(const QImage &image, int margin);
