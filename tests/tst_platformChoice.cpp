#include "app/languageChoice.h"
#include "app/platformChoice.h"
#include "platform/singleInstance.h"
#include "platform/singleInstance_unix.h"
#include "platform/wayland/moduleLoader.h"
#include "storage/noteIdentity.h"

#include <QMap>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <atomic>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using Environment = QMap<QByteArray, QByteArray>;
using Changes = QList<app::EnvironmentChange>;
using Kind = app::WindowSystemKind;
Q_DECLARE_METATYPE(Environment)
Q_DECLARE_METATYPE(Kind)

using Injection = std::function<void(platform::GuardCalls &)>;
// The first note, while a later start asks for it: it answers (also after a start that knocked
// and left without asking), it has ended, or it hangs.
enum class Running { Answers, AfterSilentKnock, Ended, Hangs };
Q_DECLARE_METATYPE(Injection)
Q_DECLARE_METATYPE(Running)
static QSet<int> acceptedByNote;

// A guard call that fails with `error` the first time (or every time), else as the system's does.
template <typename Call>
Injection failing(Call platform::GuardCalls::*call, int error, bool always = false)
{
    return [=](platform::GuardCalls &calls) {
        calls.*call = [=, failed = false, system = calls.*call](auto... arguments) mutable {
            if (failed && !always)
                return system(arguments...);
            failed = true;
            errno = error;
            return -1;
        };
    };
}

// Who the note (or the later start) sees at the other end of a connection: another user, or
// nobody it can name.
Injection peerSeenAs(bool byNote, bool known)
{
    return [=](platform::GuardCalls &calls) {
        calls.peerUser = [=, system = calls.peerUser](int fd, uid_t *user) {
            const bool asked = system(fd, user);
            *user += acceptedByNote.contains(fd) == byNote ? 1 : 0;
            return asked && known;
        };
    };
}

// The environment decisions taken before the application object exists.
class tst_platformChoice : public QObject
{
    Q_OBJECT

private slots:
    // The user's languages, as Qt reads them from the system, against the bundled translations.
    void language_data()
    {
        QTest::addColumn<QStringList>("uiLanguages");
        QTest::addColumn<QStringList>("translations");
        QTest::addColumn<QString>("language");
        const auto row = [](const char *name, QString ui, QString translations, QString language) {
            QTest::newRow(name) << ui.split(',') << translations.split(',') << language;
        };
        row("Chinese", "zh-CN,zh,zh-Hans-CN", "en", "zh_CN");
        row("a translation for that country", "zh-TW", "en,zh_TW", "zh_TW");
        row("C locale", "C", "en", "en");
        row("the first known one wins", "fr,pt-PT,zh,en", "en,pt_BR", "pt_BR");
    }
    void language()
    {
        QFETCH(QStringList, uiLanguages);
        QFETCH(QStringList, translations);
        QFETCH(QString, language);
        QCOMPARE(app::chooseLanguage(uiLanguages, translations), language);
    }

    void choice_data()
    {
        QTest::addColumn<Environment>("environment");
        QTest::addColumn<bool>("xAnswers");
        QTest::addColumn<bool>("layerShellOffered");
        QTest::addColumn<Kind>("windowSystem");
        QTest::addColumn<Changes>("changes");
        QTest::addColumn<bool>("layerShellAsked");
        const app::EnvironmentChange noGl{"QT_XCB_GL_INTEGRATION", "none"};
        const app::EnvironmentChange xcb{"QT_QPA_PLATFORM", "xcb"};
        const app::EnvironmentChange waylandPlatform{"QT_QPA_PLATFORM", "wayland"};
        const Environment x11{{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}};
        const Environment wayland{
            {"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}};
        const Kind X11 = Kind::X11, Wayland = Kind::Wayland, LayerShell = Kind::LayerShell;

        QTest::newRow("empty environment")
            << Environment() << true << true << X11 << Changes{noGl} << false;
        QTest::newRow("x11 session") << x11 << true << true << X11 << Changes{noGl} << false;
        QTest::newRow("user's gl integration kept")
            << Environment{{"QT_XCB_GL_INTEGRATION", "xcb_egl"}} << true << true << X11 << Changes()
            << false;
        QTest::newRow("empty gl integration counts as unset")
            << Environment{{"QT_XCB_GL_INTEGRATION", ""}} << true << true << X11 << Changes{noGl}
            << false;
        QTest::newRow("wayland with layer shell")
            << wayland << true << true << LayerShell << Changes{noGl, waylandPlatform} << true;
        QTest::newRow("wayland with xwayland (GNOME)")
            << wayland << true << false << X11 << Changes{noGl, xcb} << true;
        QTest::newRow("wayland with a stale x display")
            << wayland << false << false << Wayland << Changes{noGl, waylandPlatform} << true;
        QTest::newRow("wayland in capitals")
            << Environment{{"XDG_SESSION_TYPE", "Wayland"}, {"DISPLAY", ":1"}} << true << false
            << X11 << Changes{noGl, xcb} << true;
        QTest::newRow("wayland without an x display")
            << Environment{{"XDG_SESSION_TYPE", "wayland"}, {"WAYLAND_DISPLAY", "wayland-0"}}
            << true << false << Wayland << Changes{noGl, waylandPlatform} << true;
        Environment chosen = wayland;
        chosen.insert("QT_QPA_PLATFORM", "xcb");
        QTest::newRow("user chose xcb") << chosen << true << true << X11 << Changes{noGl} << false;
        chosen.insert("QT_QPA_PLATFORM", "offscreen");
        QTest::newRow("user chose another platform")
            << chosen << true << true << Kind::Qt << Changes{noGl} << false;
        chosen.insert("QT_QPA_PLATFORM", "wayland");
        QTest::newRow("user chose wayland, layer shell offered")
            << chosen << true << true << LayerShell << Changes{noGl} << true;
        QTest::newRow("user chose wayland, without layer shell")
            << chosen << true << false << Wayland << Changes{noGl} << true;
        chosen.insert("QT_XCB_GL_INTEGRATION", "none");
        QTest::newRow("nothing left to choose")
            << chosen << true << false << Wayland << Changes() << true;
        QTest::newRow("platform wayland outside a wayland session")
            << Environment{{"QT_QPA_PLATFORM", "wayland"}} << true << true << LayerShell
            << Changes{noGl} << true;
    }
    void choice()
    {
        QFETCH(Environment, environment);
        QFETCH(bool, xAnswers);
        QFETCH(bool, layerShellOffered);
        QFETCH(Kind, windowSystem);
        QFETCH(Changes, changes);
        QFETCH(bool, layerShellAsked);
        const auto reader = [&](const char *name) {
            return environment.value(name);
        };
        // The probe is asked about the display the environment names, and only about that one.
        const auto probe = [&](const QByteArray &display) {
            return xAnswers && display == environment.value("DISPLAY");
        };
        bool asked = false;
        const auto offers = [&] {
            asked = true;
            return layerShellOffered;
        };
        const app::PlatformChoice choice = app::platformChoice(reader, probe, offers);
        QCOMPARE(choice.windowSystem, windowSystem);
        QCOMPARE(choice.changes, changes);
        QCOMPARE(asked, layerShellAsked);
    }

    // On an X server without Xft.dpi the note runs at 100 %, unless the user chose a DPI; the X
    // server is not asked where the note does not run on it.
    void scale_data()
    {
        QTest::addColumn<Kind>("windowSystem");
        QTest::addColumn<QByteArray>("userDpi");
        QTest::addColumn<Changes>("changes");
        const Changes at100{{"QT_FONT_DPI", "96"}};
        QTest::newRow("x11 without Xft.dpi") << Kind::X11 << QByteArray() << at100;
        QTest::newRow("user's dpi kept") << Kind::X11 << QByteArray("120") << Changes();
        QTest::newRow("layer shell") << Kind::LayerShell << QByteArray() << Changes();
    }
    void scale()
    {
        QFETCH(Kind, windowSystem);
        QFETCH(QByteArray, userDpi);
        QFETCH(Changes, changes);
        const Environment x11{{"DISPLAY", ":0"}, {"QT_FONT_DPI", userDpi}};
        const auto reader = [&](const char *name) {
            return x11.value(name);
        };
        const auto withoutXftDpi = [](const QByteArray &display) {
            return display != ":0";
        };
        QCOMPARE(app::scaleEnvironmentChanges(windowSystem, reader, withoutXftDpi), changes);
    }

    // The layer-shell module runs only from a file and folders that nobody but root and the
    // user can change; a module planted anywhere else is not even loaded.
    void plantedModule_data()
    {
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<uint>("owner");
        QTest::addColumn<bool>("throughLink");
        QTest::addColumn<bool>("runs");
        const uint self = geteuid(), nobody = 65534;
        // The folders lie in the temporary folder, which anyone may add to (sticky, as /tmp).
        QTest::newRow("own module in own folder") << 0755 << 0755 << self << false << true;
        QTest::newRow("module the group may change") << 0775 << 0755 << self << false << false;
        QTest::newRow("folder anyone may add to") << 0755 << 0777 << self << false << false;
        QTest::newRow("folder anyone may add to, only the owner remove from")
            << 0755 << 01777 << self << false << false;
        QTest::newRow("followed link to a module anyone may change")
            << 0757 << 0755 << self << true << false;
        if (self == 0)
            QTest::newRow("module of another user") << 0755 << 0755 << nobody << false << false;
    }
    // A later start finds the running note by every path to its folder and hears back in time;
    // nothing another user does and nothing the system refuses makes it hang, open a twin of a
    // running note, or stay away.
    void guard_data()
    {
        QTest::addColumn<QString>("firstFolder");
        QTest::addColumn<QString>("laterFolder");
        QTest::addColumn<Injection>("injection");
        QTest::addColumn<Running>("running");
        QTest::addColumn<bool>("laterRuns");
        QTest::addColumn<bool>("warned");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<int>("cameForward");
        using Calls = platform::GuardCalls;
        const Injection none = [](Calls &) {
        };
        const auto row = [&](const char *name, const Injection &injection,
                             Running running = Running::Answers) -> QTestData & {
            return QTest::newRow(name) << "note"
                                       << "note" << injection << running;
        };
        row("same folder", none) << false << false << true << 1;
        QTest::newRow("through a link to the folder")
            << "note"
            << "link" << none << Running::Answers << false << false << true << 1;
        QTest::newRow("a copy in another folder")
            << "note"
            << "copy" << none << Running::Answers << true << false << false << 0;
        QTest::newRow("non-Latin folders that can't be asked")
            << QString::fromUtf8("gone/笔记") << QString::fromUtf8("gone/便签") << none
            << Running::Answers << true << false << false << 0;
        row("after the note ended", none, Running::Ended) << true << false << false << 0;
        row("a note that hangs", none, Running::Hangs) << false << false << false << 1;
        row("after a silent knock", none, Running::AfterSilentKnock) << false << false << true << 1;
        row("name refused", failing(&Calls::bind, EACCES, true)) << true << true << false << 0;
        row("refused once", failing(&Calls::connect, ECONNREFUSED)) << false << false << true << 1;
        row("never reached", failing(&Calls::connect, ECONNREFUSED, true))
            << true << true << false << 0;
        row("held by another user", peerSeenAs(false, true)) << true << true << false << 0;
        row("held by nobody it can name", peerSeenAs(false, false)) << true << true << false << 0;
        row("knock of another user", peerSeenAs(true, true)) << false << false << false << 0;
        row("another user's start",
            [](Calls &calls) {
                calls.user = [n = 0]() mutable {
                    return ::geteuid() + uid_t(n++ > 0);
                };
            })
            << true << false << false << 0;
        row("no descriptor for a moment", failing(&Calls::accept, EMFILE))
            << false << false << true << 1;
        row("wait interrupted", failing(&Calls::waitReadable, EINTR))
            << false << false << true << 1;
    }
    void guard()
    {
        QFETCH(QString, firstFolder);
        QFETCH(QString, laterFolder);
        QFETCH(Injection, injection);
        QFETCH(Running, running);
        QFETCH(int, cameForward);
        QTemporaryDir temporary;
        QVERIFY(QDir(temporary.path()).mkpath("note") && QDir(temporary.path()).mkpath("copy"));
        QVERIFY(QFile::link(temporary.filePath("note"), temporary.filePath("link")));
        const auto keyOf = [&](const QString &folder) {
            return storage::identifyNote(temporary.filePath(folder)).key;
        };
        const auto restore =
            qScopeGuard([] { platform::guardCalls() = platform::systemGuardCalls(); });
        platform::GuardCalls &calls = platform::guardCalls();
        acceptedByNote.clear();
        calls.accept = [](int listener) {
            const int fd = ::accept4(listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            acceptedByNote.insert(fd);
            return fd;
        };
        injection(calls);
        std::atomic<bool> waiting{false}; // the later start has asked and waits for the answer
        calls.waitReadable = [&waiting, wait = calls.waitReadable](int fd, int ms) {
            waiting = true;
            return wait(fd, ms);
        };

        auto first = std::make_unique<platform::NoteInstance>(keyOf(firstFolder));
        QWidget window;
        int came = 0;
        first->announce(&window, [&came] { ++came; });
        if (running == Running::Ended)
            first.reset();
        if (running == Running::AfterSilentKnock)
            platform::NoteInstance(keyOf(laterFolder));
        platform::NoteInstance later(keyOf(laterFolder));
        QTEST(later.isFirst(), "laterRuns");
        QTEST(!later.unguardedBecause().isEmpty(), "warned");
        auto asking =
            std::async(std::launch::async, [&later] { return later.askRunningNoteForward(); });
        const auto answered = [&] {
            return asking.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
        };
        // The note takes the knock only once it has been asked, whatever the threads' timing.
        while (!waiting && !answered())
            std::this_thread::yield();
        if (running == Running::Hangs)
            asking.wait();
        QVERIFY(QTest::qWaitFor(answered));
        QTEST(asking.get(), "answered");
        QTRY_COMPARE(came, cameForward);
    }

    void plantedModule()
    {
        QFETCH(int, fileMode);
        QFETCH(int, folderMode);
        QFETCH(uint, owner);
        QFETCH(bool, throughLink);
        QFETCH(bool, runs);
        QTemporaryDir temporary;
        const QString folder = temporary.filePath("lib"), mark = temporary.filePath("ran");
        const QString module = folder + "/deskMemo-layershell.so";
        QVERIFY(QDir().mkdir(folder) && QFile::copy(DESKMEMO_PLANTED_MODULE, module));
        QVERIFY(::chmod(QFile::encodeName(module), fileMode) == 0);
        QVERIFY(::chown(QFile::encodeName(module), owner, gid_t(-1)) == 0);
        QVERIFY(::chmod(QFile::encodeName(folder), folderMode) == 0);
        const QString link = temporary.filePath("deskMemo-layershell.so");
        QVERIFY(!throughLink || QFile::link(module, link));
        qputenv("DESKMEMO_PLANTED_MARK", QFile::encodeName(mark));

        const bool loaded = platform::loadModule(throughLink ? link : module) != nullptr;
        QCOMPARE(loaded, runs);
        QCOMPARE(QFile::exists(mark), runs);
    }
};

QTEST_MAIN(tst_platformChoice)
#include "tst_platformChoice.moc"
