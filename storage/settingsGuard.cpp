#include "storage/settingsGuard.h"

#include <QList>
#include <QString>

#include <cstring>

namespace storage
{
namespace
{

// A value as the settings library reads it: escapes resolved (\a \b \f \n \r \t \v \" \? \' \\,
// \x with any number of hex digits, \ with any number of octal digits), double quotes toggling
// quoted text, and a comma outside quotes starting the next element of a list.
QList<QString> valueElements(const QByteArray &line, int from, int to)
{
    static const char codes[] = {'a', '\a', 'b', '\b', 'f', '\f', 'n',  '\n', 'r',  '\r', 't', '\t',
                                 'v', '\v', '"', '"',  '?', '?',  '\'', '\'', '\\', '\\', '\0'};
    QList<QString> elements{QString()};
    bool quoted = false;
    int i = from;
    const auto skipSpaces = [&] {
        while (i < to && (line[i] == ' ' || line[i] == '\t'))
            ++i;
    };
    skipSpaces();
    while (i < to) {
        const char c = line[i++];
        if (c == '"') {
            quoted = !quoted;
            if (!quoted)
                skipSpaces();
        } else if (c == ',' && !quoted) {
            elements.append(QString());
            skipSpaces();
        } else if (c != '\\') {
            elements.last() += QLatin1Char(c);
        } else if (i < to) {
            const char e = line[i++];
            const char *code = std::strchr(codes, e);
            if (e != '\0' && code && (code - codes) % 2 == 0) {
                elements.last() += QLatin1Char(code[1]);
            } else if (e == 'x' || (e >= '0' && e <= '7')) {
                const int base = e == 'x' ? 16 : 8;
                uint value = e == 'x' ? 0 : uint(e - '0');
                bool digits = e != 'x';
                for (bool ok = true; i < to; ++i) {
                    const uint digit = QString(QLatin1Char(line[i])).toUInt(&ok, base);
                    if (!ok)
                        break;
                    value = value * base + digit;
                    digits = true;
                }
                if (digits)
                    elements.last() += QChar(ushort(value));
            }
        }
    }
    return elements;
}

// The stream's type number of a "@Variant(" element (the first four bytes, big-endian).
bool namesKnownType(const QString &element)
{
    static const QString prefix = QStringLiteral("@Variant(");
    if (!element.startsWith(prefix) || !element.endsWith(QLatin1Char(')')))
        return true;
    const QByteArray blob = element.mid(prefix.size()).toLatin1();
    if (blob.size() < 4)
        return true; // too short to name a type: the library reads nothing
    const uint type = uint(uchar(blob[0])) << 24 | uint(uchar(blob[1])) << 16 |
                      uint(uchar(blob[2])) << 8 | uint(uchar(blob[3]));
    const uint font = 64, colour = 67; // the numbers the stream uses for these two types
    return type == font || type == colour;
}

} // namespace

bool hasOnlyKnownVariants(const QByteArray &content)
{
    // Lines as the settings library splits them: a backslash escapes the next character (a line
    // end too), quotes may span lines, ';' starts a comment, and the first '=' outside quotes
    // ends the key. A line that starts with '[' names a section.
    const int size = content.size();
    int i = 0;
    while (i < size) {
        int lineStart = i;
        while (lineStart < size && std::strchr(" \t\n\r\f\v", content[lineStart]) &&
               content[lineStart] != '\0')
            ++lineStart;
        if (lineStart >= size)
            break;
        bool inQuotes = false;
        int equals = -1;
        i = lineStart;
        while (i < size) {
            const char c = content[i++];
            if (c == '=') {
                if (!inQuotes && equals < 0)
                    equals = i - 1;
            } else if (c == '\n' || c == '\r') {
                if (!inQuotes) {
                    --i;
                    break;
                }
            } else if (c == '\\') {
                if (i < size) {
                    const char next = content[i++];
                    if (i < size && ((next == '\n' && content[i] == '\r') ||
                                     (next == '\r' && content[i] == '\n')))
                        ++i;
                }
            } else if (c == '"') {
                inQuotes = !inQuotes;
            } else if (c == ';') {
                if (i == lineStart + 1) {
                    while (i < size && content[i] != '\n' && content[i] != '\r')
                        ++i;
                    while (i < size && std::strchr(" \t\n\r\f\v", content[i]) && content[i] != '\0')
                        ++i;
                    lineStart = i;
                } else if (!inQuotes) {
                    --i;
                    break;
                }
            }
        }
        if (lineStart >= size || content[lineStart] == '[' || equals < 0)
            continue;
        for (const QString &element : valueElements(content, equals + 1, i)) {
            if (!namesKnownType(element.trimmed()))
                return false;
        }
    }
    return true;
}

} // namespace storage
