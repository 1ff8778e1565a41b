#include "storage/iniLines.h"

#include "storage/plainFile.h"

#include <QString>

#include <algorithm>

namespace storage
{
namespace
{

const QByteArray byteOrderMark = utf8ByteOrderMark;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

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

bool sameName(const QByteArray &a, const QByteArray &b, Qt::CaseSensitivity nameCase)
{
    return QString::fromLatin1(a).compare(QString::fromLatin1(b), nameCase) == 0;
}

int keyIndex(const QByteArray &name, const QByteArrayList &names, Qt::CaseSensitivity nameCase)
{
    for (int key = 0; key < names.size(); ++key) {
        if (sameName(name, names[key], nameCase))
            return key;
    }
    return -1;
}

// A backslash at the very end of a line that has no line end escapes the line end a splice
// would put there: the line would run on into the next one.
bool endsInOpenEscape(const QByteArray &content, int at)
{
    int backslashes = 0;
    while (at - backslashes > 0 && content[at - backslashes - 1] == '\\')
        ++backslashes;
    return backslashes % 2 == 1;
}

} // namespace

KeyLines findKeyLines(const QByteArray &content, const QByteArray &section,
                      const QByteArrayList &names, Qt::CaseSensitivity nameCase)
{
    KeyLines found;
    bool inSection = false;
    for (int pos = content.startsWith(byteOrderMark) ? 3 : 0; pos < content.size();) {
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
            inSection = close > 0 && sameName(text.mid(1, close - 1).trimmed(), section, nameCase);
            if (inSection && found.afterSectionHeader < 0)
                found.afterSectionHeader = line.next;
            continue;
        }
        const int equals = text.indexOf('=');
        int name = equals;
        while (name > 0 && isBlank(text[name - 1]))
            --name;
        const int key = inSection && equals > 0 ? keyIndex(text.left(name), names, nameCase) : -1;
        if (key >= 0)
            found.keys.append({key, line, first + equals + 1});
    }
    return found;
}

QByteArray withKeyLines(const QByteArray &content, const QByteArray &section,
                        const QByteArrayList &names, const QByteArrayList &lines,
                        Qt::CaseSensitivity nameCase)
{
    const KeyLines own = findKeyLines(content, section, names, nameCase);
    QVector<int> last(names.size(), -1);
    for (int i = 0; i < own.keys.size(); ++i)
        last[own.keys[i].key] = i;

    QByteArray result;
    // The first header comes before every key line: its place is the same in the result.
    int from = 0, insertAt = own.afterSectionHeader;
    for (int i = 0; i < own.keys.size(); ++i) {
        const Line &line = own.keys[i].line;
        result += content.mid(from, line.begin - from);
        from = line.next;
        if (last[own.keys[i].key] != i)
            continue;
        result += lines[own.keys[i].key] + content.mid(line.end, line.next - line.end);
        insertAt = result.size();
    }
    result += content.mid(from);

    if (!last.contains(-1))
        return result;
    const bool newSection = insertAt < 0;
    if (newSection)
        insertAt = result.size();
    // New lines end like the line before them, so that a lone CR never meets a following LF.
    const int bom = result.startsWith(byteOrderMark) ? 3 : 0;
    const char before = insertAt > bom ? result[insertAt - 1] : '\0';
    QByteArray lineEnd = own.lineEnd.isEmpty() ? nativeLineEnd() : own.lineEnd;
    if (before == '\r')
        lineEnd = "\r";
    else if (before == '\n')
        lineEnd = insertAt - 2 >= bom && result[insertAt - 2] == '\r' ? "\r\n" : "\n";
    const bool lineEnded = insertAt <= bom || before == '\n' || before == '\r';
    QByteArray missing = lineEnded ? QByteArray() : lineEnd;
    // An escaped line end carries the last line on: a second one ends it. Before a new section
    // the blank line that comes first does that.
    if (!lineEnded && !newSection && endsInOpenEscape(result, insertAt))
        missing += lineEnd;
    // A blank line between sections, as the library writes them.
    if (newSection)
        missing += (insertAt > bom ? lineEnd : QByteArray()) + '[' + section + ']' + lineEnd;
    for (int key = 0; key < names.size(); ++key) {
        if (last[key] < 0)
            missing += lines[key] + lineEnd;
    }
    return result.insert(insertAt, missing);
}

QByteArray withoutKeyLines(const QByteArray &content, const QByteArray &section,
                           const QByteArrayList &names, Qt::CaseSensitivity nameCase)
{
    QByteArray rest;
    int from = 0;
    for (const KeyLine &found : findKeyLines(content, section, names, nameCase).keys) {
        rest += content.mid(from, found.line.begin - from);
        from = found.line.next;
    }
    return rest + content.mid(from);
}

} // namespace storage
