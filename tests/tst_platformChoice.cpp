#include "app/platformChoice.h"

#include <QMap>
#include <QtTest>

using Environment = QMap<QByteArray, QByteArray>;
using Changes = QList<app::EnvironmentChange>;
Q_DECLARE_METATYPE(Environment)

// The environment decisions taken before the application object exists.
class tst_platformChoice : public QObject
{
    Q_OBJECT

private slots:
    void changes_data()
    {
        QTest::addColumn<Environment>("environment");
        QTest::addColumn<bool>("xAnswers");
        QTest::addColumn<Changes>("changes");
        const app::EnvironmentChange noGl{"QT_XCB_GL_INTEGRATION", "none"};
        const app::EnvironmentChange xcb{"QT_QPA_PLATFORM", "xcb"};
        const app::EnvironmentChange waylandPlatform{"QT_QPA_PLATFORM", "wayland"};
        const Environment x11{{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}};
        const Environment wayland{
            {"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}};

        QTest::newRow("empty environment") << Environment() << true << Changes{noGl};
        QTest::newRow("x11 session") << x11 << true << Changes{noGl};
        QTest::newRow("user's gl integration kept")
            << Environment{{"QT_XCB_GL_INTEGRATION", "xcb_egl"}} << true << Changes();
        QTest::newRow("empty gl integration counts as unset")
            << Environment{{"QT_XCB_GL_INTEGRATION", ""}} << true << Changes{noGl};
        QTest::newRow("wayland with xwayland") << wayland << true << Changes{noGl, xcb};
        QTest::newRow("wayland with a stale x display")
            << wayland << false << Changes{noGl, waylandPlatform};
        QTest::newRow("wayland in capitals")
            << Environment{{"XDG_SESSION_TYPE", "Wayland"}, {"DISPLAY", ":1"}} << true
            << Changes{noGl, xcb};
        QTest::newRow("wayland without an x display")
            << Environment{{"XDG_SESSION_TYPE", "wayland"}, {"WAYLAND_DISPLAY", "wayland-0"}}
            << true << Changes{noGl, waylandPlatform};
        Environment chosen = wayland;
        chosen.insert("QT_QPA_PLATFORM", "wayland");
        QTest::newRow("user's platform kept on wayland") << chosen << false << Changes{noGl};
        chosen.insert("QT_XCB_GL_INTEGRATION", "none");
        QTest::newRow("nothing left to choose") << chosen << true << Changes();
    }
    void changes()
    {
        QFETCH(Environment, environment);
        QFETCH(bool, xAnswers);
        QFETCH(Changes, changes);
        const auto reader = [&](const char *name) {
            return environment.value(name);
        };
        // The probe is asked about the display the environment names, and only about that one.
        const auto probe = [&](const QByteArray &display) {
            return xAnswers && display == environment.value("DISPLAY");
        };
        QCOMPARE(app::platformEnvironmentChanges(reader, probe), changes);
    }

    // On an X server without Xft.dpi the note runs at 100 %, unless the user chose a DPI.
    void scale_data()
    {
        QTest::addColumn<QByteArray>("userDpi");
        QTest::addColumn<Changes>("changes");
        QTest::newRow("x11 without Xft.dpi") << QByteArray() << Changes{{"QT_FONT_DPI", "96"}};
        QTest::newRow("user's dpi kept") << QByteArray("120") << Changes();
    }
    void scale()
    {
        QFETCH(QByteArray, userDpi);
        QFETCH(Changes, changes);
        const Environment x11{
            {"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}, {"QT_FONT_DPI", userDpi}};
        const auto reader = [&](const char *name) {
            return x11.value(name);
        };
        const auto withoutXftDpi = [](const QByteArray &) {
            return false;
        };
        QCOMPARE(app::scaleEnvironmentChanges(reader, withoutXftDpi), changes);
    }

    // Whether the note runs as a layer surface; the compositor is asked only where it counts.
    void layerShell_data()
    {
        QTest::addColumn<Environment>("environment");
        QTest::addColumn<bool>("offered");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("chosen");
        const Environment wayland{{"XDG_SESSION_TYPE", "wayland"}, {"DISPLAY", ":0"}};
        Environment userChoice = wayland;
        userChoice.insert("QT_QPA_PLATFORM", "xcb");

        QTest::newRow("wayland with layer shell") << wayland << true << true << true;
        QTest::newRow("wayland without it (GNOME)") << wayland << false << true << false;
        QTest::newRow("x11 session")
            << Environment{{"XDG_SESSION_TYPE", "x11"}} << true << false << false;
        QTest::newRow("user chose xcb") << userChoice << true << false << false;
        userChoice.insert("QT_QPA_PLATFORM", "wayland");
        QTest::newRow("user chose wayland") << userChoice << true << true << true;
        QTest::newRow("platform wayland outside a wayland session")
            << Environment{{"QT_QPA_PLATFORM", "wayland"}} << true << true << true;
    }
    void layerShell()
    {
        QFETCH(Environment, environment);
        QFETCH(bool, offered);
        QFETCH(bool, asked);
        QFETCH(bool, chosen);
        bool wasAsked = false;
        const auto reader = [&](const char *name) {
            return environment.value(name);
        };
        const auto offers = [&] {
            wasAsked = true;
            return offered;
        };
        QCOMPARE(app::layerShellChosen(reader, offers), chosen);
        QCOMPARE(wasAsked, asked);
    }
};

QTEST_APPLESS_MAIN(tst_platformChoice)
#include "tst_platformChoice.moc"
