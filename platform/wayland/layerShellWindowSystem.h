#pragma once

#include "platform/windowSystem.h"

#include <QPointer>

namespace platform
{

class NoteSurface;

// On layer shell the program places its windows itself: the note at its margins from the corner of
// the output that holds its position, on the layer below the windows or the one above them, and
// every other window of the program (menu, dialogs, message boxes) as a surface above all windows
// on the note's output, placed where Qt puts it. Positions are in the coordinates of the desktop
// of all outputs, as on X11, and Qt's geometry of the note says where it stands. Wayland tells no
// program where the pointer is on the screen: a drag moves by the pointer's travel within the
// note.
class LayerShellWindowSystem : public WindowSystem
{
public:
    explicit LayerShellWindowSystem(bool kwin);
    ~LayerShellWindowSystem() override;

    bool placeWindow(QWidget *window, const QPoint &topLeft) override;
    QPoint pointerOnScreen(const QWidget *window, const QMouseEvent *event) override;
    void setKeepAbove(QWidget *window, bool above) override;
    void setInputRegion(QWidget *window, const QRegion &area) override;
    void setUpNote(QWidget *note) override;

private:
    const bool kwin;
    QPointer<NoteSurface> surface;
};

} // namespace platform
