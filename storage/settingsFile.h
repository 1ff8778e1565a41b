#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QString>

// The six values kept in the settings file, in the order a save writes them.
struct SetInfo {
    QPoint startPos;
    bool movable_flag = true;
    QColor selectColor;
    QFont selectFont;
    bool isAutoStart = false;
    bool isTopWindow = false;
};

namespace storage
{

// First-run values: at (500, 500), draggable, orange 16-point "黑体", no autostart, not on top.
SetInfo defaultSetInfo();

// Reads [config]; without a startPos key there the whole file is ignored and the defaults apply.
// A key that is missing or doesn't convert gives its type's empty value. Entries that the
// settings library can't read without harm (see settingsGuard.h) are left out, whatever group
// they are in; a file that is no plain file of a sane size gives the defaults.
SetInfo readSetInfo(const QString &path);

// Writes all six keys into [config] and keeps every other group and key of the file: entries
// the settings library can't read are kept as they stood, after what it writes. The file is
// replaced in one step; one too big to read is replaced by one with the six keys. Directories,
// pipes and devices are left alone. False when it could not be written.
bool writeSetInfo(const QString &path, const SetInfo &info);

} // namespace storage
