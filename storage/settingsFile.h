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
// A key that is missing or doesn't convert gives its type's empty value.
SetInfo readSetInfo(const QString &path);

// Writes all six keys into [config] and keeps every other group and key of the file.
// The file is replaced in one step. A file that is unsafe to read (see settingsGuard.h) is
// replaced by one with the six keys only. False when it could not be written.
bool writeSetInfo(const QString &path, const SetInfo &info);

} // namespace storage
