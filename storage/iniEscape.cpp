#include "storage/iniEscape.h"

#include <cstring>

namespace storage
{
namespace
{

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The value up to a comment: the library reads a ';' outside quotes as the end of the line.
QByteArray withoutComment(const QByteArray &value)
{
    bool quoted = false;
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] == '\\')
            ++i;
        else if (value[i] == '"')
            quoted = !quoted;
        else if (value[i] == ';' && !quoted)
            return value.left(i);
    }
    return value;
}

QByteArray trimmedBlanks(QByteArray value)
{
    while (!value.isEmpty() && isBlank(value.front()))
        value.remove(0, 1);
    while (!value.isEmpty() && isBlank(value.back()))
        value.chop(1);
    return value;
}

} // namespace

bool unescapedValue(const QByteArray &line, QByteArray *text)
{
    QByteArray value = trimmedBlanks(withoutComment(line));
    const bool quoted = value.size() >= 2 && value.startsWith('"') && value.endsWith('"');
    if (quoted)
        value = value.mid(1, value.size() - 2);
    static const char escapes[] = "a\ab\bf\fn\nr\rt\tv\v\"\"?"
                                  "?''\\\\"; // letter, byte
    text->clear();
    for (int i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (uchar(c) < 0x20 || uchar(c) >= 0x7F || c == '"' || (!quoted && c == ','))
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

} // namespace storage
