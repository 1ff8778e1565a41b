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
QList<QString> valueElements(const QByteArray &line, int from)
{
    static const char codes[] = {'a', '\a', 'b', '\b', 'f', '\f', 'n',  '\n', 'r',  '\r', 't', '\t',
                                 'v', '\v', '"', '"',  '?', '?',  '\'', '\'', '\\', '\\', '\0'};
    QList<QString> elements{QString()};
    bool quoted = false;
    int i = from;
    const auto skipSpaces = [&] {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
    };
    skipSpaces();
    while (i < line.size()) {
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
        } else if (i < line.size()) {
            const char e = line[i++];
            const char *code = std::strchr(codes, e);
            if (e != '\0' && code && (code - codes) % 2 == 0) {
                elements.last() += QLatin1Char(code[1]);
            } else if (e == 'x' || (e >= '0' && e <= '7')) {
                const int base = e == 'x' ? 16 : 8;
                uint value = e == 'x' ? 0 : uint(e - '0');
                bool digits = e != 'x';
                for (bool ok = true; i < line.size(); ++i) {
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
    // Lines as the library sees them, a backslash at the end continuing a value.
    // CR LF, LF CR and a lone CR end a line as LF does.
    QByteArray line;
    QByteArray unified = content;
    unified.replace("\r\n", "\n").replace("\n\r", "\n").replace('\r', '\n');
    const QList<QByteArray> rawLines = unified.split('\n');
    for (int n = 0; n < rawLines.size(); ++n) {
        line += rawLines[n];
        int backslashes = 0;
        while (backslashes < line.size() && line[line.size() - 1 - backslashes] == '\\')
            ++backslashes;
        if (backslashes % 2 == 1 && n + 1 < rawLines.size()) {
            line.chop(1);
            continue;
        }
        const int equals = line.indexOf('=');
        if (equals >= 0) {
            for (const QString &element : valueElements(line, equals + 1)) {
                if (!namesKnownType(element.trimmed()))
                    return false;
            }
        }
        line.clear();
    }
    return true;
}

} // namespace storage
