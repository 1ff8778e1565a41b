#pragma once

// Small helpers the test suites share.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTextCodec>

// The whole file, or nothing when it can't be read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// `text` in the named encoding without a byte-order mark: Qt's UTF-16 and UTF-32 encoders add
// one of their own unless told not to.
inline QByteArray encodeWithoutMark(const char *codec, const QString &text)
{
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    return QTextCodec::codecForName(codec)->fromUnicode(text.constData(), text.size(), &state);
}
