// Times the note's own storage work and the opening of a very long note, with the library the
// program is built from.
//
//   deskMemoBench FOLDER [SAVES]
//
// Prints one "name milliseconds" line per figure (medians). FOLDER should be on the disk the
// note would live on; the files are made and removed there.
#include "app/languageChoice.h"
#include "app/startup.h"
#include "note/deskMemo.h"
#include "storage/noteTextFile.h"
#include "storage/settingsFile.h"
#include "storage/storageLocation.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{

double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Mixed Chinese and Latin lines, as a long note would hold, of at least `bytes` UTF-8 bytes.
QString longText(int bytes)
{
    const QString line =
        QString::fromUtf8("今日事，今日毕。 Remember the milk, call back at 5. 桌面文字便签\n");
    QString text;
    while (text.toUtf8().size() < bytes)
        text += line.repeated(64);
    return text;
}

void report(const char *name, double ms)
{
    std::printf("%s %.3f\n", name, ms);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    keepIdleQuiet();
    if (argc < 2) {
        std::fprintf(stderr, "usage: deskMemoBench FOLDER [SAVES]\n");
        return 2;
    }
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath() + '/';
    const int saves = argc > 2 ? std::max(1, std::atoi(argv[2])) : 51;
    QDir().mkpath(folder);
    const QString settingsPath = folder + QStringLiteral("setInfo.ini");
    const QString textPath = folder + QStringLiteral("myText");

    SetInfo info = storage::defaultSetInfo();
    int step = 0;
    report("save_settings_ms", medianMs(saves, [&] {
               info.startPos.rx() = 500 + step++ % 7;
               storage::writeSetInfo(settingsPath, info);
           }));
    const QString kilobyte = longText(1024).left(1024 / 2);
    report("save_text_1k_ms", medianMs(saves, [&] {
               storage::writeNoteText(textPath, kilobyte + QString::number(step++));
           }));

    // What start-up adds in each session: English loads the note's translation, Chinese only Qt's.
    report("speak_en_ms", medianMs(saves, [] { app::speak(QStringLiteral("en")); }));
    report("speak_zh_ms", medianMs(saves, [] { app::speak(app::sourceLanguage()); }));

    // Opening: the window reads the text, builds both pages around it and is shown on screen.
    storage::writeNoteText(textPath, longText(1024 * 1024));
    QFile::remove(settingsPath);
    storage::setExecutablePathOverride(folder + QStringLiteral("deskMemo"));
    report("open_1m_ms", medianMs(3, [] {
               deskMemo window;
               showNoteWindow(window);
               while (!window.windowHandle()->isExposed())
                   QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
               QCoreApplication::processEvents();
           }));
    report("text_1m_bytes", QFile(textPath).size());
    QFile::remove(settingsPath);
    QFile::remove(textPath);
    return 0;
}
