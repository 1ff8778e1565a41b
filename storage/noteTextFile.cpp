#include "storage/noteTextFile.h"
#include "storage/plainFile.h"

#include <QFileInfo>
#include <QTextCodec>

namespace storage
{
namespace
{

QString withLineFeeds(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// A damaged UTF-16 file can hold half of a surrogate pair, which no save could write back:
// it becomes U+FFFD, like any other undecodable sequence.
QString withoutLoneSurrogates(QString text)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

} // namespace

// The codec drops the byte-order mark itself; a second U+FEFF is part of the text.
QString decodeNoteText(const QByteArray &bytes, QTextCodec *localCodec)
{
    QTextCodec *codec = QTextCodec::codecForUtfText(bytes, localCodec);
    return withLineFeeds(withoutLoneSurrogates(codec->toUnicode(bytes)));
}

QByteArray encodeNoteText(const QString &text, QTextCodec *localCodec)
{
    QString withCrLf = text;
    withCrLf.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    // Only bytes that read back as the same text will do: Windows' own code page conversion
    // turns what it can't hold into '?' (or a look-alike) without telling, so the codec can't
    // be asked whether it can encode the text.
    const QByteArray local = localCodec->fromUnicode(withCrLf);
    // Local bytes that begin like a byte-order mark (a leading U+FEFF, "ÿþ" in Latin-1) would be
    // read back in the wrong encoding.
    if (localCodec->toUnicode(local) == withCrLf && !QTextCodec::codecForUtfText(local, nullptr))
        return local;
    return QByteArray(utf8ByteOrderMark) + withCrLf.toUtf8();
}

bool readNoteText(const QString &path, QString *text)
{
    QByteArray bytes;
    if (!readPlainFile(path, &bytes))
        return false;
    *text = decodeNoteText(bytes, QTextCodec::codecForLocale());
    return true;
}

bool writeNoteText(const QString &path, const QString &text, QString *why)
{
    QString reason;
    const FolderLock lock(QFileInfo(path).absolutePath() + QLatin1Char('/'));
    const bool written =
        lock.isHeld(&reason) && mayReplace(path, &reason) &&
        replaceFile(path, encodeNoteText(text, QTextCodec::codecForLocale()), &reason);
    if (why)
        *why = reason;
    return written;
}

} // namespace storage
