#include "storage/settingsFile.h"
#include "storage/plainFile.h"
#include "storage/settingsGuard.h"

#include <QFile>
#include <QLockFile>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryFile>

#include <cstring>

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

// The settings library guards each save with "<file>.lock". A save killed between creating that
// file and writing its owner into it leaves it empty, and such a lock is only taken for
// abandoned after 30 s, so the next save (the next apply, or closing) would freeze that long.
// An honest save holds the lock for a moment only: one older than half a second is cleared
// here. (Should a slow save outlive that, two saves overlap; each still replaces the file whole.)
void clearAbandonedLock(const QString &path)
{
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(500);
    if (lock.tryLock(1000))
        lock.unlock();
}

// Whether the settings library may parse the file at all (see plainFile.h, settingsGuard.h).
bool isSafeToParse(const QString &path)
{
    if (!isMissingOrPlainFile(path))
        return false;
    QFile file(path);
    return !file.open(QIODevice::ReadOnly) || hasOnlyKnownVariants(file.readAll());
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

// Replaces the file in one step by one that holds the six keys and nothing else: they are
// written into a scratch file beside it, whose bytes then take the file's place.
bool writeFresh(const QString &path, const SetInfo &info)
{
    QTemporaryFile scratch(path + QStringLiteral(".fresh-XXXXXX"));
    if (!scratch.open())
        return false;
    scratch.close();
    {
        QSettings settings(scratch.fileName(), QSettings::IniFormat);
        putValues(settings, info);
        if (settings.status() != QSettings::NoError)
            return false;
    }
    QFile written(scratch.fileName()); // by name: the library replaced the scratch file
    QSaveFile file(path);
    if (!written.open(QIODevice::ReadOnly) || !file.open(QIODevice::WriteOnly))
        return false;
    file.write(written.readAll());
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
    if (!isSafeToParse(path))
        return defaultSetInfo();
    QSettings settings(path, QSettings::IniFormat);
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

bool writeSetInfo(const QString &path, const SetInfo &info)
{
    // Directories, pipes, devices and oversized files are left alone.
    if (!isMissingOrPlainFile(path))
        return false;
    // A file the settings library can't read safely can't be merged with: it is replaced by one
    // that holds the six keys only.
    if (!isSafeToParse(path))
        return writeFresh(path, info);
    clearAbandonedLock(path);
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.setAtomicSyncRequired(true);
        putValues(settings, info);
        // A format error only means that unreadable lines of the old file were dropped.
        if (settings.status() == QSettings::AccessError)
            return false;
    }
    // The library writes back whatever it read from the other keys, in its own form; should that
    // be something the next load would refuse, the six keys get a file of their own.
    return isSafeToParse(path) || writeFresh(path, info);
}

} // namespace storage
