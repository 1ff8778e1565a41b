// The note's six keys of the settings file: how each value is read from its text and written
// as the settings library writes it. One row of the table per key.
#include "storage/iniEscape.h"
#include "storage/iniLines.h"
#include "storage/plainFile.h"
#include "storage/settingsFile.h"

#include <QDataStream>
#include <QVariant>

#include <cmath>
#include <functional>

namespace storage
{
namespace
{

const QByteArray section = "config";

// Blobs are written by the settings library in the stream format of Qt 4.0: a type id, then the
// value. A font is its family and a few numbers; a longer family is no font the note wrote.
constexpr int colourBlobSize = 4 + 11;
constexpr int largestFontBlob = 25 + 2 * 256;
constexpr double largestFontSize = 1e6;

template <typename T> QByteArray blobOf(const T &value)
{
    QByteArray blob;
    QDataStream stream(&blob, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_4_0);
    stream << QVariant(value);
    return escapedValue("@Variant(" + blob + ')');
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
QColor colourFrom(const QByteArray *text)
{
    QByteArray blob;
    QColor colour;
    if (!text)
        return colour;
    if (openBlob(*text, QMetaType::QColor, &blob)) {
        const int colourModel = blob.size() == colourBlobSize ? qint8(blob[4]) : -1;
        if (colourModel >= QColor::Invalid && colourModel <= QColor::ExtendedRgb &&
            readBlobValue(blob, &colour))
            return colour;
        return QColor();
    }
    if (!text->startsWith('@'))
        colour.setNamedColor(QString::fromLatin1(*text));
    return colour;
}

// A size that is no number, or too big to round to an int, would upset every later use.
QFont fontFrom(const QByteArray *text)
{
    QByteArray blob;
    QFont font;
    if (!text || !openBlob(*text, QMetaType::QFont, &blob) || blob.size() > largestFontBlob ||
        !readBlobValue(blob, &font))
        return QFont();
    const double points = font.pointSizeF();
    const bool sane = std::isfinite(points) && points >= -1 && points <= largestFontSize &&
                      font.pixelSize() >= -1 && font.pixelSize() <= largestFontSize;
    return sane ? font : QFont();
}

// A hand-edited boolean is false when missing, empty, "0" or "false" in any letter case.
bool booleanFrom(const QByteArray *text)
{
    return text && !text->startsWith('@') && !text->isEmpty() && *text != "0" &&
           text->toLower() != "false";
}

QByteArray booleanText(const bool &value)
{
    return value ? "true" : "false";
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

QPoint pointFrom(const QByteArray *text)
{
    if (!text || !text->startsWith("@Point(") || !text->endsWith(')'))
        return QPoint();
    const QList<QByteArray> numbers = text->mid(7, text->size() - 8).split(' ');
    int x = 0, y = 0;
    if (numbers.size() != 2 || !isPlainInt(numbers[0], &x) || !isPlainInt(numbers[1], &y))
        return QPoint();
    return QPoint(x, y);
}

QByteArray pointText(const QPoint &point)
{
    return "@Point(" + QByteArray::number(point.x()) + ' ' + QByteArray::number(point.y()) + ')';
}

// One key: its name, how its value is read (from its unescaped text, or null when the key is
// missing) and how it is written.
struct KeyCodec {
    const char *name;
    std::function<void(const QByteArray *text, SetInfo *info)> read;
    std::function<QByteArray(const SetInfo &info)> write;
};

template <typename T>
KeyCodec codec(const char *name, T SetInfo::*field, T (*from)(const QByteArray *),
               QByteArray (*text)(const T &))
{
    return {name, [=](const QByteArray *value, SetInfo *info) { info->*field = from(value); },
            [=](const SetInfo &info) {
                return text(info.*field);
            }};
}

// In the order a save adds them to a file that lacks them. The first key decides whether the
// file holds settings at all.
const KeyCodec keys[] = {
    codec("startPos", &SetInfo::startPos, pointFrom, pointText),
    codec("movable_flag", &SetInfo::movable_flag, booleanFrom, booleanText),
    codec("selectColor", &SetInfo::selectColor, colourFrom, blobOf<QColor>),
    codec("selectFont", &SetInfo::selectFont, fontFrom, blobOf<QFont>),
    codec("isAutoStart", &SetInfo::isAutoStart, booleanFrom, booleanText),
    codec("isTopWindow", &SetInfo::isTopWindow, booleanFrom, booleanText),
};
constexpr int keyCount = int(sizeof keys / sizeof keys[0]);

const QByteArrayList &keyNames()
{
    static const QByteArrayList names = [] {
        QByteArrayList list;
        for (const KeyCodec &key : keys)
            list << key.name;
        return list;
    }();
    return names;
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
    // The settings library reads the last of duplicate keys. A value it would not read as one
    // string is no value the note wrote: it gives the key's empty value.
    QByteArray texts[keyCount];
    bool present[keyCount] = {};
    for (const KeyLine &found : findKeyLines(content, section, keyNames(), iniNameCase()).keys) {
        present[found.key] = true;
        if (!unescapedValue(content.mid(found.valueBegin, found.line.end - found.valueBegin),
                            &texts[found.key]))
            texts[found.key] = "@invalid";
    }
    if (!present[0])
        return defaultSetInfo();
    SetInfo info;
    for (int key = 0; key < keyCount; ++key)
        keys[key].read(present[key] ? &texts[key] : nullptr, &info);
    return info;
}

QByteArray withSetInfo(const QByteArray &content, const SetInfo &info)
{
    QByteArrayList lines;
    for (const KeyCodec &key : keys)
        lines << QByteArray(key.name) + '=' + key.write(info);
    return withKeyLines(content, section, keyNames(), lines, iniNameCase());
}

QByteArray withoutOwnLines(const QByteArray &content)
{
    return withoutKeyLines(content, section, keyNames(), iniNameCase());
}

} // namespace storage
