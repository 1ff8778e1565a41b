#include "storage/noteTextFile.h"
#include "storage/plainFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextCodec>

namespace storage
{
namespace
{

const char utf8ByteOrderMark[] = "\xEF\xBB\xBF";

QString withLineFeeds(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

QString decodeNoteText(const QByteArray &bytes, QTextCodec *localCodec)
{
    QTextCodec *codec = QTextCodec::codecForUtfText(bytes, localCodec);
    QString text = codec->toUnicode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return withLineFeeds(text);
}

QByteArray encodeNoteText(const QString &text, QTextCodec *localCodec)
{
    QString withCrLf = text;
    withCrLf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    if (localCodec->canEncode(withCrLf))
        return localCodec->fromUnicode(withCrLf);
    return QByteArray(utf8ByteOrderMark) + withCrLf.toUtf8();
}

bool readNoteText(const QString &path, QString *text)
{
    if (!isMissingOrPlainFile(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The size was checked, but the file may have grown since.
    const QByteArray bytes = file.read(largestStoredFile + 1);
    if (bytes.size() > largestStoredFile)
        return false;
    *text = decodeNoteText(bytes, QTextCodec::codecForLocale());
    return true;
}

bool writeNoteText(const QString &path, const QString &text)
{
    // A new text replaces even an oversized file, but never a directory, pipe or device.
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(encodeNoteText(text, QTextCodec::codecForLocale()));
    return file.commit();
}

} // namespace storage
