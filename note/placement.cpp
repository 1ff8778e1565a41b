#include "note/placement.h"
#include "note/deskMemo.h"

#include "platform/windowSystem.h"

#include <QGuiApplication>
#include <QRegion>
#include <QScreen>
#include <QTimer>

namespace
{

// The text's box on the desktop, when the window stands at `windowPos`. Computed in 64 bits: a
// hand-edited position may lie anywhere in the int range, and a box that far off is on no screen.
bool textOnDesktop(const QPoint &windowPos, const QRect &textBox, QRect *onDesktop)
{
    const qint64 farthest = 1 << 24;
    const qint64 left = qint64(windowPos.x()) + textBox.x();
    const qint64 top = qint64(windowPos.y()) + textBox.y();
    if (left < -farthest || left > farthest || top < -farthest || top > farthest)
        return false;
    *onDesktop = QRect(int(left), int(top), textBox.width(), textBox.height());
    return true;
}

// The screens together: the corner of an L that no screen covers is no part of it.
QRegion desktopOf(const QVector<QRect> &areas)
{
    QRegion desktop;
    for (const QRect &area : areas)
        desktop += area;
    return desktop;
}

bool textShows(const QPoint &windowPos, const QRect &textBox, const QRegion &desktop)
{
    QRect text;
    return textOnDesktop(windowPos, textBox, &text) && desktop.intersects(text);
}

bool wholeTextShows(const QPoint &windowPos, const QRect &textBox, const QRegion &desktop)
{
    QRect text;
    return textOnDesktop(windowPos, textBox, &text) && desktop.intersected(text) == QRegion(text);
}

} // namespace

QPoint reachableStartPos(const QPoint &startPos, const QRect &textBox,
                         const QVector<QRect> &availableAreas, const QRect &primaryArea)
{
    const QRegion desktop = desktopOf(availableAreas);
    if (desktop.isEmpty() || textShows(startPos, textBox, desktop))
        return startPos;
    const QPoint firstRunPos(500, 500);
    if (wholeTextShows(firstRunPos, textBox, desktop))
        return firstRunPos;
    return primaryArea.topLeft();
}

namespace
{

QVector<QRect> screenAreas()
{
    QVector<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

} // namespace

QPoint reachableStartPosOnScreens(const QPoint &startPos, const QRect &textBox)
{
    const QScreen *primary = QGuiApplication::primaryScreen();
    return reachableStartPos(startPos, textBox, screenAreas(),
                             primary ? primary->availableGeometry() : QRect());
}

// The screens are known once the application object exists; the text's box once the label holds
// the text in its font. The text lies within the label: where the whole label is seen, so is the
// text, which then need not be laid out (loading its fonts takes about 10 ms) to know it.
QPoint deskMemo::reachablePosition() const
{
    const QRect label(ui.label_show->mapTo(this, QPoint()), ui.label_show->size());
    if (wholeTextShows(setInfo.startPos, label, desktopOf(screenAreas())))
        return setInfo.startPos;
    return reachableStartPosOnScreens(setInfo.startPos, textArea().boundingRect());
}

// A screen that goes away, or shrinks, must not take the note with it: the note goes where it
// would open now, and its stored position stays until the user moves it, so that it comes back
// when the screen does. The check waits for the screens to settle: a monitor unplugged is often
// one of several changes in a row.
void deskMemo::followScreens()
{
    const auto check = [this] {
        QTimer::singleShot(
            0, this, [this] { platform::windowSystem().placeWindow(this, reachablePosition()); });
    };
    const auto watch = [this, check](QScreen *screen) {
        connect(screen, &QScreen::availableGeometryChanged, this, check);
    };
    for (QScreen *screen : QGuiApplication::screens())
        watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [watch, check](QScreen *screen) {
        watch(screen);
        check();
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, check);
}
