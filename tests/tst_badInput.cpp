// The real note window against damaged and odd files: it always opens, shows what it can, and
// a later save never destroys what it could not read.
#include "noteFixture.h"
#include "storage/noteIdentity.h"
#include "storage/noteTextFile.h"
#include "storage/plainFile.h"
#include "storage/settingsFile.h"
#include "storage/storageLocation.h"
#include "storage/systemCalls.h"

#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QTextCodec>
#include <QtTest>

#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace
{

// How a row damages its file (or the folder).
enum Kind {
    Bytes,        // a file holding `bytes`
    Directory,    // a directory in place of the file
    Fifo,         // a named pipe: opening it would wait for a writer forever
    Endless,      // a device that reads zeros forever (made here, never the system's own), or
                  // where none can be made (without root) a pipe that is fed forever
    SymlinkLoop,  // a symlink to itself: unreadable even for root
    ModeZero,     // `bytes` with mode 000 (root reads it all the same)
    Oversized,    // a sparse file of 1.5 GB
    FolderLocked, // the folder is made read-only once the window is open: the note moves to
                  // the data folder at its first save
    FolderGone,   // the folder can't be written at start: the note moves to the data folder
    FolderFull,   // the folder is a small disk that fills up once the window is open
    ReadOnlyFile, // `bytes` in a file that refuses writing, in a writable folder
    FileLocked,   // `bytes` in a file made read-only once the window is open
    FileHidden,   // `bytes` in a file made mode 000 once the window is open
};

const QString defaultText = QString::fromUtf8("桌面文字便签");
const QString savedText = QStringLiteral("saved\nafter the damage");

// A file's type, size and (when small) content, to tell whether a save touched it.
QByteArray snapshot(const QString &path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return "missing";
    QByteArray shot =
        QByteArray::number(uint(st.st_mode), 8) + ' ' + QByteArray::number(qint64(st.st_size));
    if (S_ISREG(st.st_mode) && st.st_size < 4 * 1024 * 1024)
        shot += ' ' + QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha1).toHex();
    return shot;
}

// The note's own place in the per-user data folder.
QString dataFolder()
{
    return storage::perUserDataDirectory() + storage::thisNote().name + "/";
}

// Permissions don't stop root: for root the folder is mounted read-only over itself, for
// everyone else its write permission is taken away.
bool setReadOnly(const QString &folder, bool on)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::geteuid() != 0)
        return ::chmod(path.constData(), on ? 0555 : 0700) == 0;
    if (!on)
        return ::umount2(path.constData(), MNT_DETACH) == 0;
    if (::mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0)
        return false;
    if (::mount(nullptr, path.constData(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0)
        return true;
    ::umount2(path.constData(), MNT_DETACH);
    return false;
}
const char *const cannotLock = "the folder could not be made read-only (as root this takes a "
                               "bind mount, which needs CAP_SYS_ADMIN)";

// A disk of 256 KB in place of the folder, the user's own; the folder's files are made
// afterwards. Root mounts it itself, another user through sudo without a password.
bool mountSmallDisk(const QString &folder)
{
    if (::geteuid() == 0)
        return ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=256k") ==
               0;
    const QString options =
        QString("size=256k,mode=0700,uid=%1,gid=%2").arg(::geteuid()).arg(::getegid());
    return QProcess::execute("sudo",
                             {"-n", "mount", "-t", "tmpfs", "-o", options, "tmpfs", folder}) == 0;
}

void unmountSmallDisk(const QString &folder)
{
    if (::geteuid() == 0)
        ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
    else
        QProcess::execute("sudo", {"-n", "umount", "-l", folder});
}

// Fills the disk holding `folder` up to the last byte.
void fillDisk(const QString &folder)
{
    QFile filler(folder + "/filler");
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(512, 'f');
    while (filler.write(block) == block.size()) {
    }
}

QByteArray utfWithMark(const char *codec, const QByteArray &mark, const QString &text)
{
    return mark + encodeWithoutMark(codec, text);
}

// A real font line as the settings library writes it, cut in the middle of its blob.
QByteArray truncatedFontLine()
{
    QTemporaryDir dir;
    {
        QSettings settings(dir.filePath("f.ini"), QSettings::IniFormat);
        settings.setValue("config/selectFont", QFont("Serif", 20));
    }
    const QByteArray all = readFile(dir.filePath("f.ini"));
    const int start = all.indexOf("selectFont=");
    const int end = all.indexOf('\n', start);
    return all.mid(start, (end - start) / 2);
}

// The settings library's own text for `values`, each under its "group/key", from the first
// group's section line on.
QByteArray asWritten(const QVariantMap &values)
{
    QTemporaryDir dir;
    {
        QSettings settings(dir.filePath("f.ini"), QSettings::IniFormat);
        for (auto it = values.begin(); it != values.end(); ++it)
            settings.setValue(it.key(), it.value());
    }
    return readFile(dir.filePath("f.ini")).trimmed() + "\n";
}

QByteArray hugeFontLine()
{
    QFont font("Serif");
    font.setPointSize(100000);
    return asWritten({{"config/selectFont", font}}).mid(QByteArray("[config]\n").size());
}

} // namespace

Q_DECLARE_METATYPE(Kind)

class BadInputTest : public QObject
{
    Q_OBJECT

private slots:
    void opensAndKeeps_data()
    {
        QTest::addColumn<QString>("file"); // myText, setInfo.ini, or empty for the folder
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");         // the text shown; null: not checked
        QTest::addColumn<QVariantMap>("settings"); // fields of the loaded settings to check
        QTest::addColumn<bool>("saves");           // a later save replaces the damaged file
        QTest::addColumn<QByteArray>("kept");      // must still be in setInfo.ini after saving

        const QString ini = "setInfo.ini", txt = "myText";
        const QVariantMap defaults{{"startPos", QPoint(500, 500)},
                                   {"movable_flag", true},
                                   {"selectColor", QColor(255, 127, 35)},
                                   {"family", QString::fromUtf8("黑体")}};
        const QByteArray pos = "[config]\nstartPos=@Point(12 34)\n";
        const auto topFlag = [&](const char *value) {
            return pos + "movable_flag=true\nisTopWindow=" + value + "\n";
        };
        const QString zh = QString::fromUtf8("桌面\n文字");
        const char garbage[] = "\x00\xff\x1b[config]\x00startPos=\xfe\n\x80";
        const QString zhCrLf = QString::fromUtf8("桌面\r\n文字");

        // The settings file.
        QTest::newRow("ini empty")
            << ini << Bytes << QByteArray("") << QString() << defaults << true << QByteArray();
        QTest::newRow("ini binary garbage")
            << ini << Bytes << QByteArray(garbage, sizeof garbage - 1) << QString() << defaults
            << true << QByteArray();
        QTest::newRow("ini cut in a boolean")
            << ini << Bytes << pos + "movable_flag=fal" << QString()
            << QVariantMap{{"startPos", QPoint(12, 34)}, {"movable_flag", true}} << true
            << QByteArray();
        QTest::newRow("ini cut in the colour blob")
            << ini << Bytes << pos + "selectColor=@Variant(\\0\\0\\0\\x43\\x1\\xff" << QString()
            << QVariantMap{{"startPos", QPoint(12, 34)}, {"selectColor", QColor()}} << true
            << QByteArray();
        QTest::newRow("ini is a directory")
            << ini << Directory << QByteArray() << QString() << defaults << false << QByteArray();
        QTest::newRow("ini is a pipe")
            << ini << Fifo << QByteArray() << QString() << defaults << false << QByteArray();
        QTest::newRow("ini is endless")
            << ini << Endless << QByteArray() << QString() << defaults << false << QByteArray();
        QTest::newRow("ini of 1.5 GB")
            << ini << Oversized << QByteArray() << QString() << defaults << true << QByteArray();
        QTest::newRow("ini without startPos")
            << ini << Bytes << QByteArray("[config]\nmovable_flag=false\nisTopWindow=true\n")
            << QString() << defaults << true << QByteArray();
        QTest::newRow("ini with startPos only") << ini << Bytes << pos << QString()
                                                << QVariantMap{{"startPos", QPoint(12, 34)},
                                                               {"movable_flag", false},
                                                               {"isTopWindow", false},
                                                               {"selectColor", QColor()},
                                                               {"family", QFont().family()}}
                                                << true << QByteArray();
        QTest::newRow("boolean empty")
            << ini << Bytes << topFlag("") << QString() << QVariantMap{{"isTopWindow", false}}
            << true << QByteArray();
        QTest::newRow("boolean 0") << ini << Bytes << topFlag("0") << QString()
                                   << QVariantMap{{"isTopWindow", false}} << true << QByteArray();
        QTest::newRow("boolean FALSE")
            << ini << Bytes << topFlag("FALSE") << QString() << QVariantMap{{"isTopWindow", false}}
            << true << QByteArray();
        QTest::newRow("boolean yes") << ini << Bytes << topFlag("yes") << QString()
                                     << QVariantMap{{"isTopWindow", true}} << true << QByteArray();
        // A ';' ends the value, as the settings library reads it.
        QTest::newRow("values with comments")
            << ini << Bytes
            << QByteArray("[config]\nstartPos=@Point(12 34)\t; here\nisTopWindow=true ; on top")
            << QString() << QVariantMap{{"startPos", QPoint(12, 34)}, {"isTopWindow", true}} << true
            << QByteArray();
        QTest::newRow("a last line that escapes its line end")
            << ini << Bytes << QByteArray("[other]\na=1\n[config]\\") << QString() << defaults
            << true << QByteArray("[config]\\\n\n");
        QTest::newRow("colour #12ab34")
            << ini << Bytes << pos + "selectColor=#12ab34\n"
            << QString() << QVariantMap{{"selectColor", QColor(0x12, 0xab, 0x34)}} << true
            << QByteArray();
        QTest::newRow("colour name")
            << ini << Bytes << pos + "selectColor=navy\n"
            << QString() << QVariantMap{{"selectColor", QColor(0, 0, 128)}} << true << QByteArray();
        QTest::newRow("colour nonsense")
            << ini << Bytes << pos + "selectColor=nonsense\n"
            << QString() << QVariantMap{{"selectColor", QColor()}} << true << QByteArray();
        QTest::newRow("colour blob of an unknown model")
            << ini << Bytes
            << pos + "selectColor=@Variant(\\0\\0\\0\\x43]\\xff\\xff\\xff\\xff\\x7f\\x7f##\\0\\0)\n"
            << QString() << QVariantMap{{"selectColor", QColor()}} << true << QByteArray();
        // The note writes a colour, never a brush: a brush blob could hold an image.
        QTest::newRow("colour held as a brush is no colour")
            << ini << Bytes << pos + asWritten({{"config/selectColor", QBrush(Qt::blue)}})
            << QString() << QVariantMap{{"startPos", QPoint(12, 34)}, {"selectColor", QColor()}}
            << true << QByteArray();
        // Values that would crash the settings library are never handed to it, and are kept as
        // they are through the save.
        // A polygon of 1 349 478 766 points ("Poin").
        const QByteArray polygon = "shape=@Variant(\\0\\0\\0GPoin)";
        QTest::newRow("blob of another type")
            << ini << Bytes << pos + polygon + "\n"
            << QString() << QVariantMap{{"startPos", QPoint(12, 34)}} << true << polygon;
        const QByteArray continued = "shape=@Variant(\\0\\0\\0\\\r\nGPoin)";
        QTest::newRow("the same blob, continued over CR LF")
            << ini << Bytes << pos + continued + "\n"
            << QString() << QVariantMap{{"startPos", QPoint(12, 34)}} << true << continued;
        QTest::newRow("font blob cut")
            << ini << Bytes << pos + truncatedFontLine() << QString()
            << QVariantMap{{"startPos", QPoint(12, 34)}} << true << QByteArray();
        QTest::newRow("font of 100000 points")
            << ini << Bytes << pos + hugeFontLine() << QString()
            << QVariantMap{{"pointSize", 100000}} << true << QByteArray();
        QTest::newRow("huge position")
            << ini << Bytes << QByteArray("[config]\nstartPos=@Point(2147483647 -2147483648)\n")
            << QString() << QVariantMap{{"startPos", QPoint(500, 500)}} << true << QByteArray();
        QTest::newRow("huge boolean")
            << ini << Bytes << topFlag("99999999999999999999999999") << QString()
            << QVariantMap{{"isTopWindow", true}} << true << QByteArray();
        QTest::newRow("duplicate keys and groups")
            << ini << Bytes
            << pos + "startPos=@Point(56 78)\n[other]\na=1\n[config]\nisTopWindow=true\n"
            << QString() << QVariantMap{{"startPos", QPoint(56, 78)}, {"isTopWindow", true}} << true
            << QByteArray("a=1");
        // Lines that start with a vertical tab or a form feed are no section headers.
        const QByteArray oddBlanks = "\v[x]=@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\n"
                                     "\f[y]=@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\n";
        QTest::newRow("blobs after a vertical tab and a form feed")
            << ini << Bytes << pos + oddBlanks << QString()
            << QVariantMap{{"startPos", QPoint(12, 34)}} << true << oddBlanks;
        const QByteArray marked = "\xEF\xBB\xBF[config]\r\nstartPos=@Point(12 34)\r\n"
                                  "shape=@Variant(\\0\\0\\0GPoin)\r\nisTopWindow=true\r\n";
        QTest::newRow("byte-order mark and CR LF, kept as they are")
            << ini << Bytes << marked << QString()
            << QVariantMap{{"startPos", QPoint(12, 34)}, {"isTopWindow", true}} << true
            << marked.left(marked.indexOf("isTop"));
        QTest::newRow("other groups kept")
            << ini << Bytes << "[mine]\nkeep=me\n" + pos + "extra=1\n[zzz]\nlast=1\n"
            << QString() << QVariantMap{{"startPos", QPoint(12, 34)}} << true
            << QByteArray("[mine]\nkeep=me\n");

        // The text file.
        QTest::newRow("text empty") << txt << Bytes << QByteArray("") << QString("")
                                    << QVariantMap() << true << QByteArray();
        QTest::newRow("text of 1 MB")
            << txt << Bytes << QByteArray(1 << 20, 'm') << QString(1 << 20, 'm') << QVariantMap()
            << true << QByteArray();
        QTest::newRow("text binary with NUL")
            << txt << Bytes << QByteArray("ab\0cd\x01\xff", 7)
            << QString::fromUtf8("ab\0cd\x01\xff", 7) << QVariantMap() << true << QByteArray();
        QTest::newRow("text UTF-8 with mark")
            << txt << Bytes << utfWithMark("UTF-8", "\xEF\xBB\xBF", zhCrLf) << zh << QVariantMap()
            << true << QByteArray();
        QTest::newRow("text UTF-8 without mark")
            << txt << Bytes << zhCrLf.toUtf8() << zh << QVariantMap() << true << QByteArray();
        QTest::newRow("text UTF-16 LE")
            << txt << Bytes << utfWithMark("UTF-16LE", QByteArray("\xFF\xFE"), zhCrLf) << zh
            << QVariantMap() << true << QByteArray();
        QTest::newRow("text UTF-16 BE")
            << txt << Bytes << utfWithMark("UTF-16BE", QByteArray("\xFE\xFF"), zhCrLf) << zh
            << QVariantMap() << true << QByteArray();
        QTest::newRow("text UTF-32 LE")
            << txt << Bytes << utfWithMark("UTF-32LE", QByteArray("\xFF\xFE\0\0", 4), zhCrLf) << zh
            << QVariantMap() << true << QByteArray();
        QTest::newRow("text UTF-32 BE")
            << txt << Bytes << utfWithMark("UTF-32BE", QByteArray("\0\0\xFE\xFF", 4), zhCrLf) << zh
            << QVariantMap() << true << QByteArray();
        QTest::newRow("text CR-only line ends")
            << txt << Bytes << QByteArray("a\rb\r\rc") << QString("a\nb\n\nc") << QVariantMap()
            << true << QByteArray();
        QTest::newRow("text is a directory") << txt << Directory << QByteArray() << defaultText
                                             << QVariantMap() << false << QByteArray();
        QTest::newRow("text is a pipe")
            << txt << Fifo << QByteArray() << defaultText << QVariantMap() << false << QByteArray();
        QTest::newRow("text is endless") << txt << Endless << QByteArray() << defaultText
                                         << QVariantMap() << false << QByteArray();
        // A loop holds no text, so the applied one may take its place.
        QTest::newRow("text is a symlink loop") << txt << SymlinkLoop << QByteArray() << defaultText
                                                << QVariantMap() << true << QByteArray();
        // Mode 000 stops only users other than root; the tests may run as either. A file the
        // note could not read is never replaced: the note goes to its per-user place.
        const bool root = ::geteuid() == 0;
        QTest::newRow("text mode 000")
            << txt << ModeZero << QByteArray("secret") << (root ? QString("secret") : defaultText)
            << QVariantMap() << root << QByteArray();
        QTest::newRow("text of 1.5 GB") << txt << Oversized << QByteArray() << defaultText
                                        << QVariantMap() << false << QByteArray();

        // The folder. Without `bytes` it holds no note yet.
        QTest::newRow("folder read-only while open")
            << QString() << FolderLocked << QByteArray("old text") << QString("old text")
            << QVariantMap{{"startPos", QPoint(12, 34)}} << false << QByteArray("[mine]\nkeep=me");
        QTest::newRow("folder read-only while open, before the first save")
            << QString() << FolderLocked << QByteArray() << defaultText
            << QVariantMap{{"startPos", QPoint(500, 500)}} << false << QByteArray();
        // The note as it was left, carried over to the data folder by the first save.
        QTest::newRow("folder read-only at start")
            << QString() << FolderGone << QByteArray("old text") << QString("old text")
            << QVariantMap{{"startPos", QPoint(12, 34)}} << false << QByteArray("[mine]\nkeep=me");
        QTest::newRow("disk full while open")
            << QString() << FolderFull << QByteArray("old text") << QString("old text")
            << QVariantMap{{"startPos", QPoint(12, 34)}} << false << QByteArray("[mine]\nkeep=me");
        QTest::newRow("text file read-only")
            << txt << ReadOnlyFile << QByteArray("old text") << QString("old text") << QVariantMap()
            << false << QByteArray();
        // Permissions that change while the note is open stop all but root's saves.
        QTest::newRow("text file read-only while open")
            << txt << FileLocked << QByteArray("old text") << QString("old text") << QVariantMap()
            << root << QByteArray();
        QTest::newRow("text file unreadable while open")
            << txt << FileHidden << QByteArray("old text") << QString("old text") << QVariantMap()
            << root << QByteArray();
    }

    void opensAndKeeps()
    {
        QFETCH(QString, file);
        QFETCH(Kind, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(QVariantMap, settings);
        QFETCH(bool, saves);
        QFETCH(QByteArray, kept);

        // Root's access hides what permissions do to everyone else: such a row runs again as an
        // ordinary user.
        const bool permissions = kind == ModeZero || kind == ReadOnlyFile || kind == FolderGone ||
                                 kind == FolderLocked || kind == FileLocked || kind == FileHidden;
        if (permissions && ::geteuid() == 0)
            runAsOrdinaryUser(QString("opensAndKeeps:") + QTest::currentDataTag());

        NoteFolder folder;
        const QString path = folder.path(file);
        const QString folderPath = QFileInfo(folder.path("myText")).path();
        QVERIFY(folderPath != QDir::tempPath()); // a mount goes on the note's own folder only
        struct Feeder : QProcess {
            ~Feeder() override
            {
                kill();
                waitForFinished();
            }
        } feeder;
        switch (kind) {
        case Bytes:
            folder.write(file, bytes);
            break;
        case Directory:
            QVERIFY(QDir().mkdir(path));
            break;
        case Fifo:
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
            break;
        case Endless:
            // A save that wrongly follows the node replaces only this copy.
            if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, 5)) != 0) {
                QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
                feeder.start("sh", {"-c", "exec cat /dev/zero >\"$0\"", path});
                QVERIFY(feeder.waitForStarted());
            }
            break;
        case SymlinkLoop:
            QVERIFY(QFile::link(path, path));
            break;
        case ModeZero:
            folder.write(file, bytes);
            QVERIFY(QFile::setPermissions(path, {}));
            break;
        case Oversized: {
            QFile sparse(path);
            QVERIFY(sparse.open(QIODevice::WriteOnly));
            QVERIFY(sparse.resize(1536LL * 1024 * 1024)); // holes: no disk space used
            break;
        }
        case ReadOnlyFile:
        case FileLocked:
        case FileHidden:
            folder.write(file, bytes);
            break;
        case FolderFull:
        case FolderGone:
        case FolderLocked:
            if (kind == FolderFull && !mountSmallDisk(folderPath)) {
                QTest::qSkip("a small disk can't be mounted here (it needs root or sudo "
                             "without a password)",
                             __FILE__, __LINE__);
                return;
            }
            if (bytes.isNull())
                break;
            folder.write("myText", bytes);
            folder.writeSettings({{"startPos", QPoint(12, 34)}});
            QSettings(folder.path("setInfo.ini"), QSettings::IniFormat).setValue("mine/keep", "me");
            break;
        }
        const QString textPath = folder.path("myText"), iniPath = folder.path("setInfo.ini");
        struct Unlock {
            QString path;
            ~Unlock()
            {
                if (!path.isEmpty())
                    setReadOnly(path, false);
            }
        } unlock, unlockFile;
        struct Unmount {
            QString path;
            ~Unmount()
            {
                if (!path.isEmpty())
                    unmountSmallDisk(path);
            }
        } unmount;
        if (kind == FolderFull)
            unmount.path = folderPath;
        if (kind == FolderGone) {
            QVERIFY2(setReadOnly(folderPath, true), cannotLock);
            unlock.path = folderPath;
        }
        if (kind == ReadOnlyFile) {
            QVERIFY2(setReadOnly(path, true), cannotLock);
            unlockFile.path = path;
        }
        QByteArray textBefore = snapshot(textPath);
        const QByteArray iniBefore = snapshot(iniPath);

        MessageBoxes boxes;
        auto w = folder.open();
        auto &ui = Access::ui(*w);
        if (!text.isNull())
            QCOMPARE(ui.label_show->text(), text);
        const SetInfo &info = Access::setInfo(*w);
        for (auto it = settings.begin(); it != settings.end(); ++it) {
            const QString key = it.key();
            const QVariant actual = key == "startPos"       ? QVariant(info.startPos)
                                    : key == "movable_flag" ? QVariant(info.movable_flag)
                                    : key == "isTopWindow"  ? QVariant(info.isTopWindow)
                                    : key == "selectColor"  ? QVariant(info.selectColor)
                                    : key == "family"       ? QVariant(info.selectFont.family())
                                                            : QVariant(info.selectFont.pointSize());
            QCOMPARE(actual, it.value());
        }
        QCOMPARE(w->pos(), info.startPos);

        if (kind == FolderLocked) {
            QVERIFY2(setReadOnly(folderPath, true), cannotLock);
            unlock.path = folderPath;
        }
        if (kind == FileLocked || kind == FileHidden) {
            QVERIFY(QFile::setPermissions(path, kind == FileLocked ? QFileDevice::ReadOwner
                                                                   : QFileDevice::Permissions()));
            textBefore = snapshot(textPath);
        }
        if (kind == FolderFull)
            fillDisk(folderPath);
        if (kind == FolderGone) {
            QCOMPARE(Access::place(*w).home, dataFolder());
            QVERIFY(!QFileInfo::exists(dataFolder())); // made by the first save, not at start
        }

        // Apply a new text, then close: both saves run.
        openEditPage(*w);
        ui.textEdit->setPlainText(savedText);
        QTest::mouseClick(ui.btn_updata, Qt::LeftButton);
        QCOMPARE(ui.label_show->text(), savedText); // shown even when it can't be saved
        const QPoint lastPos = info.startPos;
        w->close();
        const QString heldIn = Access::appDir(*w);
        w.reset();

        // A file or folder that refuses the save stays as it was, and the whole note goes to
        // the data folder.
        if (!saves && file != "setInfo.ini")
            QCOMPARE(snapshot(textPath), textBefore);
        if (!saves && file != "myText")
            QCOMPARE(snapshot(iniPath), iniBefore);
        QCOMPARE(heldIn, saves ? folderPath + "/" : dataFolder());
        QString back;
        QVERIFY(storage::readNoteText(heldIn + "myText", &back));
        QCOMPARE(back, savedText);
        QVERIFY(readFile(heldIn + "setInfo.ini").contains("startPos=@Point("));
        // A note file in the way, or too big to have been read, is told about once, where it is
        // left as it was.
        const bool leftAlone = kind == Directory || kind == Fifo || kind == Endless ||
                               (kind == Oversized && file == "myText") ||
                               (kind == FileHidden && ::geteuid() != 0);
        QCOMPARE(boxes.texts.size(), leftAlone ? 1 : 0);
        if (leftAlone)
            QVERIFY2(boxes.texts[0].contains(QFileInfo(path).fileName() + " ") &&
                         boxes.texts[0].contains("left as it is"),
                     qPrintable(boxes.texts[0]));
        QCOMPARE(storage::readSetInfo(heldIn + "setInfo.ini").startPos, lastPos);
        if (!kept.isEmpty())
            QVERIFY2(readFile(heldIn + "setInfo.ini").contains(kept), kept.constData());
        if (kind != FolderLocked)
            return;

        // The folder writable again: the newer note, in the data folder, is shown, and the next
        // save moves it back beside the executable for good.
        QVERIFY(setReadOnly(folderPath, false));
        unlock.path.clear();
        auto again = folder.open();
        QCOMPARE(Access::ui(*again).label_show->text(), savedText);
        openEditPage(*again).textEdit->setPlainText("back beside");
        Access::ui(*again).btn_updata->click();
        again.reset();
        QCOMPARE(QDir(dataFolder()).entryList(QDir::Files), QStringList());
        QVERIFY2(setReadOnly(folderPath, true), cannotLock);
        unlock.path = folderPath;
        QCOMPARE(Access::ui(*folder.open()).label_show->text(), QString("back beside"));
    }

    // Both folders refuse every save (a full disk under both): an apply says so, naming the
    // folders and the reason, and the note keeps the edit; 关闭 asks before it drops the
    // changes; once the disk takes saves again, the next apply saves the note beside the program.
    void saveThatNothingTakes()
    {
        NoteFolder folder;
        folder.write("myText", "old text");
        auto w = folder.open();
        auto &ui = Access::ui(*w);
        QSignalSpy closed(w.get(), &deskMemo::closeAllWindows);
        storage::seam::resetAndRecord();
        storage::seam::failCall(storage::seam::Call::Write, ENOSPC, 0, 1000);
        {
            MessageBoxes boxes(QMessageBox::No);
            openEditPage(*w).textEdit->setPlainText("new text");
            ui.btn_updata->click();
            QCOMPARE(ui.label_show->text(), QString("new text"));
            QCOMPARE(boxes.texts.size(), 1);
            for (const QString &part :
                 {QDir::toNativeSeparators(folder.path("")), QDir::toNativeSeparators(dataFolder()),
                  qt_error_string(ENOSPC)})
                QVERIFY2(boxes.texts[0].contains(part), qPrintable(boxes.texts[0] + " / " + part));
            ui.label_show->close();
            QCOMPARE(boxes.texts.size(), 2);
            QCOMPARE(closed.count(), 0);
            QTRY_VERIFY(!ui.label_show->isHidden());
        }
        QCOMPARE(folder.read("myText"), QByteArray("old text"));

        storage::seam::resetAndRecord();
        MessageBoxes boxes;
        g_movable = false; // saved with the apply
        openEditPage(*w);
        ui.btn_updata->click();
        QCOMPARE(folder.read("myText"), QByteArray("new text"));
        QCOMPARE(boxes.texts, QStringList());
        // A save that fails when nothing changed since the last one loses nothing: no question.
        storage::seam::failCall(storage::seam::Call::Write, ENOSPC, 0, 1000);
        ui.label_show->close();
        QCOMPARE(closed.count(), 1);
        QCOMPARE(boxes.texts, QStringList());
    }

private:
    // Runs this program's `testCase` as nobody, in a copy of the program and with a home of its
    // own, so that no folder of root's is in the way.
    void runAsOrdinaryUser(const QString &testCase)
    {
        const passwd *nobody = ::getpwnam("nobody");
        QVERIFY(nobody);
        QTemporaryDir scratch;
        const QString program = scratch.filePath("tst_badInput");
        const QString home = scratch.filePath("home");
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), program));
        QVERIFY(QDir().mkpath(home + "/runtime"));
        for (const QString &made : {scratch.path(), program})
            QCOMPARE(::chmod(QFile::encodeName(made).constData(), 0755), 0);
        for (const QString &made : {home, home + "/runtime"})
            QCOMPARE(::chown(QFile::encodeName(made).constData(), nobody->pw_uid, nobody->pw_gid),
                     0);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home);
        environment.insert("XDG_DATA_HOME", home + "/data");
        environment.insert("XDG_RUNTIME_DIR", home + "/runtime");
        QProcess run;
        run.setProcessEnvironment(environment);
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start("setpriv", {"--reuid=" + QString::number(nobody->pw_uid),
                              "--regid=" + QString::number(nobody->pw_gid), "--clear-groups",
                              program, testCase});
        QVERIFY(run.waitForFinished(60000));
        const QByteArray said = run.readAll();
        QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0,
                 qPrintable("as nobody:\n" + QString::fromUtf8(said)));
        QVERIFY2(said.contains(" 0 failed, 0 skipped"), said.constData());
        qInfo("as nobody: %s", said.mid(said.indexOf("Totals:")).split('\n').value(0).constData());
    }
};

QTEST_MAIN(BadInputTest)
#include "tst_badInput.moc"
