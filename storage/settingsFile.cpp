#include "storage/settingsFile.h"
#include "storage/plainFile.h"
#include "storage/settingsGuard.h"

#include <QFile>
#include <QLockFile>
#include <QSettings>

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
    // A save reads the file first to keep its other groups; what can't be read is left alone.
    if (!isSafeToParse(path))
        return false;
    clearAbandonedLock(path);
    QSettings settings(path, QSettings::IniFormat);
    settings.setAtomicSyncRequired(true);
    settings.beginGroup(group);
    settings.setValue(QStringLiteral("startPos"), info.startPos);
    settings.setValue(QStringLiteral("movable_flag"), info.movable_flag);
    settings.setValue(QStringLiteral("selectColor"), info.selectColor);
    settings.setValue(QStringLiteral("selectFont"), info.selectFont);
    settings.setValue(QStringLiteral("isAutoStart"), info.isAutoStart);
    settings.setValue(QStringLiteral("isTopWindow"), info.isTopWindow);
    settings.endGroup();
    settings.sync();
    // A format error only means that unreadable lines of the old file were dropped.
    return settings.status() != QSettings::AccessError;
}

} // namespace storage
