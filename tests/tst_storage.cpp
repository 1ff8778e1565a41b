// Where the note's files live and how they are read and written, without a window.
#include "storage/iniLines.h"
#include "storage/noteIdentity.h"
#include "storage/noteStore.h"
#include "storage/noteTextFile.h"
#include "storage/settingsFile.h"
#include "storage/storageLocation.h"
#include "storage/systemCalls.h"
#include "testSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray utf16(const QString &text, QDataStream::ByteOrder order, bool withMark = true)
{
    const QByteArray bytes =
        encodeWithoutMark(order == QDataStream::LittleEndian ? "UTF-16LE" : "UTF-16BE", text);
    const QByteArray mark =
        order == QDataStream::LittleEndian ? QByteArray("\xFF\xFE", 2) : QByteArray("\xFE\xFF", 2);
    return withMark ? mark + bytes : bytes;
}

// GBK as Windows converts to its code page: what it can't hold becomes '?', and nobody is told.
class QuietCodec : public QTextCodec
{
public:
    QByteArray name() const override { return "quiet-GBK"; }
    int mibEnum() const override { return -4242; }

protected:
    QString convertToUnicode(const char *in, int length, ConverterState *) const override
    {
        return gbk()->toUnicode(in, length);
    }
    QByteArray convertFromUnicode(const QChar *in, int length, ConverterState *) const override
    {
        return gbk()->fromUnicode(QString(in, length));
    }

private:
    static QTextCodec *gbk() { return QTextCodec::codecForName("GBK"); }
};

} // namespace

Q_DECLARE_METATYPE(storage::seam::Call)

class StorageTest : public QObject
{
    Q_OBJECT

private slots:
    // Every note of these tests has its own folder; the per-user data folder starts empty.
    void cleanup()
    {
        storage::setExecutablePathOverride(QString());
        QDir(storage::perUserDataDirectory()).removeRecursively();
    }

    void directoryRule_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<QString>("directory");
        const QChar back('\\'), slash('/');
        QTest::newRow("windows drive root") << "C:\\memo.exe" << back << "C:/";
        QTest::newRow("windows nested") << "C:\\Notes\\memo.exe" << back << "C:/Notes/";
        QTest::newRow("windows no separator") << "memo.exe" << back << "memo.exe/";
        QTest::newRow("windows forward slash is no separator")
            << "C:/a\\b/memo.exe" << back << "C:/a/";
        QTest::newRow("unix nested") << "/opt/note/deskMemo" << slash << "/opt/note/";
        QTest::newRow("unix root") << "/deskMemo" << slash << "/";
        QTest::newRow("unix no separator") << "deskMemo" << slash << "deskMemo/";
        QTest::newRow("unix non-ascii") << "/home/李/便签/deskMemo" << slash << "/home/李/便签/";
    }
    void directoryRule()
    {
        QFETCH(QString, path);
        QFETCH(QChar, separator);
        QFETCH(QString, directory);
        QCOMPARE(storage::directoryOfExecutable(path, separator), directory);
    }

    // The rule as the note runs it, on real folders. Deciding writes nothing.
    void storageFollowsTheProgramFolder_data()
    {
        // The program, below the temporary folder or absolute, and where saves go: "beside",
        // "own place" or "data folder".
        QTest::addColumn<QStringList>("programAndHome");
        QTest::newRow("writable folder") << QStringList{"deskMemo", "beside"};
        // A path below a regular file can't be written even by root.
        QTest::newRow("unwritable folder") << QStringList{"plainFile/deskMemo", "own place"};
        // Root can write /usr/bin, but an installed note still keeps its files per user.
        QTest::newRow("installed") << QStringList{"/usr/bin/deskMemo", "data folder"};
    }
    void storageFollowsTheProgramFolder()
    {
        QFETCH(QStringList, programAndHome);
        const QString program = programAndHome[0], home = programAndHome[1];
        // Named after the program, not after the file it was started as.
        QCoreApplication::setApplicationName("renamedCopy");
        QTemporaryDir dir;
        writeBytes(dir.filePath("plainFile"), "x");
        storage::setExecutablePathOverride(program.startsWith('/') ? program
                                                                   : dir.filePath(program));
        const QString data = storage::perUserDataDirectory();
        QCOMPARE(data, qEnvironmentVariable("XDG_DATA_HOME") + "/deskMemo/");
        const storage::NotePlace place = storage::locateNote();
        const QString ownPlace = data + storage::thisNote().name + "/";
        QCOMPARE(place.home, home == "beside"      ? storage::thisNote().programFolder
                             : home == "own place" ? ownPlace
                                                   : data);
        QCOMPARE(place.perUser, home == "data folder" ? data : ownPlace);
        // Until a save moves it, the note is read where it stands.
        QCOMPARE(place.live, home == "data folder" ? data : storage::thisNote().programFolder);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{"plainFile"});
        QVERIFY(!QFileInfo::exists(data));
    }

    void perUserDataFolder_data()
    {
        QTest::addColumn<QStringList>("dataHomeAndHome"); // $XDG_DATA_HOME, $HOME
        QTest::addColumn<QString>("folder");
        QTest::newRow("home") << QStringList{"", "/home/li"} << "/home/li/.local/share/deskMemo/";
        QTest::newRow("data home")
            << QStringList{"/srv/data/", "/home/li"} << "/srv/data/deskMemo/";
        QTest::newRow("no home") << QStringList{"", ""} << "";
        QTest::newRow("home at the root") << QStringList{"", "/"} << "";
    }
    void perUserDataFolder()
    {
        QFETCH(QStringList, dataHomeAndHome);
        QFETCH(QString, folder);
        QCOMPARE(storage::perUserDataDirectoryFrom(dataHomeAndHome[0], dataHomeAndHome[1]), folder);
    }

    void storageRule_data()
    {
        QTest::addColumn<bool>("system");
        QTest::addColumn<bool>("owned");
        QTest::addColumn<bool>("writable");
        QTest::addColumn<bool>("beside");
        QTest::newRow("own folder") << false << true << true << true;
        QTest::newRow("shared writable folder") << false << false << true << true;
        QTest::newRow("read-only share") << false << false << false << false;
        QTest::newRow("own read-only folder") << false << true << false << false;
        QTest::newRow("user's own folder under /opt") << true << true << true << true;
        QTest::newRow("installed, root runs it") << true << false << true << false;
        QTest::newRow("installed, user runs it") << true << false << false << false;
    }
    void storageRule()
    {
        QFETCH(bool, system);
        QFETCH(bool, owned);
        QFETCH(bool, writable);
        QFETCH(bool, beside);
        const storage::ProgramFolder folder{system, owned, writable};
        QCOMPARE(storage::keepsNotesBesideExecutable(folder), beside);
    }

    // What the note's own per-user place holds besides the note decides whether it is the
    // note: the record of the files beside the program it took the place of. Ages in seconds
    // of myText and setInfo.ini beside the program and in the place (negative: a day ahead);
    // -1: none.
    void perUserPlaceHoldsTheNoteOnItsRecord_data()
    {
        QTest::addColumn<QList<int>>("ages");
        QTest::addColumn<QString>("record"); // "", "matching", "stale" (taken before a change of
                                             // the text beside), "stale settings"
        QTest::addColumn<bool>("perUser");
        QTest::newRow("only beside") << QList<int>{5, 5, -1, -1} << "" << false;
        QTest::newRow("only per user, nothing beside") << QList<int>{-1, -1, 5, 5} << "" << true;
        QTest::newRow("per user with its record") << QList<int>{9, 9, 5, 9} << "matching" << true;
        QTest::newRow("saved beside since the record")
            << QList<int>{9, 9, 5, 5} << "stale" << false;
        QTest::newRow("a day ahead, saved beside since the record")
            << QList<int>{9, 9, -86400, -86400} << "stale" << false;
        QTest::newRow("a day ahead, no record") << QList<int>{9, 9, -86400, -86400} << "" << false;
        QTest::newRow("beside's text deleted since the record")
            << QList<int>{-1, 5, 9, 9} << "stale" << false;
        QTest::newRow("beside's settings saved since the record")
            << QList<int>{9, 9, 5, 5} << "stale settings" << false;
    }
    void perUserPlaceHoldsTheNoteOnItsRecord()
    {
        QFETCH(QList<int>, ages);
        QFETCH(QString, record);
        QFETCH(bool, perUser);
        QTemporaryDir beside;
        storage::setExecutablePathOverride(beside.filePath("deskMemo"));
        const QString folders[] = {storage::thisNote().programFolder,
                                   storage::perUserDataDirectory() + storage::thisNote().name +
                                       "/"};
        QVERIFY(QDir().mkpath(folders[1]));
        const QDateTime now = QDateTime::currentDateTime();
        const auto make = [&](int i, const QByteArray &bytes) {
            QFile file(folders[i / 2] + storage::noteFileNames()[i % 2]);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
            QVERIFY(file.setFileTime(now.addSecs(-ages[i]), QFileDevice::FileModificationTime));
        };
        for (int i = 0; i < 4; ++i) {
            if (ages[i] != -1 || (i == 0 && record == "stale"))
                make(i, "old");
        }
        if (!record.isEmpty())
            writeBytes(folders[1] + storage::supersedesFileName(),
                       "# a comment\n" + storage::besideState(folders[0]));
        if (record == "stale" && ages[0] == -1)
            QVERIFY(QFile::remove(folders[0] + "myText"));
        else if (record == "stale")
            make(0, "newer");
        else if (record == "stale settings")
            make(1, "newer");
        const storage::NotePlace place = storage::locateNote();
        QCOMPARE(place.home, folders[0]);
        QCOMPARE(place.live, folders[perUser]);
    }

    // Failures of the system calls that bring a save to the disk, made on purpose, `times` in a
    // row. The program's folder holds an old note; a save that it refuses goes to the note's own
    // place in the per-user data folder. Another copy of the program in a folder of its own
    // meanwhile shows and saves its own note and leaves that place alone. Once the calls go
    // ahead, the next start finds the note and moves it back, leaving nothing in that place.
    void failingSystemCalls_data()
    {
        using Call = storage::seam::Call;
        QTest::addColumn<Call>("call");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("times");
        QTest::addColumn<bool>("saved"); // in the per-user place
        QTest::newRow("disk full beside") << Call::Write << ENOSPC << 1 << true;
        QTest::newRow("flush fails beside") << Call::SyncFile << EIO << 1 << true;
        QTest::newRow("rename fails beside") << Call::Rename << EACCES << 1 << true;
        QTest::newRow("folder flush fails beside") << Call::SyncFolder << EIO << 1 << true;
        QTest::newRow("disk full in both places") << Call::Write << ENOSPC << 9 << false;
        QTest::newRow("per-user place can't be made") << Call::MakeFolder << EACCES << 1 << false;
    }
    void failingSystemCalls()
    {
        using Call = storage::seam::Call;
        QFETCH(Call, call);
        QFETCH(int, error);
        QFETCH(int, times);
        QFETCH(bool, saved);
        QTemporaryDir dir, other;
        storage::setExecutablePathOverride(dir.filePath("deskMemo"));
        const QString beside = storage::thisNote().programFolder;
        QVERIFY(storage::writeNoteText(beside + "myText", "old note"));
        storage::NoteStore store;
        const QString perUser = store.place().perUser;
        storage::seam::resetAndRecord();
        if (call == Call::MakeFolder)
            storage::seam::failCall(Call::Rename, EROFS); // the program's folder refuses first
        storage::seam::failCall(call, error, 0, times);

        QCOMPARE(store.saveText("new note"), saved);
        QCOMPARE(store.place().live, saved ? perUser : beside);
        QCOMPARE(store.hasUnsavedChanges(), !saved);
        QVERIFY(!store.refusals().isEmpty());
        QCOMPARE(store.refusals().last().reason, qt_error_string(error));
        QString text;
        QVERIFY(storage::readNoteText(store.place().live + "myText", &text));
        QCOMPARE(text, QString(saved ? "new note" : "old note"));
        QVERIFY(QDir(beside).entryList({"myText.*"}, QDir::Files | QDir::Hidden).isEmpty());

        storage::seam::resetAndRecord();
        QVERIFY(store.saveSettings(storage::defaultSetInfo())); // with the text still unsaved
        QVERIFY(!store.hasUnsavedChanges());
        const QStringList held = QDir(perUser).entryList(QDir::Files);
        storage::setExecutablePathOverride(other.filePath("deskMemo"));
        {
            storage::NoteStore otherCopy;
            QVERIFY(!otherCopy.loadText(&text));
            QVERIFY(otherCopy.saveText("another note"));
        }
        QCOMPARE(QDir(perUser).entryList(QDir::Files), held);

        storage::setExecutablePathOverride(dir.filePath("deskMemo"));
        storage::NoteStore nextStart;
        QVERIFY(nextStart.loadText(&text));
        QCOMPARE(text, QString("new note"));
        storage::seam::resetAndRecord();
        QVERIFY(nextStart.saveText("saved at last"));
        QCOMPARE(nextStart.place().live, beside);
        QVERIFY(!QFileInfo::exists(perUser));
        QCOMPARE(readFile(beside + "myText"), QByteArray("saved at last"));
        // Every byte on the disk before the new file takes the old one's name, and the name on
        // the disk before the save counts as done.
        QCOMPARE(storage::seam::recordedCalls().mid(0, 4),
                 (QVector<Call>{Call::Write, Call::SyncFile, Call::Rename, Call::SyncFolder}));
    }

    // A lock in the way that is no file (a folder, a pipe) refuses a save at once; the lock of a
    // live program that never lets go, after two seconds.
    void lockInTheWayIsARefusal_data()
    {
        QTest::addColumn<QString>("lock");
        QTest::newRow("a folder") << "folder";
        QTest::newRow("a pipe") << "pipe";
        QTest::newRow("a live program's") << "live";
    }
    void lockInTheWayIsARefusal()
    {
        QFETCH(QString, lock);
        QTemporaryDir dir;
        const QString lockPath = dir.filePath("setInfo.ini.lock");
        QProcess holder;
        holder.start("sleep", {"60"});
        QVERIFY(holder.waitForStarted());
        writeBytes(lockPath, QByteArray::number(holder.processId()) + "\nsleep\n" +
                                 QSysInfo::machineHostName().toUtf8() + "\n");
        if (lock != "live")
            QVERIFY(QFile::remove(lockPath) &&
                    (lock == "pipe" ? ::mkfifo(QFile::encodeName(lockPath).constData(), 0600) == 0
                                    : QDir().mkdir(lockPath)));
        QString why;
        QVERIFY(!storage::writeSetInfo(dir.filePath("setInfo.ini"), storage::defaultSetInfo(), {},
                                       &why));
        QVERIFY2(why.contains("setInfo.ini.lock"), qPrintable(why));
        QVERIFY(QFileInfo::exists(lockPath) && !QFileInfo::exists(dir.filePath("setInfo.ini")));
    }

    // Saves cut short leave their scratch files; the next save removes those, and only those.
    void leftoverScratchFilesGo()
    {
        QTemporaryDir dir;
        const QStringList left{"myText.AbC123", "setInfo.ini.x0Y9zZ"};
        const QStringList others{"myText.a1", "myText.bak", "notes.AbC123", "setInfo.ini.lock1"};
        for (const QString &name : left + others)
            writeBytes(dir.filePath(name), "x");
        QVERIFY(storage::writeNoteText(dir.filePath("myText"), "text"));
        QStringList expected = others + QStringList{"myText"};
        expected.sort();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), expected);
    }

    void systemProgramFolders_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<bool>("system");
        QTest::newRow("usr bin") << "/usr/bin/" << true;
        QTest::newRow("usr local bin") << "/usr/local/bin/" << true;
        QTest::newRow("bin") << "/bin/" << true;
        QTest::newRow("opt") << "/opt/deskMemo/bin/" << true;
        QTest::newRow("install folder") << QStringLiteral(DESKMEMO_INSTALL_BINDIR "/") << true;
        QTest::newRow("home") << "/home/li/notes/" << false;
        QTest::newRow("name that only starts alike") << "/usrdata/notes/" << false;
        QTest::newRow("temporary") << QDir::tempPath() + "/" << false;
        QTest::newRow("windows") << "C:/Notes/" << false;
    }
    void systemProgramFolders()
    {
        QFETCH(QString, directory);
        QFETCH(bool, system);
        QCOMPARE(storage::isSystemProgramDirectory(directory), system);
    }

    void windowsProgramFolders_data()
    {
        QTest::addColumn<QString>("directory");
        QTest::addColumn<bool>("system");
        QTest::newRow("program files") << "C:/Program Files/deskMemo/" << true;
        QTest::newRow("x86, other case") << "c:/PROGRAM FILES (X86)/Notes/" << true;
        QTest::newRow("another drive") << "D:/Program Files/deskMemo/" << true;
        QTest::newRow("windows folder from %SystemRoot%") << "C:/WINDOWS/System32/" << true;
        QTest::newRow("program files moved, from %ProgramFiles%") << "E:/Apps/deskMemo/" << true;
        QTest::newRow("name that only starts alike") << "C:/Program Files Old/x/" << false;
        QTest::newRow("below a user folder") << "C:/Users/li/Program Files/x/" << false;
        QTest::newRow("user folder") << "C:/Users/li/Notes/" << false;
        QTest::newRow("drive root") << "C:/" << false;
        QTest::newRow("share") << "//server/notes/" << false;
        QTest::newRow("extended-length form") << "\\\\?\\C:\\Program Files\\deskMemo\\" << true;
        QTest::newRow("extended-length share") << "\\\\?\\UNC\\server\\notes\\" << false;
    }
    void windowsProgramFolders()
    {
        QFETCH(QString, directory);
        QFETCH(bool, system);
        // As the environment holds them: backslashes, own letter case, a trailing separator.
        const QStringList environment{"C:\\Windows", "E:\\Apps\\", "", "C:\\Program Files"};
        QCOMPARE(storage::isWindowsProgramDirectory(directory, environment), system);
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("localCodec");
        QTest::addColumn<QString>("text");
        const QString zh = QString::fromUtf8("桌面\n文字");
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QByteArray("UTF-8") << "a\nb\n";
        QTest::newRow("lone cr") << QByteArray("a\rb") << QByteArray("UTF-8") << "a\nb";
        QTest::newRow("empty") << QByteArray() << QByteArray("UTF-8") << "";
        QTest::newRow("utf-8 mark in gbk locale")
            << QByteArray("\xEF\xBB\xBF") + zh.toUtf8() << QByteArray("GBK") << zh;
        QTest::newRow("gbk without mark")
            << QTextCodec::codecForName("GBK")->fromUnicode(zh) << QByteArray("GBK") << zh;
        QTest::newRow("utf-16le mark")
            << utf16(zh, QDataStream::LittleEndian) << QByteArray("ISO-8859-1") << zh;
        QTest::newRow("utf-16be mark crlf")
            << utf16("x\r\ny", QDataStream::BigEndian) << QByteArray("ISO-8859-1") << "x\ny";
        QTest::newRow("utf-32le mark")
            << QByteArray("\xFF\xFE\0\0", 4) + encodeWithoutMark("UTF-32LE", zh)
            << QByteArray("ISO-8859-1") << zh;
        QTest::newRow("a second mark is text")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                          "A")
            << QByteArray("UTF-8") << QString(QChar(0xFEFF)) + "A";
        QTest::newRow("lone surrogate in utf-16")
            << QByteArray("\xFE\xFF\xDE\x83\0A", 6) << QByteArray("UTF-8")
            << QString(QChar::ReplacementCharacter) + "A";
        QTest::newRow("utf-8 without mark in latin-1 locale is garbled")
            << QByteArray("\xC3\xA9") << QByteArray("ISO-8859-1") << QString::fromUtf8("Ã©");
    }
    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, localCodec);
        QFETCH(QString, text);
        QCOMPARE(storage::decodeNoteText(bytes, QTextCodec::codecForName(localCodec)), text);
    }

    void encode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("localCodec");
        QTest::addColumn<QByteArray>("bytes");
        const QString zh = QString::fromUtf8("桌面\n文字");
        QTest::newRow("lf becomes crlf") << "a\nb" << QByteArray("UTF-8") << QByteArray("a\r\nb");
        QTest::newRow("gbk local code page, no mark")
            << zh << QByteArray("GBK")
            << QTextCodec::codecForName("GBK")->fromUnicode(QString::fromUtf8("桌面\r\n文字"));
        QTest::newRow("unrepresentable falls back to utf-8 with mark")
            << zh << QByteArray("ISO-8859-1")
            << QByteArray("\xEF\xBB\xBF") + QString::fromUtf8("桌面\r\n文字").toUtf8();
        QTest::newRow("emoji in gbk") << QString::fromUtf8("😀") << QByteArray("GBK")
                                      << QByteArray("\xEF\xBB\xBF\xF0\x9F\x98\x80");
        QTest::newRow("ascii in ascii-compatible code page")
            << "plain" << QByteArray("ISO-8859-1") << QByteArray("plain");
        // Local bytes that would pass for a byte-order mark are written as marked UTF-8.
        QTest::newRow("latin-1 text starting like a utf-16 mark")
            << QString::fromUtf8("ÿþx") << QByteArray("ISO-8859-1")
            << QByteArray("\xEF\xBB\xBF") + QString::fromUtf8("ÿþx").toUtf8();
        QTest::newRow("leading U+FEFF") << QString(QChar(0xFEFF)) + "x" << QByteArray("UTF-8")
                                        << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx");
        static const QuietCodec quietGbk; // registers itself under its name
        QTest::newRow("korean in a code page that replaces it quietly")
            << QString::fromUtf8("한글 ok") << quietGbk.name()
            << QByteArray("\xEF\xBB\xBF") + QString::fromUtf8("한글 ok").toUtf8();
    }
    void encode()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, localCodec);
        QFETCH(QByteArray, bytes);
        QTextCodec *codec = QTextCodec::codecForName(localCodec);
        const QByteArray encoded = storage::encodeNoteText(text, codec);
        QCOMPARE(encoded, bytes);
        QCOMPARE(storage::decodeNoteText(encoded, codec), text);
    }

    void textFileRoundTripAndFailures()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("myText");
        QString text = "unchanged";
        QVERIFY(!storage::readNoteText(path, &text));
        QCOMPARE(text, QString("unchanged"));
        QVERIFY(!QFile::exists(path)); // reading creates nothing

        QVERIFY(storage::writeNoteText(path, QString::fromUtf8("第一行\n second")));
        QVERIFY(readFile(path).contains("\r\n second"));
        QVERIFY(storage::readNoteText(path, &text));
        QCOMPARE(text, QString::fromUtf8("第一行\n second"));

        writeBytes(path, QByteArray());
        QVERIFY(storage::readNoteText(path, &text));
        QCOMPARE(text, QString());

        // A write that a signal interrupts goes on; a link's target takes the new text.
        storage::seam::failCall(storage::seam::Call::Write, EINTR);
        QVERIFY(QFile::link(path, dir.filePath("link")));
        QVERIFY(storage::writeNoteText(dir.filePath("link"), "through the link"));
        QVERIFY(QFileInfo(dir.filePath("link")).isSymLink());
        QCOMPARE(readFile(path), QByteArray("through the link"));
        // The new file takes over the old one's permissions.
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0604), 0);
        QVERIFY(storage::writeNoteText(path, "kept mode"));
        QCOMPARE(QFileInfo(path).permissions() & 0x0fff, QFileDevice::Permissions(0x0604));

        // A folder that can't hold the file: the save fails and the old note stays.
        QVERIFY(storage::writeNoteText(path, "old"));
        QVERIFY(!storage::writeNoteText(dir.filePath("myText/inside"), "new"));
        QVERIFY(QDir(dir.path()).mkdir("aFolder"));
        QVERIFY(!storage::readNoteText(dir.filePath("aFolder"), &text));
        QVERIFY(!storage::writeNoteText(dir.filePath("aFolder"), "new"));
        QCOMPARE(readFile(path), QByteArray("old"));
    }

    void settingsDefaultsWithoutStartPos_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("empty file") << QByteArray("");
        QTest::newRow("other keys only")
            << QByteArray("[config]\nmovable_flag=false\nisTopWindow=true\nisAutoStart=true\n");
        QTest::newRow("startPos in another group") << QByteArray("[other]\nstartPos=@Point(1 2)\n");
        QTest::newRow("startPos carried on from another line")
            << QByteArray("[config]\nx=a\\\nstartPos=@Point(1 2)\n");
        QTest::newRow("garbage") << QByteArray("\x01\x02\xff[[[\n=\n", 9);
    }
    void settingsDefaultsWithoutStartPos()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath("setInfo.ini");
        if (!content.isNull())
            writeBytes(path, content);
        const SetInfo info = storage::readSetInfo(path);
        QCOMPARE(info.startPos, QPoint(500, 500));
        QCOMPARE(info.movable_flag, true);
        QCOMPARE(info.selectColor, QColor(255, 127, 35, 255));
        QCOMPARE(info.selectFont.family(), QString::fromUtf8("黑体"));
        QCOMPARE(info.selectFont.pointSize(), 16);
        QCOMPARE(info.selectFont.italic(), false);
        QCOMPARE(info.isAutoStart, false);
        QCOMPARE(info.isTopWindow, false);
        QCOMPARE(QFile::exists(path), !content.isNull()); // reading writes nothing
    }

    void settingsHandEdited_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QPoint>("startPos");
        QTest::addColumn<bool>("movable");
        QTest::addColumn<QColor>("color");
        QTest::newRow("startPos only")
            << QByteArray("startPos=@Point(3 4)") << QPoint(3, 4) << false << QColor();
        QTest::newRow("empty boolean") << QByteArray("startPos=@Point(1 1)\nmovable_flag=")
                                       << QPoint(1, 1) << false << QColor();
        QTest::newRow("zero") << QByteArray("startPos=@Point(1 1)\nmovable_flag=0") << QPoint(1, 1)
                              << false << QColor();
        QTest::newRow("FALSE") << QByteArray("startPos=@Point(1 1)\nmovable_flag=FALSE")
                               << QPoint(1, 1) << false << QColor();
        QTest::newRow("yes") << QByteArray("startPos=@Point(1 1)\nmovable_flag=yes") << QPoint(1, 1)
                             << true << QColor();
        QTest::newRow("point as text")
            << QByteArray("startPos=10,20\nmovable_flag=true") << QPoint(0, 0) << true << QColor();
        QTest::newRow("colour as hex") << QByteArray("startPos=@Point(-5 7)\nselectColor=#12ab34")
                                       << QPoint(-5, 7) << false << QColor(0x12, 0xab, 0x34);
        QTest::newRow("colour name") << QByteArray("startPos=@Point(0 0)\nselectColor=navy")
                                     << QPoint(0, 0) << false << QColor(Qt::darkBlue);
        QTest::newRow("colour nonsense") << QByteArray("startPos=@Point(0 0)\nselectColor=nonsense")
                                         << QPoint(0, 0) << false << QColor();
    }
    void settingsHandEdited()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QPoint, startPos);
        QFETCH(bool, movable);
        QFETCH(QColor, color);
        QTemporaryDir dir;
        const QString path = dir.filePath("setInfo.ini");
        writeBytes(path, "[config]\n" + lines + "\n");
        const SetInfo info = storage::readSetInfo(path);
        QCOMPARE(info.startPos, startPos);
        QCOMPARE(info.movable_flag, movable);
        QCOMPARE(info.selectColor, color);
        QCOMPARE(info.isAutoStart, false);
        QCOMPARE(info.isTopWindow, false);
    }

    void settingsRoundTripKeepsOtherGroups()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("setInfo.ini");
        // A duplicate key, which the settings library reads the last of, and a key in a second
        // [config] on a last line without a line end.
        const QByteArray before = "\xEF\xBB\xBF; kept\r\n[mine]\r\nkeep=me\r\n\r\n[config]\r\n"
                                  "startPos=@Point(1 1)\r\nextra=1\r\nstartPos=@Point(2 2)\r\n"
                                  "[config]\r\nisTopWindow=false";
        writeBytes(path, before);
        SetInfo info;
        info.startPos = QPoint(-20, 1300);
        info.movable_flag = false;
        // Zero bytes before hex digits, and a family that needs quotes and escapes.
        info.selectColor = QColor(0, 0x30, 0x61, 0x0a);
        info.selectFont = QFont(QString::fromUtf8("华文\"行\\楷;=, "), 22, QFont::Bold, true);
        info.isAutoStart = true;
        info.isTopWindow = true;
        QVERIFY(storage::writeSetInfo(path, info));

        const SetInfo back = storage::readSetInfo(path);
        QCOMPARE(back.startPos, info.startPos);
        QCOMPARE(back.movable_flag, false);
        QCOMPARE(back.selectColor, info.selectColor);
        QCOMPARE(back.selectFont, info.selectFont);
        QCOMPARE(back.isAutoStart, true);
        QCOMPARE(back.isTopWindow, true);

        // Each line takes the new value where it stands; what is missing follows the last.
        const QByteArray saved = readFile(path);
        QVERIFY2(saved.startsWith(before.left(before.indexOf("startPos")) +
                                  "extra=1\r\nstartPos=@Point(-20 1300)\r\n[config]\r\n"
                                  "isTopWindow=true\r\nmovable_flag=false\r\nselectColor="),
                 saved.constData());
        QVERIFY(saved.endsWith("isAutoStart=true\r\n"));
        QCOMPARE(storage::withoutOwnLines(saved), storage::withoutOwnLines(before));
        // The library reads the six lines as the values it would have written.
        QSettings raw(path, QSettings::IniFormat);
        QCOMPARE(raw.value("mine/keep").toString(), QString("me"));
        QCOMPARE(raw.value("config/extra").toInt(), 1);
        QCOMPARE(raw.value("config/selectColor").value<QColor>(), info.selectColor);
        QCOMPARE(raw.value("config/selectFont").value<QFont>(), info.selectFont);
        QCOMPARE(raw.value("config/startPos").toPoint(), info.startPos);
        // ... and they are the very lines it writes.
        {
            QSettings library(dir.filePath("library.ini"), QSettings::IniFormat);
            library.setValue("config/selectColor", info.selectColor);
            library.setValue("config/selectFont", info.selectFont);
        }
        for (const QByteArray &line : readFile(dir.filePath("library.ini")).split('\n'))
            QVERIFY2(!line.startsWith("select") || saved.contains(line + "\r\n"), line);

        QVERIFY(!storage::writeSetInfo(dir.filePath("setInfo.ini/below"), info));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("pipe")).constData(), 0600), 0);
        QVERIFY(!storage::writeSetInfo(dir.filePath("pipe"), info));
        QVERIFY(!QFileInfo(dir.filePath("pipe")).isFile());

        // Names match exactly, or on Windows regardless of letter case, as the library has them.
        const QByteArray upper = "[CONFIG]\nISTOPWINDOW=1\n[config]\nisTopWindow=0\n";
        for (const Qt::CaseSensitivity nameCase : {Qt::CaseSensitive, Qt::CaseInsensitive})
            QCOMPARE(storage::findKeyLines(upper, "config", {"isTopWindow"}, nameCase).keys.size(),
                     nameCase == Qt::CaseSensitive ? 1 : 2);
    }

    // Another process holds the lock for a slow save: it is named as the owner, but without the
    // system lock that only a local disk adds. The save waits for it instead of breaking in, and
    // once that process is gone its lock is cleared without waiting for it to grow old.
    void lockOfALiveSaveIsWaitedFor()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("setInfo.ini");
        const pid_t holder = ::fork();
        if (holder == 0) {
            ::pause();
            ::_exit(0);
        }
        QVERIFY(holder > 0);
        const QString lockPath = path + ".lock";
        writeBytes(lockPath,
                   QByteArray::number(holder) + "\n" +
                       QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() +
                       "\n" + QSysInfo::machineHostName().toUtf8() + "\n");
        QFile lock(lockPath);
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(QDateTime::currentDateTime().addSecs(-10),
                                 QFileDevice::FileModificationTime));
        lock.close();
        std::atomic<bool> ended{false};
        std::thread finisher([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            ::kill(holder, SIGKILL);
            ::waitpid(holder, nullptr, 0);
            ended = true;
        });
        const bool saved = storage::writeSetInfo(path, storage::defaultSetInfo());
        const bool waited = ended;
        finisher.join();
        QVERIFY(saved);
        QVERIFY(waited);
        QVERIFY(!QFile::exists(lockPath));
    }
};

QTEST_GUILESS_MAIN(StorageTest)
#include "tst_storage.moc"
