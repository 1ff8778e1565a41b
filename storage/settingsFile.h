#pragma once

#include <QByteArray>
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

// The six values from the bytes of a settings file. Only the note's own key lines of [config]
// are looked at; nothing else in the file is parsed, and the settings library never sees it.
// Without startPos there the defaults apply. A value counts only in a form that the settings
// library writes for it: true or false (any other text reads as a hand-edited boolean),
// @Point(x y), a colour or font blob that holds exactly a colour or a font of sane size, or a
// colour as text (#RRGGBB, a colour name), each perhaps followed by a "; comment". A key that
// is missing or holds anything else gives its type's empty value. On Windows section and key
// names match regardless of letter case, as the settings library matches them there.
SetInfo parseSetInfo(const QByteArray &content);

// `content` with the six values in it: each key's line is replaced where it stands, a key
// missing from [config] is added there, and a file without [config] gets one at its end. The
// lines are the settings library's own text for the values. Every other byte (other groups,
// other keys, comments, blank lines, a byte-order mark, CR LF) stays as it is.
QByteArray withSetInfo(const QByteArray &content, const SetInfo &info);

// `content` without the lines of the six keys in [config]: what a save keeps as it is.
QByteArray withoutOwnLines(const QByteArray &content);

// parseSetInfo on the file; a file that is missing, unreadable or no plain file of a sane size
// gives the defaults.
SetInfo readSetInfo(const QString &path);

// Writes the six values into the file at `path`, around the bytes of the file at `basePath` (by
// default the same file), under the note's lock on the folder (see FolderLock). The file is
// replaced in one step (see replaceFile); a base too big to read leaves just the six keys.
// False, with the reason in `why`, when it could not be written.
bool writeSetInfo(const QString &path, const SetInfo &info, const QString &basePath = QString(),
                  QString *why = nullptr);

} // namespace storage
