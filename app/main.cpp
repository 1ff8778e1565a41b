#include "app/languageChoice.h"
#include "app/platformChoice.h"
#include "app/startup.h"
#include "note/deskMemo.h"
#include "platform/singleInstance.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    app::choosePlatform();
    scaleWithScreen();
    QApplication app(argc, argv);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    platform::NoteInstance instance(runningNoteKey());
    if (!instance.isFirst())
        return handOverToRunningNote(instance);
    warnIfUnguarded(instance);
    keepIdleQuiet();
    app::speakUsersLanguage();
    deskMemo window;
    showNoteWindow(window);
    letLaterStartsFind(window, instance);
    const int exitCode = app.exec();
    endEvenIfTeardownHangs(exitCode);
    return exitCode;
}
