#include "app/startup.h"

#include "note/deskMemo.h"
#include "platform/singleInstance.h"
#include "platform/termination.h"
#include "platform/windowSystem.h"
#include "storage/noteIdentity.h"

#include <QGuiApplication>
#include <QPixmapCache>
#include <QThreadPool>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

QString runningNoteKey()
{
    return storage::thisNote().key;
}

int handOverToRunningNote(platform::NoteInstance &instance)
{
    if (instance.askRunningNoteForward()) {
        std::fprintf(stderr, "deskMemo: this note already runs; it was brought forward\n");
        return 0;
    }
    std::fprintf(stderr,
                 "deskMemo: this note already runs, but it did not answer within %d s (it may be "
                 "stopped or hung); no second window was opened\n",
                 platform::runningNoteAnswersWithinMs / 1000);
    return 1;
}

void warnIfUnguarded(const platform::NoteInstance &instance)
{
    const QString reason = instance.unguardedBecause();
    if (!reason.isEmpty())
        std::fprintf(stderr,
                     "deskMemo: this note runs without its running mark (%s); a second start may "
                     "open it twice\n",
                     qPrintable(reason));
}

void showNoteWindow(deskMemo &window)
{
    window.setWindowOpacity(1.0);
    window.setAttribute(Qt::WA_TranslucentBackground, true);
    // The native window is created here, translucent, and is set up as the note before it is
    // first mapped.
    window.winId();
    platform::windowSystem().setUpNote(&window);
    window.show();
    QObject::connect(&window, &deskMemo::closeAllWindows, QCoreApplication::instance(),
                     &QCoreApplication::quit);
    // The end of the session, a kill or Ctrl+C end the note the way its own close does: the
    // settings, the last dragged position among them, are saved first. Nobody may be there to
    // answer a question: a note that could not be saved says why on standard error and ends
    // with exit code 1.
    const auto closeNote = [&window] {
        QString why;
        if (window.closeForSystem(&why))
            return;
        std::fprintf(stderr, "deskMemo: the note could not be saved: %s\n", qPrintable(why));
        QCoreApplication::exit(1);
    };
    QObject::connect(qGuiApp, &QGuiApplication::commitDataRequest, &window, closeNote);
    platform::onTerminationRequest(&window, closeNote);
}

// Qt 5 scales a program only when asked to before the application object exists. Without it the
// fonts grow with the screen's DPI while every fixed geometry stays in device pixels, and the
// edit page cuts its own labels. Fractional factors are kept: 150 % is 1.5, not rounded to 2.
// It is set in code because a Windows program under Wine does not get Unix environment variables
// such as QT_SCALE_FACTOR, and users should not need them.
void scaleWithScreen()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
}

void letLaterStartsFind(deskMemo &window, platform::NoteInstance &instance)
{
    instance.announce(&window, [&window] { platform::windowSystem().bringForward(&window); });
}

void keepIdleQuiet()
{
    QPixmapCache::setCacheLimit(0);
    QThreadPool::globalInstance()->setExpiryTimeout(0);
}

void endEvenIfTeardownHangs(int exitCode)
{
    std::thread([exitCode] {
        std::this_thread::sleep_for(std::chrono::seconds(5));
        std::_Exit(exitCode);
    }).detach();
}
