#include "note/placement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace
{

// The display label's place inside the window (the stacked widget's offset plus the label's).
const QPoint labelOffset(60, 30);
const QSize labelSize(651, 521);

bool labelShows(const QPoint &windowPos, const QVector<QRect> &areas)
{
    const QRect label(windowPos + labelOffset, labelSize);
    return std::any_of(areas.begin(), areas.end(),
                       [&label](const QRect &area) { return area.intersects(label); });
}

} // namespace

QPoint reachableStartPos(const QPoint &startPos, const QVector<QRect> &availableAreas,
                         const QRect &primaryArea)
{
    if (availableAreas.isEmpty() || labelShows(startPos, availableAreas))
        return startPos;
    const QPoint firstRunPos(500, 500);
    if (labelShows(firstRunPos, availableAreas))
        return firstRunPos;
    return primaryArea.topLeft();
}

QPoint reachableStartPosOnScreens(const QPoint &startPos)
{
    QVector<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    const QScreen *primary = QGuiApplication::primaryScreen();
    return reachableStartPos(startPos, areas, primary ? primary->availableGeometry() : QRect());
}
