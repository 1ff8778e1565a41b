#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

class QScreen;
class QWidget;

namespace platform
{

// The note as a layer surface: its layer, the output it is made for and its margins from that
// output's corner; and every other window of the program, a surface above all windows on the
// note's output. A layer surface stays on the output it was made for: a note that the program
// moves onto another output (by a drag, or off an output that went away) is made anew there.
//
// Compositors differ in where they measure the pointer from while a button is held: sway from
// where the surface stood at the press, KWin 5.27 from where it stands at that moment. KWin also
// keeps hit-testing a surface that its margins moved at the place where the last motion of a
// drag found it: after a drag the note would take no click at its new place until the pointer had
// left it.
class NoteSurface : public QObject
{
public:
    NoteSurface(QWidget *note, bool kwin);

    QWidget *note() const { return noteWindow; }

    // Puts the note's corner at `position`. While the left button holds the note, the surface
    // stays on its output and only its margins change (a surface made anew would lose the
    // pointer); once released, it is made anew on the output that holds its position, if that is
    // another. A surface whose output went away is made anew at once.
    void place(const QPoint &position);

    // Where the pointer at `inNote` (in the note's coordinates) is on the desktop.
    QPoint pointerOnScreen(const QPoint &inNote) const;

    // KWin 5.27 applies a layer change of a mapped surface only at its next restack, which may
    // be long in coming (the next click on another window). A surface mapped anew is stacked at
    // once, on the layer it was made for, and sway does the same; the note keeps its place and
    // its input region, which Qt sets again on the new surface.
    void setAbove(bool onTop);

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void mapAgain();
    void endDrag();
    void makeNoteSurface();
    void makeOtherSurface(QWidget *window);
    void setNoteMargins();
    QScreen *outputHolding(const QPoint &position) const;
    QScreen *noteOutput() const;

    QWidget *const noteWindow;
    const bool kwin;
    bool above = false;
    bool held = false;
    // The corner of the surface's latest commit, and where it was when the last button went down
    // on the note.
    QPoint topLeft;
    QPoint grabOrigin;
    // The output the note's surface was made for.
    QPointer<QScreen> output;
};

} // namespace platform
