#pragma once

#include <QPoint>
#include <QRect>
#include <QVector>

// Where the note window stands: at `startPos`, partly off-screen included, as long as some of
// its text shows on one of `availableAreas` (the screens' available geometries); `textBox` is
// where the text is in the window. A note whose text no screen shows could never be reached
// again (it has no frame and no taskbar button): it stands at (500, 500) instead when its whole
// text is seen there, or else at the top-left of `primaryArea`. Without any screen `startPos`
// stays.
QPoint reachableStartPos(const QPoint &startPos, const QRect &textBox,
                         const QVector<QRect> &availableAreas, const QRect &primaryArea);

// reachableStartPos with the screens the application knows now.
QPoint reachableStartPosOnScreens(const QPoint &startPos, const QRect &textBox);
