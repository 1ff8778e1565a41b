#include "app/startup.h"
#include "note/deskMemo.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    deskMemo window;
    showNoteWindow(window);
    return app.exec();
}
