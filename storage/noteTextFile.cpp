#include "storage/noteTextFile.h"

#include <QFile>
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *text = decodeNoteText(file.readAll(), QTextCodec::codecForLocale());
    return true;
}

bool writeNoteText(const QString &path, const QString &text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(encodeNoteText(text, QTextCodec::codecForLocale()));
    return file.commit();
}

} // namespace storage
