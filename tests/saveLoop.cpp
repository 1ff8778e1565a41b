// Test-only driver for the crash test: saves the note's two files through the program's own
// save code, alternating between two known states, until it is killed.
//   saveLoop FOLDER write a|b   saves that state once and exits
//   saveLoop FOLDER loop        says "saving", then saves the state the folder doesn't hold,
//                               the other one, and so on until killed, saying "saved" after
//                               every second save
#include "storage/noteTextFile.h"
#include "storage/settingsFile.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace
{

// Texts of different lengths, so that a cut-off file can never pass for the other state.
QString noteOf(bool a)
{
    const QString line = a ? QString::fromUtf8("第一个状态 first state\n")
                           : QStringLiteral("second, longer state\n");
    return line.repeated(a ? 9000 : 14000);
}

SetInfo settingsOf(bool a)
{
    SetInfo info = storage::defaultSetInfo();
    info.startPos = a ? QPoint(10, 20) : QPoint(-300, 4000);
    info.movable_flag = a;
    info.selectColor = a ? QColor(1, 2, 3) : QColor(200, 100, 50, 25);
    info.selectFont = a ? QFont(QStringLiteral("Serif"), 12) : QFont(QStringLiteral("Sans"), 40);
    info.isTopWindow = !a;
    return info;
}

bool save(const QString &folder, bool a)
{
    return storage::writeNoteText(folder + QStringLiteral("/myText"), noteOf(a)) &&
           storage::writeSetInfo(folder + QStringLiteral("/setInfo.ini"), settingsOf(a));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[2] == QLatin1String("write"))
        return save(args[1], args[3] == QLatin1String("a")) ? 0 : 1;
    if (args.size() != 3 || args[2] != QLatin1String("loop")) {
        std::fputs("usage: saveLoop FOLDER write a|b | saveLoop FOLDER loop\n", stderr);
        return 2;
    }
    std::puts("saving");
    std::fflush(stdout);
    QString current;
    storage::readNoteText(args[1] + QStringLiteral("/myText"), &current);
    const bool first = current != noteOf(true);
    for (bool a = first;; a = !a) {
        if (!save(args[1], a))
            return 1;
        if (a != first) {
            std::puts("saved");
            std::fflush(stdout);
        }
    }
}
