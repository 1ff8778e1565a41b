#pragma once

#include <QPoint>
#include <QRect>
#include <QVector>

// Where the note window opens. `startPos` is honoured, partly off-screen included, as long as
// some of the display label would show on one of `availableAreas` (the screens' available
// geometries). A note that would open where no screen shows it could never be reached again
// (it has no frame and no taskbar button), so it opens at (500, 500) instead, or at the top-left
// of `primaryArea` when (500, 500) is off every screen too. Without any screen `startPos` stays.
QPoint reachableStartPos(const QPoint &startPos, const QVector<QRect> &availableAreas,
                         const QRect &primaryArea);

// reachableStartPos with the screens the application knows now.
QPoint reachableStartPosOnScreens(const QPoint &startPos);
