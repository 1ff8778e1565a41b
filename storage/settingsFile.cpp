#include "storage/settingsFile.h"
#include "storage/plainFile.h"
#include "storage/settingsGuard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryFile>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace storage
{
namespace
{

const QString group = QStringLiteral("config");

// A damaged colour blob can name a colour model that doesn't exist: the settings library stores
// it unchecked, and even copying such a colour reads an impossible enum value. The model is the
// colour's first member; it is looked at as plain bytes before the colour is touched.
bool isUsable(const QVariant &value)
{
    if (value.userType() != QMetaType::QColor)
        return true;
    int spec = 0;
    std::memcpy(&spec, value.constData(), sizeof spec);
    return spec >= QColor::Invalid && spec <= QColor::ExtendedRgb;
}

// A colour may also arrive inside a brush, which converts to one.
template <typename T> T convertedOrEmpty(QVariant value)
{
    if (value.userType() != qMetaTypeId<T>() && !value.convert(qMetaTypeId<T>()))
        return T();
    return isUsable(value) ? value.value<T>() : T();
}

// The settings library guards each save with "<file>.lock" and tells an abandoned lock by its
// owner, whose process id and machine the lock holds: a lock whose owner has ended is cleared
// at once, one whose owner still runs is waited for, however long its save takes. Only a save
// killed between creating the lock and writing its owner into it leaves a lock without an owner,
// which the library would wait 30 s for. An owner writes itself into the lock right after
// creating it, so a lock that still names nobody after half a second has none; it is cleared.
void clearOwnerlessLock(const QString &path)
{
    QLockFile lock(path + QStringLiteral(".lock"));
    qint64 pid = 0;
    QString hostname, application;
    if (!QFileInfo::exists(path + QStringLiteral(".lock")) ||
        lock.getLockInfo(&pid, &hostname, &application))
        return;
    lock.setStaleLockTime(500);
    if (lock.tryLock(1000))
        lock.unlock();
}

// The whole file, when it is a plain file of a sane size that can be read; nothing when it is
// missing or can't be opened.
bool readContent(const QString &path, QByteArray *content)
{
    content->clear();
    if (!isMissingOrPlainFile(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    // In pieces: the size was checked, but the file may have grown since.
    for (QByteArray piece; !(piece = file.read(64 * 1024)).isEmpty();) {
        *content += piece;
        if (content->size() > largestStoredFile)
            return false;
    }
    return true;
}

// The file's text without `entries`; their line ends stay, so every other line stays whole.
QByteArray without(const QByteArray &content, const QList<SettingsEntry> &entries)
{
    QByteArray rest;
    int from = 0;
    for (const SettingsEntry &entry : entries) {
        rest += content.mid(from, entry.begin - from);
        from = entry.end;
    }
    return rest + content.mid(from);
}

bool isOneOfTheSixKeys(const SettingsEntry &entry)
{
    static const QByteArray keys[] = {"startPos",   "movable_flag", "selectColor",
                                      "selectFont", "isAutoStart",  "isTopWindow"};
    return entry.section.trimmed() == "[" + group.toLatin1() + "]" &&
           std::find(std::begin(keys), std::end(keys), entry.key) != std::end(keys);
}

// The entries the settings library can't read, as they stood, each under its section line, to
// follow what the library writes; those that a save replaces anyway are left out.
QByteArray carriedOver(const QByteArray &content, const QList<SettingsEntry> &entries)
{
    QByteArray kept;
    const QByteArray noSection = "\n"; // can't be a section line
    QByteArray section = noSection;
    for (const SettingsEntry &entry : entries) {
        if (isOneOfTheSixKeys(entry))
            continue;
        if (entry.section != section) {
            section = entry.section;
            kept += "\n" + (section.isEmpty() ? QByteArray("[General]") : section) + "\n";
        }
        kept += content.mid(entry.begin, entry.end - entry.begin) + "\n";
    }
    return kept;
}

SetInfo readValues(QSettings &settings)
{
    settings.beginGroup(group);
    if (!settings.contains(QStringLiteral("startPos")))
        return defaultSetInfo();
    SetInfo info;
    info.startPos = settings.value(QStringLiteral("startPos")).toPoint();
    info.movable_flag = settings.value(QStringLiteral("movable_flag")).toBool();
    info.selectColor = convertedOrEmpty<QColor>(settings.value(QStringLiteral("selectColor")));
    info.selectFont = convertedOrEmpty<QFont>(settings.value(QStringLiteral("selectFont")));
    info.isAutoStart = settings.value(QStringLiteral("isAutoStart")).toBool();
    info.isTopWindow = settings.value(QStringLiteral("isTopWindow")).toBool();
    return info;
}

// Sets the six keys in [config] and writes the file.
void putValues(QSettings &settings, const SetInfo &info)
{
    settings.beginGroup(group);
    settings.setValue(QStringLiteral("startPos"), info.startPos);
    settings.setValue(QStringLiteral("movable_flag"), info.movable_flag);
    settings.setValue(QStringLiteral("selectColor"), info.selectColor);
    settings.setValue(QStringLiteral("selectFont"), info.selectFont);
    settings.setValue(QStringLiteral("isAutoStart"), info.isAutoStart);
    settings.setValue(QStringLiteral("isTopWindow"), info.isTopWindow);
    settings.endGroup();
    settings.sync();
}

// Saves into a file the settings library can't be let loose on, or one too big to read. The
// library merges the six keys into a scratch copy without the entries it can't read (beside the
// file, so that the result can take its place); those entries then follow unchanged, and the
// result replaces the file in one step.
bool writeAroundUnsafeEntries(const QString &path, const QByteArray &content, const SetInfo &info)
{
    const QList<SettingsEntry> unsafe = unsafeEntries(content);
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.lock())
        return false;
    QTemporaryFile scratch(path + QStringLiteral(".fresh-XXXXXX"));
    if (!scratch.open() || scratch.write(without(content, unsafe)) < 0 || !scratch.flush())
        return false;
    scratch.close();
    {
        QSettings settings(scratch.fileName(), QSettings::IniFormat);
        putValues(settings, info);
        if (settings.status() == QSettings::AccessError)
            return false;
    }
    QFile written(scratch.fileName()); // by name: the library replaced the scratch file
    QSaveFile file(path);
    if (!written.open(QIODevice::ReadOnly) || !file.open(QIODevice::WriteOnly))
        return false;
    file.write(written.readAll() + carriedOver(content, unsafe));
    return file.commit();
}

} // namespace

SetInfo defaultSetInfo()
{
    SetInfo info;
    info.startPos = QPoint(500, 500);
    info.movable_flag = true;
    info.selectColor = QColor(255, 127, 35, 255);
    info.selectFont = QFont(QString::fromUtf8("黑体"), 16, -1, false);
    info.isAutoStart = false;
    info.isTopWindow = false;
    return info;
}

SetInfo readSetInfo(const QString &path)
{
    QByteArray content;
    if (!readContent(path, &content))
        return defaultSetInfo();
    const QList<SettingsEntry> unsafe = unsafeEntries(content);
    if (unsafe.isEmpty()) {
        QSettings settings(path, QSettings::IniFormat);
        return readValues(settings);
    }
    // The library reads a copy without the entries it can't be let loose on.
    QTemporaryFile scratch(QDir::tempPath() + QStringLiteral("/deskMemo-setInfo-XXXXXX.ini"));
    if (!scratch.open() || scratch.write(without(content, unsafe)) < 0 || !scratch.flush())
        return defaultSetInfo();
    QSettings settings(scratch.fileName(), QSettings::IniFormat);
    return readValues(settings);
}

bool writeSetInfo(const QString &path, const SetInfo &info)
{
    // Directories, pipes and devices are left alone; a file too big to read is replaced by one
    // with the six keys, or no later change could ever be saved.
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile())
        return false;
    clearOwnerlessLock(path);
    QByteArray content;
    if (!readContent(path, &content))
        return writeAroundUnsafeEntries(path, QByteArray(), info);
    if (!unsafeEntries(content).isEmpty())
        return writeAroundUnsafeEntries(path, content, info);
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.setAtomicSyncRequired(true);
        putValues(settings, info);
        // A format error only means that unreadable lines of the old file were dropped.
        if (settings.status() == QSettings::AccessError)
            return false;
    }
    // The library writes back whatever it read from the other keys, in its own form; should the
    // next load have to leave some of that out, those entries are kept as they are around it.
    QByteArray written;
    if (readContent(path, &written) && unsafeEntries(written).isEmpty())
        return true;
    return writeAroundUnsafeEntries(path, written, info);
}

} // namespace storage
