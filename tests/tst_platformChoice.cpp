#include "app/languageChoice.h"
#include "app/platformChoice.h"
#include "platform/wayland/moduleLoader.h"

#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

using Environment = QMap<QByteArray, QByteArray>;
using Changes = QList<app::EnvironmentChange>;
using Kind = app::WindowSystemKind;
Q_DECLARE_METATYPE(Environment)
Q_DECLARE_METATYPE(Kind)

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

QTEST_APPLESS_MAIN(tst_platformChoice)
#include "tst_platformChoice.moc"
