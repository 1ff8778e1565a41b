#include "note/placement.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace
{

// The display label's place inside the window (the stacked widget's offset plus the label's).
const int labelLeft = 60, labelTop = 30, labelWidth = 651, labelHeight = 521;

// In 64 bits: a hand-edited position may lie anywhere in the int range.
bool labelShows(const QPoint &windowPos, const QVector<QRect> &areas)
{
    const qint64 left = qint64(windowPos.x()) + labelLeft, top = qint64(windowPos.y()) + labelTop;
    const qint64 right = left + labelWidth, bottom = top + labelHeight;
    return std::any_of(areas.begin(), areas.end(), [&](const QRect &area) {
        return !area.isEmpty() && left < qint64(area.x()) + area.width() && area.x() < right &&
               top < qint64(area.y()) + area.height() && area.y() < bottom;
    });
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
