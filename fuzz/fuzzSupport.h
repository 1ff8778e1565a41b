#pragma once

// What both fuzz targets share: a GUI application on the offscreen platform (fonts and colours
// in settings need one) and a scratch file in memory-backed storage when there is any.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdlib>

inline void startFuzzApplication()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication *app = new QGuiApplication(argc, argv);
    (void)app;
}

// The folder goes when the fuzzer exits normally (at the end of its time).
inline QString scratchPath(const char *name)
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/deskMemo-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/deskMemo-fuzz-XXXXXX"));
    return dir.filePath(QString::fromLatin1(name));
}

inline void writeScratch(const QString &path, const uint8_t *data, size_t size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    file.write(reinterpret_cast<const char *>(data), qint64(size));
}
