// Test-only driver: the note program as main() starts it, with a scripted user who applies
// a new text every few milliseconds and then closes the note.
//   noteInstance FOLDER TAG ROUNDS   the note lives in FOLDER; texts are "TAG 0", "TAG 1", ...
#include "app/startup.h"
#include "noteFixture.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QGuiApplication::setQuitOnLastWindowClosed(false);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    storage::setExecutablePathOverride(args[1] + QStringLiteral("/deskMemo"));
    deskMemo window;
    showNoteWindow(window);

    auto &ui = Access::ui(window);
    const int rounds = args[3].toInt();
    int round = 0;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
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
    return app.exec();
}
