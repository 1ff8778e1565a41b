#pragma once

#include <QString>

class deskMemo;

// Makes the program follow the screen's scale (125 %, 150 %, 200 %): every size stays in logical
// pixels, fonts and images included, and the images are drawn from their @2x twins where the
// scale is above 100 %. Call before the application object exists.
void scaleWithScreen();

namespace platform
{
class NoteInstance;
}

// Which note this start belongs to: the program's folder as it is on disk, whatever path, link
// or mount the program was started by, and wherever the note's files are kept at the moment.
QString runningNoteKey();

// A start of a note that runs already opens no window of its own: it asks the running note to
// come forward, says so on standard error and gives the exit code: 0 when the note came forward,
// 1 when it did not answer (it is stopped or hung), so that nobody waits on it.
int handOverToRunningNote(platform::NoteInstance &instance);

// Says on standard error why the note runs without its running mark, when it does.
void warnIfUnguarded(const platform::NoteInstance &instance);

// Keeps the program free of wake-ups while the note just sits on the desktop. Call once the
// application object exists and before the note window is constructed:
// - Qt's pixmap cache runs a clean-up timer for minutes after every image it caches (the
//   window's images, the style's button faces), waking the process every 10 to 30 s. The
//   window holds every image it shows, so the cache is switched off and the timer never runs.
// - Large images are converted by threads of the global thread pool, which would otherwise
//   linger for 30 s and wake once to end; they end as soon as their work is done.
void keepIdleQuiet();

// Makes the constructed note window translucent, sets it up as the note of the window system
// (off the taskbar, on every workspace), shows it and lets its closeAllWindows signal end the
// event loop. The end of the session and a request from the system to end the program close the
// window; when its changes can't be saved, the program says why on standard error and the event
// loop ends with 1.
void showNoteWindow(deskMemo &window);

// Lets later starts of the same note find the shown window through `instance`, and bring it
// forward.
void letLaterStartsFind(deskMemo &window, platform::NoteInstance &instance);

// Makes sure the program ends with `exitCode` once the event loop has ended: the note is saved
// by then, and should tearing down the windows and the application object hang (Qt 5.15's
// Wayland client can deadlock at exit, between its event thread and the display's
// destruction), the process still ends a few seconds later, also freeing the note for its next
// start. Call after the event loop has returned, before the window and the application object
// go.
void endEvenIfTeardownHangs(int exitCode);
