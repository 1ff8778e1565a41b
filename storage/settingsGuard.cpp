#include "storage/settingsGuard.h"

#include <QColor>
#include <QDataStream>
#include <QDate>
#include <QString>
#include <QVariant>

#include <climits>

#include <cstring>

namespace storage
{
namespace
{

// A value as the settings library reads it: escapes resolved (\a \b \f \n \r \t \v \" \? \' \\,
// \x with any number of hex digits, \ with any number of octal digits, \ before a line break
// continuing the line), double quotes toggling
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
            } else if (e == '\n' || e == '\r') { // a line break, of one or two characters
                if (i < to && (line[i] == '\n' || line[i] == '\r') && line[i] != e)
                    ++i;
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

// The types whose stream readers take only what the blob holds: fixed-size fields and strings
// or byte arrays that are read in pieces as far as the data goes.
bool isPlainType(int type)
{
    switch (type) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::QChar:
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QBitArray:
    case QMetaType::QDate:
    case QMetaType::QTime:
    case QMetaType::QUrl:
    case QMetaType::QLocale:
    case QMetaType::QRect:
    case QMetaType::QRectF:
    case QMetaType::QSize:
    case QMetaType::QSizeF:
    case QMetaType::QLine:
    case QMetaType::QLineF:
    case QMetaType::QPoint:
    case QMetaType::QPointF:
    case QMetaType::QUuid:
    case QMetaType::Long:
    case QMetaType::Short:
    case QMetaType::Char:
    case QMetaType::ULong:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::Float:
    case QMetaType::SChar:
    case QMetaType::QRegularExpression:
    case QMetaType::QJsonValue:
    case QMetaType::QJsonObject:
    case QMetaType::QJsonArray:
    case QMetaType::QJsonDocument:
    case QMetaType::Nullptr:
    case QMetaType::QFont:
    case QMetaType::QColor:
    case QMetaType::QKeySequence:
    case QMetaType::QTextLength:
    case QMetaType::QMatrix:
    case QMetaType::QTransform:
    case QMetaType::QMatrix4x4:
    case QMetaType::QVector2D:
    case QMetaType::QVector3D:
    case QMetaType::QVector4D:
    case QMetaType::QQuaternion:
    case QMetaType::QSizePolicy:
        return true;
    default:
        return false;
    }
}

// Stored values nest a few levels at most; the library's reader recurses once per level.
const int deepestNesting = 32;

// Follows one variant through the stream exactly as QVariant's reader takes it, and says
// whether that reader can be let loose on it. Where a type's reader is harmless, that reader
// itself consumes the variant, so that the walk stays where the library's reader would be.
class VariantWalk
{
public:
    explicit VariantWalk(QDataStream &stream) : s(stream) {}

    bool variant(int depth)
    {
        if (depth > deepestNesting)
            return false;
        const qint64 start = s.device()->pos();
        const QDataStream::Status before = s.status();
        int type = typeNumber();
        if (type == QMetaType::User) {
            QByteArray name;
            s >> name;
            type = QMetaType::type(name.constData());
            if (type == QMetaType::UnknownType) {
                s.setStatus(QDataStream::ReadCorruptData); // the reader stops there too
                return true;
            }
            if (type >= QMetaType::User)
                return false; // another program's type: no telling what its reader does
        }
        switch (type) {
        case QMetaType::QVariantList:
            return arrayOfVariants(depth);
        case QMetaType::QVariantMap:
        case QMetaType::QVariantHash:
            return mapOfVariants(depth);
        case QMetaType::QVariant:
            return variant(depth + 1);
        case QMetaType::QStringList:
        case QMetaType::QByteArrayList:
            return countFits(4) && readWhole(start, before);
        case QMetaType::QPolygon:
            return countFits(8) && readWhole(start, before);
        case QMetaType::QPolygonF:
            return countFits(16) && readWhole(start, before);
        case QMetaType::QBrush:
            return brush() && readWhole(start, before);
        case QMetaType::QDateTime:
            return dateTimeWithoutZone() && readWhole(start, before);
        default:
            if (isPlainType(type) || !QMetaType::isRegistered(type))
                return readWhole(start, before);
            return false;
        }
    }

private:
    // The type number, translated from the numbering of old streams as the reader does it, and
    // the null flag that newer streams carry.
    int typeNumber()
    {
        quint32 type = 0;
        s >> type;
        if (s.version() < QDataStream::Qt_5_0) {
            if (type == 127)
                type = QMetaType::User;
            else if (type >= 128 && type != quint32(QMetaType::User))
                type -= 97;
            else if (type == 75)
                type = QMetaType::QSizePolicy;
            else if (type > 75 && type <= 86)
                type -= 1;
        }
        if (s.version() >= QDataStream::Qt_4_2) {
            qint8 isNull = 0;
            s >> isNull;
        }
        return type > quint32(INT_MAX) ? int(QMetaType::UnknownType) : int(type);
    }

    // The reader reserves room for the count it reads before it reads a single element.
    bool countFits(qint64 smallestElement)
    {
        quint32 count = 0;
        s >> count;
        return count <= s.device()->bytesAvailable() / smallestElement;
    }

    bool readWhole(qint64 start, QDataStream::Status before)
    {
        s.device()->seek(start);
        s.resetStatus();
        s.setStatus(before);
        QVariant value;
        s >> value;
        return true;
    }

    bool arrayOfVariants(int depth)
    {
        QtPrivate::StreamStateSaver saver(&s);
        quint32 count = 0;
        s >> count;
        if (count > s.device()->bytesAvailable() / 4)
            return false;
        for (quint32 i = 0; i < count; ++i) {
            if (!variant(depth + 1))
                return false;
            if (s.status() != QDataStream::Ok)
                break;
        }
        return true;
    }

    bool mapOfVariants(int depth)
    {
        QtPrivate::StreamStateSaver saver(&s);
        quint32 count = 0;
        s >> count;
        for (quint32 i = 0; i < count; ++i) {
            QString key;
            s >> key;
            if (!variant(depth + 1))
                return false;
            if (s.status() != QDataStream::Ok)
                break;
        }
        return true;
    }

    // A brush may carry an image, and a gradient's stops are counted.
    bool brush()
    {
        quint8 style = 0;
        QColor colour;
        s >> style >> colour;
        if (style == Qt::TexturePattern)
            return false;
        if (style != Qt::LinearGradientPattern && style != Qt::RadialGradientPattern &&
            style != Qt::ConicalGradientPattern)
            return true;
        const int fields = s.version() >= QDataStream::Qt_4_5   ? 4
                           : s.version() >= QDataStream::Qt_4_3 ? 3
                                                                : 1;
        for (int i = 0; i < fields; ++i) {
            qint32 field = 0;
            s >> field;
        }
        const qint64 stopSize = 8 + 11; // a double and a colour
        return countFits(stopSize);
    }

    // A named time zone is looked up in the system's zone files by a name taken from the blob,
    // and a time marked as zoned without a zone (or as of an unknown kind, which may end up
    // the same) crashes the library when it writes the value back. Local time, UTC and an
    // offset from it pass.
    bool dateTimeWithoutZone()
    {
        QDate date;
        QTime time;
        qint8 spec = 0;
        s >> date >> time >> spec;
        if (s.version() >= QDataStream::Qt_5_2)
            return spec == Qt::LocalTime || spec == Qt::UTC || spec == Qt::OffsetFromUTC;
        const int oldZoneSpec = 4; // older streams number the kinds of time their own way
        return spec != oldZoneSpec;
    }

    QDataStream &s;
};

// Whether the settings library can read a value element without harm.
bool isSafeValue(const QString &element)
{
    if (!element.startsWith(QLatin1Char('@')) || !element.endsWith(QLatin1Char(')')))
        return true;
    static const QString variant = QStringLiteral("@Variant("),
                         dateTime = QStringLiteral("@DateTime(");
    // As the library takes it: the closing parenthesis stays part of the stream.
    QByteArray blob;
    QDataStream::Version version;
    if (element.startsWith(variant)) {
        blob = element.mid(variant.size()).toLatin1();
        version = QDataStream::Qt_4_0;
    } else if (element.startsWith(dateTime)) {
        blob = element.mid(dateTime.size()).toLatin1();
        version = QDataStream::Qt_5_6;
    } else {
        return true;
    }
    QDataStream stream(blob);
    stream.setVersion(version);
    return VariantWalk(stream).variant(0);
}

} // namespace

QList<SettingsEntry> unsafeEntries(const QByteArray &content)
{
    QList<SettingsEntry> unsafe;
    QByteArray section;
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
        if (lineStart >= size)
            continue;
        if (content[lineStart] == '[') { // up to its ']', or the whole line
            const int close = content.indexOf(']', lineStart);
            section =
                content.mid(lineStart, (close < 0 || close >= i ? i - 1 : close) + 1 - lineStart);
            continue;
        }
        if (equals < 0)
            continue;
        for (const QString &element : valueElements(content, equals + 1, i)) {
            if (!isSafeValue(element.trimmed())) {
                unsafe.append(
                    {lineStart, i, section, content.mid(lineStart, equals - lineStart).trimmed()});
                break;
            }
        }
    }
    return unsafe;
}

} // namespace storage
