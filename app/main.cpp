#include "app/platformChoice.h"
#include "app/startup.h"
#include "note/deskMemo.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    app::choosePlatform();
    scaleWithScreen();
    QApplication app(argc, argv);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    keepIdleQuiet();
    deskMemo window;
    showNoteWindow(window);
    return app.exec();
}
