#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QVector>

namespace storage
{

// The lines of a settings file as the settings library reads them, without parsing more of the
// file than the note's own keys: a line ends at CR LF, LF or CR, unless a backslash escapes that
// line end, which carries the line on. A section starts at a line whose first byte after blanks
// is '['; a key line is "name=value", with blanks allowed around the name. Names compare in
// `nameCase`, as the library compares them on the system at hand (see iniNameCase).
struct Line {
    int begin = 0; // its text runs from here to `end`
    int end = 0;
    int next = 0; // its line end runs from `end` to here
};

// One of the wanted keys in the wanted section: `key` indexes the names asked for; its value
// runs from `valueBegin` to the line's end.
struct KeyLine {
    int key = 0;
    Line line;
    int valueBegin = 0;
};

struct KeyLines {
    QVector<KeyLine> keys;       // in the order of the file, duplicates included
    int afterSectionHeader = -1; // where the first header line of the section ends
    QByteArray lineEnd;          // the first line end of the file, if any
};

// The lines of the keys named `names` in every section named `section`.
KeyLines findKeyLines(const QByteArray &content, const QByteArray &section,
                      const QByteArrayList &names, Qt::CaseSensitivity nameCase);

// `content` with each named key's last line replaced by `lines[key]` where it stands (earlier
// duplicates, which nobody reads, go), keys missing from the section added after the last key
// line of the section or after its header, and a section added at the end when the file has
// none. New lines end like the line before them. Every other byte stays as it is.
QByteArray withKeyLines(const QByteArray &content, const QByteArray &section,
                        const QByteArrayList &names, const QByteArrayList &lines,
                        Qt::CaseSensitivity nameCase);

// `content` without the lines of the named keys in the section.
QByteArray withoutKeyLines(const QByteArray &content, const QByteArray &section,
                           const QByteArrayList &names, Qt::CaseSensitivity nameCase);

} // namespace storage
