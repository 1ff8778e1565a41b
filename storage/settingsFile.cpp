#include "storage/settingsFile.h"
#include "storage/plainFile.h"

#include <QDataStream>
#include <QFileInfo>
#include <QLockFile>
#include <QVariant>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace storage
{
namespace
{

enum Key { StartPos, MovableFlag, SelectColor, SelectFont, IsAutoStart, IsTopWindow, KeyCount };
const char *const keyNames[KeyCount] = {"startPos",   "movable_flag", "selectColor",
                                        "selectFont", "isAutoStart",  "isTopWindow"};

const QByteArray utf8ByteOrderMark = "\xEF\xBB\xBF";

// Blobs are written by the settings library in the stream format of Qt 4.0: a type id, then the
// value. A font is its family and a few numbers; a longer family is no font the note wrote.
constexpr int colourBlobSize = 4 + 11;
constexpr int largestFontBlob = 25 + 2 * 256;
constexpr double largestFontSize = 1e6;

// A line of the file: its text from `begin` to `end`, its line end up to `next`.
struct Line {
    int begin = 0;
    int end = 0;
    int next = 0;
};

// One of the note's keys in [config]; its value runs from `valueBegin` to the line's end.
struct KeyLine {
    Key key;
    Line line;
    int valueBegin = 0;
};

struct OwnLines {
    QVector<KeyLine> keys;
    int afterConfigHeader = -1; // where the first [config] header's line ends
    QByteArray lineEnd;         // the first line end of the file, if any
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// CR LF, LF or CR. A backslash escapes the next byte, so one before a line end carries the
// value on to the next line, as the settings library reads it.
Line lineAt(const QByteArray &content, int begin)
{
    const auto crLfAt = [&content](int i) {
        return i + 1 < content.size() && content[i] == '\r' && content[i + 1] == '\n';
    };
    int i = begin;
    while (i < content.size() && content[i] != '\n' && content[i] != '\r')
        i += content[i] == '\\' ? (crLfAt(i + 1) ? 3 : 2) : 1;
    const int end = std::min(i, int(content.size()));
    return Line{begin, end, end + (crLfAt(end) ? 2 : end < content.size())};
}

int keyIndex(const QByteArray &name)
{
    for (int key = 0; key < KeyCount; ++key) {
        if (name == keyNames[key])
            return key;
    }
    return -1;
}

// Finds the lines of the six keys in every [config] section. A section starts at a line whose
// first byte after blanks is '['; a key line is "name=value" with blanks allowed around the name.
OwnLines findOwnLines(const QByteArray &content)
{
    OwnLines found;
    bool inConfig = false;
    for (int pos = content.startsWith(utf8ByteOrderMark) ? 3 : 0; pos < content.size();) {
        const Line line = lineAt(content, pos);
        pos = line.next;
        if (found.lineEnd.isEmpty())
            found.lineEnd = content.mid(line.end, line.next - line.end);
        int first = line.begin;
        while (first < line.end && isBlank(content[first]))
            ++first;
        const QByteArray text = content.mid(first, line.end - first);
        if (text.startsWith('[')) {
            const int close = text.indexOf(']');
            inConfig = close > 0 && text.mid(1, close - 1).trimmed() == "config";
            if (inConfig && found.afterConfigHeader < 0)
                found.afterConfigHeader = line.next;
            continue;
        }
        const int equals = text.indexOf('=');
        int name = equals;
        while (name > 0 && isBlank(text[name - 1]))
            --name;
        const int key = inConfig && equals > 0 ? keyIndex(text.left(name)) : -1;
        if (key >= 0)
            found.keys.append({Key(key), line, first + equals + 1});
    }
    return found;
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The value as the settings library reads it, for the escapes and quotes that the library
// itself writes; false for any other form (a list, an unknown escape, raw control or 8-bit bytes).
bool unescapedValue(QByteArray value, QByteArray *text)
{
    while (!value.isEmpty() && isBlank(value.front()))
        value.remove(0, 1);
    while (!value.isEmpty() && isBlank(value.back()))
        value.chop(1);
    const bool quoted = value.size() >= 2 && value.startsWith('"') && value.endsWith('"');
    if (quoted)
        value = value.mid(1, value.size() - 2);
    static const char escapes[] = "a\ab\bf\fn\nr\rt\tv\v\"\"?"
                                  "?''\\\\"; // letter, byte
    text->clear();
    for (int i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (uchar(c) < 0x20 || uchar(c) >= 0x7F || c == '"' || (!quoted && (c == ',' || c == ';')))
            return false;
        if (c != '\\') {
            *text += c;
            continue;
        }
        if (++i == value.size())
            return false;
        const char e = value[i], next = i + 1 < value.size() ? value[i + 1] : '\0';
        const char *named = e ? std::strchr(escapes, e) : nullptr;
        if (named && (named - escapes) % 2 == 0) {
            *text += named[1];
        } else if (e == '0' && !(next >= '0' && next <= '7')) {
            *text += '\0';
        } else if (e == 'x' && isHexDigit(next)) {
            // The library reads every hex digit that follows, and writes at most two.
            const int digits = i + 2 < value.size() && isHexDigit(value[i + 2]) ? 2 : 1;
            if (i + 1 + digits < value.size() && isHexDigit(value[i + 1 + digits]))
                return false;
            *text += char(value.mid(i + 1, digits).toInt(nullptr, 16));
            i += digits;
        } else {
            return false;
        }
    }
    return true;
}

// The settings library's text for a value: iniEscapedString of Qt 5.15, for the Latin-1 text
// of a blob (every byte outside printable ASCII as an escape, a hex digit after a hex escape
// escaped too), quoted when it holds a separator or starts or ends with a space.
QByteArray escapedValue(const QByteArray &text)
{
    static const char named[] = "\aa\bb\ff\nn\rr\tt\vv";
    QByteArray result;
    bool needsQuotes = false, escapeNextIfDigit = false;
    for (const char c : text) {
        const uchar ch = uchar(c);
        needsQuotes = needsQuotes || c == ';' || c == ',' || c == '=';
        if (escapeNextIfDigit && isHexDigit(c)) {
            result += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeNextIfDigit = false;
        const char *escape = ch ? std::strchr(named, c) : nullptr;
        if (ch == 0) {
            result += "\\0";
            escapeNextIfDigit = true;
        } else if (escape && (escape - named) % 2 == 0) {
            result += '\\';
            result += escape[1];
        } else if (c == '"' || c == '\\') {
            result += '\\';
            result += c;
        } else if (ch <= 0x1F || ch >= 0x7F) {
            result += "\\x" + QByteArray::number(ch, 16);
            escapeNextIfDigit = true;
        } else {
            result += c;
        }
    }
    if (needsQuotes || result.startsWith(' ') || result.endsWith(' '))
        result = '"' + result + '"';
    return result;
}

template <typename T> QByteArray blobOf(const T &value)
{
    QByteArray blob;
    QDataStream stream(&blob, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_4_0);
    stream << QVariant(value);
    return blob;
}

// The blob inside "@Variant(...)", holding a value of `type` and nothing else, in a stream that
// is ready to read that value.
bool openBlob(const QByteArray &text, int type, QByteArray *blob)
{
    if (!text.startsWith("@Variant(") || !text.endsWith(')'))
        return false;
    *blob = text.mid(9, text.size() - 10);
    QDataStream stream(*blob);
    quint32 id = 0;
    stream >> id;
    return stream.status() == QDataStream::Ok && id == quint32(type);
}

template <typename T> bool readBlobValue(const QByteArray &blob, T *value)
{
    QDataStream stream(blob);
    stream.setVersion(QDataStream::Qt_4_0);
    stream.skipRawData(4);
    stream >> *value;
    return stream.status() == QDataStream::Ok && stream.atEnd();
}

// The colour model is checked before the colour is read: the stream stores it unchecked, and
// even copying a colour with an impossible model reads an invalid enum value.
QColor colourFrom(const QByteArray &text)
{
    QByteArray blob;
    QColor colour;
    if (openBlob(text, QMetaType::QColor, &blob)) {
        const int spec = blob.size() == colourBlobSize ? qint8(blob[4]) : -1;
        if (spec >= QColor::Invalid && spec <= QColor::ExtendedRgb && readBlobValue(blob, &colour))
            return colour;
        return QColor();
    }
    if (!text.startsWith('@'))
        colour.setNamedColor(QString::fromLatin1(text));
    return colour;
}

// A size that is no number, or too big to round to an int, would upset every later use.
QFont fontFrom(const QByteArray &text)
{
    QByteArray blob;
    QFont font;
    if (!openBlob(text, QMetaType::QFont, &blob) || blob.size() > largestFontBlob ||
        !readBlobValue(blob, &font))
        return QFont();
    const double points = font.pointSizeF();
    const bool sane = std::isfinite(points) && points >= -1 && points <= largestFontSize &&
                      font.pixelSize() >= -1 && font.pixelSize() <= largestFontSize;
    return sane ? font : QFont();
}

// A hand-edited boolean is false when empty, "0" or "false" in any letter case.
bool booleanFrom(const QByteArray &text)
{
    return !text.startsWith('@') && !text.isEmpty() && text != "0" && text.toLower() != "false";
}

// An int as the library writes it: digits, perhaps after a minus sign.
bool isPlainInt(const QByteArray &text, int *value)
{
    const QByteArray digits = text.startsWith('-') ? text.mid(1) : text;
    bool plain = !digits.isEmpty(), converted = false;
    for (const char c : digits)
        plain = plain && c >= '0' && c <= '9';
    *value = text.toInt(&converted);
    return plain && converted;
}

QPoint pointFrom(const QByteArray &text)
{
    if (!text.startsWith("@Point(") || !text.endsWith(')'))
        return QPoint();
    const QList<QByteArray> numbers = text.mid(7, text.size() - 8).split(' ');
    int x = 0, y = 0;
    if (numbers.size() != 2 || !isPlainInt(numbers[0], &x) || !isPlainInt(numbers[1], &y))
        return QPoint();
    return QPoint(x, y);
}

QByteArray valueText(Key key, const SetInfo &info)
{
    switch (key) {
    case StartPos:
        return "@Point(" + QByteArray::number(info.startPos.x()) + ' ' +
               QByteArray::number(info.startPos.y()) + ')';
    case MovableFlag:
        return info.movable_flag ? "true" : "false";
    case SelectColor:
        return escapedValue("@Variant(" + blobOf(info.selectColor) + ')');
    case SelectFont:
        return escapedValue("@Variant(" + blobOf(info.selectFont) + ')');
    case IsAutoStart:
        return info.isAutoStart ? "true" : "false";
    case IsTopWindow:
        return info.isTopWindow ? "true" : "false";
    case KeyCount:
        break;
    }
    return QByteArray();
}

QByteArray keyLine(Key key, const SetInfo &info)
{
    return QByteArray(keyNames[key]) + '=' + valueText(key, info);
}

// The settings library clears an abandoned lock by its owner's process id, but a save killed
// between creating the lock and writing its owner into it leaves a lock that names nobody, which
// the library would wait 30 s for. An owner writes itself in right after creating the lock, so a
// lock that still names nobody after half a second has none; it is cleared.
void clearOwnerlessLock(const QString &lockPath)
{
    QLockFile lock(lockPath);
    qint64 pid = 0;
    QString hostname, application;
    if (!QFileInfo::exists(lockPath) || lock.getLockInfo(&pid, &hostname, &application))
        return;
    lock.setStaleLockTime(500);
    if (lock.tryLock(1000))
        lock.unlock();
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

SetInfo parseSetInfo(const QByteArray &content)
{
    // The settings library reads the last of duplicate keys.
    QByteArray texts[KeyCount];
    bool present[KeyCount] = {};
    for (const KeyLine &found : findOwnLines(content).keys) {
        present[found.key] = true;
        if (!unescapedValue(content.mid(found.valueBegin, found.line.end - found.valueBegin),
                            &texts[found.key]))
            texts[found.key] = "@invalid";
    }
    if (!present[StartPos])
        return defaultSetInfo();
    SetInfo info;
    info.startPos = pointFrom(texts[StartPos]);
    info.movable_flag = present[MovableFlag] && booleanFrom(texts[MovableFlag]);
    info.selectColor = colourFrom(texts[SelectColor]);
    info.selectFont = fontFrom(texts[SelectFont]);
    info.isAutoStart = present[IsAutoStart] && booleanFrom(texts[IsAutoStart]);
    info.isTopWindow = present[IsTopWindow] && booleanFrom(texts[IsTopWindow]);
    return info;
}

QByteArray withSetInfo(const QByteArray &content, const SetInfo &info)
{
    const OwnLines own = findOwnLines(content);
    int last[KeyCount];
    std::fill(std::begin(last), std::end(last), -1);
    for (int i = 0; i < own.keys.size(); ++i)
        last[own.keys[i].key] = i;

    // Each key's last line takes its new text; earlier duplicates, which nobody reads, go.
    QByteArray result;
    // The first [config] header comes before every key line: its place is the same in the result.
    int from = 0, insertAt = own.afterConfigHeader;
    for (int i = 0; i < own.keys.size(); ++i) {
        const Line &line = own.keys[i].line;
        result += content.mid(from, line.begin - from);
        from = line.next;
        if (last[own.keys[i].key] != i)
            continue;
        result += keyLine(own.keys[i].key, info) + content.mid(line.end, line.next - line.end);
        insertAt = result.size();
    }
    result += content.mid(from);

    const bool keysMissing = std::find(std::begin(last), std::end(last), -1) != std::end(last);
    if (!keysMissing)
        return result;
    const bool newSection = insertAt < 0;
    if (newSection)
        insertAt = result.size();
    // New lines end like the line before them, so that a lone CR never meets a following LF.
    const int bom = result.startsWith(utf8ByteOrderMark) ? 3 : 0;
    const char before = insertAt > bom ? result[insertAt - 1] : '\0';
    QByteArray lineEnd = own.lineEnd.isEmpty() ? nativeLineEnd() : own.lineEnd;
    if (before == '\r')
        lineEnd = "\r";
    else if (before == '\n')
        lineEnd = insertAt - 2 >= bom && result[insertAt - 2] == '\r' ? "\r\n" : "\n";
    const bool lineEnded = insertAt <= bom || before == '\n' || before == '\r';
    QByteArray missing = lineEnded ? QByteArray() : lineEnd;
    // A blank line between sections, as the library writes them. It also ends the last line
    // where a backslash at the very end carries it on over the line end added above.
    if (newSection)
        missing += (insertAt > bom ? lineEnd : QByteArray()) + "[config]" + lineEnd;
    for (int key = 0; key < KeyCount; ++key) {
        if (last[key] < 0)
            missing += keyLine(Key(key), info) + lineEnd;
    }
    return result.insert(insertAt, missing);
}

QByteArray withoutOwnLines(const QByteArray &content)
{
    QByteArray rest;
    int from = 0;
    for (const KeyLine &found : findOwnLines(content).keys) {
        rest += content.mid(from, found.line.begin - from);
        from = found.line.next;
    }
    return rest + content.mid(from);
}

SetInfo readSetInfo(const QString &path)
{
    QByteArray content;
    readPlainFile(path, &content);
    return parseSetInfo(content);
}

bool writeSetInfo(const QString &path, const SetInfo &info, const QString &basePath)
{
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile())
        return false;
    // Other programs that keep groups of their own in the file save under the same lock.
    const QString lockPath = path + QStringLiteral(".lock");
    clearOwnerlessLock(lockPath);
    QLockFile lock(lockPath);
    if (!lock.lock())
        return false;
    QByteArray content;
    readPlainFile(basePath.isEmpty() ? path : basePath, &content);
    return replaceFile(path, withSetInfo(content, info));
}

} // namespace storage
