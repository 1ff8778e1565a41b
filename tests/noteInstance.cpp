// Test-only driver: the note program as main() starts it, with a scripted user who applies
// a new text every few milliseconds and then closes the note; it waits while a message is open.
//   noteInstance FOLDER TAG ROUNDS [full]   the note lives in FOLDER; texts are "TAG 0", "TAG 1",
//   ...; with "full" no disk takes a write, and "waiting" is said when the first message opens
#include "app/startup.h"
#include "noteFixture.h"
#include "storage/systemCalls.h"

#include <QApplication>
#include <QTimer>

#include <cerrno>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    const QStringList args = app.arguments();
    if (args.size() != 4 && args.size() != 5)
        return 2;
    if (args.size() == 5)
        storage::seam::failCall(storage::seam::Call::Write, ENOSPC, 0, 1 << 30);
    storage::setExecutablePathOverride(args[1] + QStringLiteral("/deskMemo"));
    deskMemo window;
    showNoteWindow(window);

    auto &ui = Access::ui(window);
    const int rounds = args[3].toInt();
    int round = 0;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget())
            return;
        if (round == rounds) {
            user.stop();
            window.close(); // saves the settings and quits, as the menu's close entry does
            return;
        }
        openEditPage(window);
        ui.textEdit->setPlainText(args[2] + QLatin1Char(' ') + QString::number(round++));
        ui.btn_updata->click();
    });
    user.start(2);
    // The user's own timer can't fire while its handler waits for a message to close.
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&watch] {
        if (!QApplication::activeModalWidget())
            return;
        std::puts("waiting");
        std::fflush(stdout);
        watch.stop();
    });
    watch.start(5);
    return app.exec();
}
