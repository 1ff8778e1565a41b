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
    if (!isMissingOrPlainFile(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // In pieces: the size was checked, but the file may have grown since.
    QByteArray bytes;
    for (QByteArray piece; !(piece = file.read(64 * 1024)).isEmpty();) {
        bytes += piece;
        if (bytes.size() > largestStoredFile)
            return false;
    }
    *text = decodeNoteText(bytes, QTextCodec::codecForLocale());
    return true;
}

bool writeNoteText(const QString &path, const QString &text)
{
    // A new text replaces even an oversized file, but never a directory, pipe or device.
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile())
        return false;
    // A file its owner can't read holds nothing the note could show. It is replaced like any
    // other (root's saves already do), but the new file takes over the old one's permissions:
    // the owner gets reading and writing back first, so that the next start can read the text.
    if (existing.exists() && !existing.isReadable())
        QFile::setPermissions(path, existing.permissions() | QFileDevice::ReadOwner |
                                        QFileDevice::WriteOwner);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(encodeNoteText(text, QTextCodec::codecForLocale()));
    return file.commit();
}

} // namespace storage
