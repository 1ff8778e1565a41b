// Start at logon on Linux: the Exec= quoting of the desktop entry, and the radio button that
// writes and removes $XDG_CONFIG_HOME/autostart/deskMemo.desktop.
#include "noteFixture.h"

#include "autostart/desktopEntry.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

namespace
{

// Reads an Exec= value back the way a launcher does under the Desktop Entry rules: the string
// escapes, then the quoting that splits arguments, then the field code %%. Reserved characters
// outside quotes, a stray backslash or % and an open quote make the value invalid: no arguments.
QStringList parseExec(const QString &value)
{
    QString unescaped;
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            unescaped += value[i];
            continue;
        }
        const QChar next = ++i < value.size() ? value[i] : QChar();
        const int known = QString("sntr\\").indexOf(next);
        if (next.isNull() || known < 0)
            return {};
        unescaped += QString(" \n\t\r\\")[known];
    }

    QStringList arguments;
    QString argument;
    bool inArgument = false;
    for (int i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (c == ' ') {
            if (inArgument)
                arguments << argument;
            argument.clear();
            inArgument = false;
        } else if (c == '"') {
            inArgument = true;
            for (++i;; ++i) {
                if (i >= unescaped.size())
                    return {};
                if (unescaped[i] == '"')
                    break;
                if (unescaped[i] == '\\') {
                    if (i + 1 >= unescaped.size() || !QString("\"`$\\").contains(unescaped[i + 1]))
                        return {};
                    ++i;
                }
                argument += unescaped[i];
            }
        } else {
            if (QString("\t\n\"'\\><~|&;$*?#()`").contains(c))
                return {};
            argument += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments << argument;

    for (QString &each : arguments) {
        QString expanded;
        for (int i = 0; i < each.size(); ++i) {
            if (each[i] == '%' && (++i >= each.size() || each[i] != '%'))
                return {};
            expanded += each[i];
        }
        each = expanded;
    }
    return arguments;
}

// Reads an ExecStart= line the way systemd does: the prefixes that only switch features off,
// words split at blanks outside quotes, C escapes (octal and hex too), then %% for a literal %.
QStringList parseExecStart(const QByteArray &line)
{
    int i = 0;
    while (i < line.size() && QByteArray(":-@+!").contains(line[i]))
        ++i;
    QList<QByteArray> words;
    QByteArray word;
    bool inWord = false;
    char quote = 0;
    for (; i < line.size(); ++i) {
        const char c = line[i];
        if (!quote && (c == ' ' || c == '\t')) {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (quote ? c == quote : (c == '"' || c == '\'')) {
            quote = quote ? 0 : c;
        } else if (c != '\\' || i + 1 >= line.size()) {
            word += c;
        } else {
            const char e = line[++i];
            const int simple = QByteArray("abfnrtvs").indexOf(e);
            if (simple >= 0) {
                word += "\a\b\f\n\r\t\v "[simple];
            } else if (e == 'x') {
                word += char(line.mid(i + 1, 2).toInt(nullptr, 16));
                i += 2;
            } else if (e >= '0' && e <= '7') {
                word += char(line.mid(i, 3).toInt(nullptr, 8));
                i += 2;
            } else {
                word += e;
            }
        }
    }
    if (inWord)
        words << word;
    QStringList arguments;
    for (QByteArray &each : words)
        arguments << QString::fromUtf8(each.replace("%%", "%"));
    return arguments;
}

// What a launcher starts for the entry of `path`.
QStringList launchedAs(const QString &path)
{
    if (path.contains('%'))
        return {"/bin/sh", "-c", "exec \"$0\"", path};
    return {path};
}

// Points XDG_CONFIG_HOME at a folder of its own for the life of the object.
class ConfigHome
{
public:
    ConfigHome() : saved(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    }
    ~ConfigHome() { qputenv("XDG_CONFIG_HOME", saved); }

    QString folder() const { return dir.filePath("autostart"); }
    QString entry() const { return folder() + "/deskMemo.desktop"; }
    // Writes a file dated long ago, so that any later write shows in its time.
    void writeOld(const QString &path, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.flush();
        QVERIFY(file.setFileTime(oldTime(), QFileDevice::FileModificationTime));
    }
    static QDateTime oldTime() { return QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC); }

    // A file's name, time and content, or what stands in its place.
    QString state(const QString &path) const
    {
        const QFileInfo info(path);
        if (!info.exists())
            return "absent";
        return info.fileName() + " " + info.lastModified().toString(Qt::ISODateWithMs) + " " +
               (info.isDir() ? "<folder>" : readFile(path));
    }
    // The autostart folder and everything in it.
    QStringList snapshot() const
    {
        QStringList states{state(folder())};
        for (const QFileInfo &each :
             QDir(folder()).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot))
            states << state(each.filePath());
        return states;
    }

private:
    QByteArray saved;
    QTemporaryDir dir;
};

// Dismisses every message box that opens while it lives, and notes what each said.
class BoxWatcher
{
public:
    BoxWatcher()
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen << QString("%1|%2|%3|%4")
                        .arg(box->windowTitle(), box->text())
                        .arg(int(box->standardButtons()))
                        .arg(int(box->icon()));
            box->button(QMessageBox::Ok)->click();
        });
        timer.start();
    }
    QStringList seen;

private:
    QTimer timer;
};

QString warningBox()
{
    return QString::fromUtf8("警告|\n系统参数错误,不能随系统启动n|%1|%2")
        .arg(int(QMessageBox::Ok))
        .arg(int(QMessageBox::Warning));
}

} // namespace

class AutostartTest : public QObject
{
    Q_OBJECT

private slots:
    void execQuoting_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("exec"); // the exact value, when it is pinned down
        QTest::newRow("plain") << "/opt/deskMemo/deskMemo"
                               << "/opt/deskMemo/deskMemo";
        QTest::newRow("space") << "/home/u/My Notes/deskMemo"
                               << "\"/home/u/My Notes/deskMemo\"";
        QTest::newRow("double quote") << "/tmp/a\"b/deskMemo"
                                      << "\"/tmp/a\\\\\"b/deskMemo\"";
        QTest::newRow("dollar") << "/tmp/$HOME/deskMemo"
                                << "\"/tmp/\\\\$HOME/deskMemo\"";
        QTest::newRow("backtick") << "/tmp/`id`/deskMemo"
                                  << "\"/tmp/\\\\`id\\\\`/deskMemo\"";
        QTest::newRow("backslash") << "/tmp/a\\b/deskMemo"
                                   << "\"/tmp/a\\\\\\\\b/deskMemo\"";
        QTest::newRow("percent") << "/tmp/100%/deskMemo"
                                 << "/bin/sh -c \"exec \\\\\"\\\\$0\\\\\"\" /tmp/100%%/deskMemo";
        QTest::newRow("percent, equals sign and quote") << "/tmp/1=0% \"x\"/deskMemo" << QString();
        QTest::newRow("tilde") << "/tmp/~u/deskMemo"
                               << "\"/tmp/~u/deskMemo\"";
        QTest::newRow("non-ASCII") << QString::fromUtf8("/home/用户/便签工具/deskMemo")
                                   << QString::fromUtf8("/home/用户/便签工具/deskMemo");
        QTest::newRow("all at once")
            << QString::fromUtf8("/tmp/ a\"b$c`d\\e~g 'h;i&j|k*l?m#n(o)p<q>r\ts\nt ü字/x")
            << QString();
        QTest::newRow("all at once but a backslash")
            << QString::fromUtf8("/tmp/ a\"b$c`d~g 'h;i&j|k*l?m#n(o)p<q>r\ts\nt ü字%/x")
            << QString();
    }

    void execQuoting()
    {
        QFETCH(QString, path);
        QFETCH(QString, exec);
        const QString value = autostart::execValue(path);
        if (!exec.isEmpty())
            QCOMPARE(value, exec);
        QCOMPARE(parseExec(value), launchedAs(path));
        QVERIFY(!value.contains('\n') && !value.contains('\t'));
    }

    // The two launchers of autostart entries, GLib's (GNOME, and sessions without systemd) and
    // systemd's generator (GNOME and KDE on systemd), start a program kept under each of these
    // paths.
    void sessionStartsEntry_data() { execQuoting_data(); }

    void sessionStartsEntry()
    {
        QFETCH(QString, path);
        const QString gio = QStandardPaths::findExecutable("gio");
        QVERIFY2(!gio.isEmpty(), "gio (libglib2.0-bin) is missing");
        const QString generator = "/lib/systemd/user-generators/systemd-xdg-autostart-generator";
        QVERIFY2(QFileInfo(generator).isExecutable(), "systemd's autostart generator is missing");
        QTemporaryDir dir;
        const QString program = dir.path() + path;
        const QString marker = dir.filePath("started");
        QVERIFY(QDir().mkpath(QFileInfo(program).path()));
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s' \"$0\" > '" + marker.toUtf8() + "'\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(QDir().mkpath(dir.filePath("config/autostart")));
        QFile entry(dir.filePath("config/autostart/deskMemo.desktop"));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write(autostart::desktopEntry(program));
        entry.close();
        const auto startedAs = [&marker] {
            QFile started(marker);
            return started.open(QIODevice::ReadOnly) ? started.readAll() : QByteArray();
        };

        QProcess launch;
        launch.setProcessChannelMode(QProcess::MergedChannels);
        launch.start(gio, {"launch", entry.fileName()});
        QVERIFY(launch.waitForFinished());
        QCOMPARE(launch.readAll(), QByteArray());
        QTRY_COMPARE(startedAs(), program.toUtf8());
        QVERIFY(QFile::remove(marker));

        // The generator writes a user service per entry; its command is started as systemd would.
        QProcess generate;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        environment.insert("XDG_CONFIG_DIRS", dir.filePath("none"));
        generate.setProcessEnvironment(environment);
        generate.setProcessChannelMode(QProcess::MergedChannels);
        const QString units = dir.filePath("units");
        QVERIFY(QDir().mkpath(units));
        generate.start(generator, {units, units, units});
        QVERIFY(generate.waitForFinished());
        QFile unit(units + "/app-deskMemo@autostart.service");
        // The generator undoes backslash escapes twice, GLib once: no Exec= form gives both the
        // same backslash, and the generator refuses the entry (README, "Start at logon").
        if (path.contains('\\')) {
            QVERIFY2(!unit.exists(), generate.readAll().constData());
            return;
        }
        QVERIFY2(unit.open(QIODevice::ReadOnly), generate.readAll().constData());
        const QByteArray service = unit.readAll();
        const int execStart = service.indexOf("\nExecStart=");
        QVERIFY(execStart >= 0);
        const QStringList command = parseExecStart(service.mid(execStart + 11).split('\n').first());
        QCOMPARE(command, launchedAs(program));
        QCOMPARE(QProcess::execute(command.first(), command.mid(1)), 0);
        QTRY_COMPARE(startedAs(), program.toUtf8());
    }

    void unrepresentablePathsGiveNoEntry()
    {
        QCOMPARE(autostart::execValue(QString()), QString());
        QCOMPARE(autostart::execValue("/tmp/a\x01z/deskMemo"), QString());
        QCOMPARE(autostart::desktopEntry("/tmp/a\x7fz/deskMemo"), QByteArray());
    }

    // Check, uncheck, check over an entry that is already current, check over a stale one.
    void radioButtonWritesAndRemovesEntry()
    {
        ConfigHome home;
        const QString other = home.folder() + "/other.desktop";
        home.writeOld(other, "[Desktop Entry]\nType=Application\nName=Other\nExec=other\n");
        const QString otherBefore = home.state(other);
        NoteFolder folder;
        auto w = folder.open();
        QRadioButton *button = openEditPage(*w).radioButton;

        button->click();
        QVERIFY(button->isChecked());
        QCOMPARE(folder.setting("isAutoStart").toBool(), true);
        const QByteArray entry = readFile(home.entry());
        // The validator insists on Type and Name; a session needs the entry enabled.
        QVERIFY(entry.contains("\nType=Application\n"));
        QVERIFY(entry.contains("\nX-GNOME-Autostart-enabled=true\n"));
        const QByteArray execLine = entry.mid(entry.indexOf("\nExec=") + 6).split('\n').first();
        QCOMPARE(parseExec(QString::fromUtf8(execLine)),
                 QStringList{QCoreApplication::applicationFilePath()});
        const QString validator = QStandardPaths::findExecutable("desktop-file-validate");
        QVERIFY2(!validator.isEmpty(), "desktop-file-validate (desktop-file-utils) is missing");
        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start(validator, {home.entry()});
        QVERIFY(validate.waitForFinished());
        QCOMPARE(validate.readAll(), QByteArray());
        QCOMPARE(validate.exitCode(), 0);

        button->click();
        QVERIFY(!button->isChecked());
        QVERIFY(!QFile::exists(home.entry()));
        QCOMPARE(folder.setting("isAutoStart").toBool(), false);
        QCOMPARE(home.state(other), otherBefore);

        home.writeOld(home.entry(), entry);
        button->click();
        QCOMPARE(QFileInfo(home.entry()).lastModified(), ConfigHome::oldTime());
        QCOMPARE(folder.setting("isAutoStart").toBool(), true);

        button->click();
        home.writeOld(home.entry(), QByteArray(entry).replace("Exec=", "Exec=/old/place "));
        button->click();
        QCOMPARE(readFile(home.entry()), entry);
        QVERIFY(QFileInfo(home.entry()).lastModified() != ConfigHome::oldTime());
        QCOMPARE(home.state(other), otherBefore);
        QCOMPARE(QDir(home.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 2);
    }

    void unwritablePlaceWarns_data()
    {
        QTest::addColumn<bool>("folderIsFile");
        QTest::newRow("autostart is a file") << true;
        QTest::newRow("entry is a folder") << false;
    }

    void unwritablePlaceWarns()
    {
        QFETCH(bool, folderIsFile);
        ConfigHome home;
        if (folderIsFile)
            home.writeOld(home.folder(), "not a folder");
        else
            QDir().mkpath(home.entry());
        const QStringList before = home.snapshot();
        NoteFolder folder;
        auto w = folder.open();
        QRadioButton *button = openEditPage(*w).radioButton;
        BoxWatcher boxes;

        button->click();
        QCOMPARE(boxes.seen, QStringList{warningBox()});
        QVERIFY(button->isChecked());
        QCOMPARE(folder.setting("isAutoStart").toBool(), true);

        button->click();
        QCOMPARE(boxes.seen.size(), 1);
        QCOMPARE(folder.setting("isAutoStart").toBool(), false);
        QCOMPARE(home.snapshot(), before);
    }

    void startupLeavesEntryAlone_data()
    {
        QTest::addColumn<bool>("isAutoStart");
        QTest::addColumn<bool>("entryExists");
        QTest::newRow("on, stale entry") << true << true;
        QTest::newRow("on, no folder") << true << false;
        QTest::newRow("off, stale entry") << false << true;
        QTest::newRow("off, no folder") << false << false;
    }

    void startupLeavesEntryAlone()
    {
        QFETCH(bool, isAutoStart);
        QFETCH(bool, entryExists);
        ConfigHome home;
        if (entryExists)
            home.writeOld(home.entry(), "[Desktop Entry]\nType=Application\nName=deskMemo\n"
                                        "Exec=/somewhere/else/deskMemo\n");
        const QStringList before = home.snapshot();
        NoteFolder folder;
        folder.writeSettings({{"isAutoStart", isAutoStart}});
        BoxWatcher boxes;
        auto w = folder.open();
        QCOMPARE(openEditPage(*w).radioButton->isChecked(), isAutoStart);
        w->close();
        QCOMPARE(home.snapshot(), before);
        QCOMPARE(folder.setting("isAutoStart").toBool(), isAutoStart);
        QVERIFY(boxes.seen.isEmpty());
    }
};

QTEST_MAIN(AutostartTest)
#include "tst_autostart.moc"
