#include "autostart/desktopEntry.h"

namespace autostart
{
namespace
{

bool isReserved(QChar c)
{
    return c.unicode() < 0x20 || QStringLiteral(" \"'\\><~|&;$*?#()`").contains(c);
}

} // namespace

QString execValue(const QString &program)
{
    if (program.isEmpty())
        return QString();
    bool quote = false;
    for (const QChar c : program) {
        const ushort code = c.unicode();
        if ((code < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') &&
             c != QLatin1Char('\r')) ||
            code == 0x7F)
            return QString();
        quote = quote || isReserved(c);
    }

    // The quoting level: what the launcher splits into arguments.
    QString argument;
    if (quote) {
        argument += QLatin1Char('"');
        for (const QChar c : program) {
            if (QStringLiteral("\"`$\\").contains(c))
                argument += QLatin1Char('\\');
            argument += c;
        }
        argument += QLatin1Char('"');
    } else {
        argument = program;
    }

    // The string level of the key file, and the field codes: % is the only one we can hold.
    QString value;
    for (const QChar c : argument) {
        switch (c.unicode()) {
        case '\\':
            value += QLatin1String("\\\\");
            break;
        case '\n':
            value += QLatin1String("\\n");
            break;
        case '\t':
            value += QLatin1String("\\t");
            break;
        case '\r':
            value += QLatin1String("\\r");
            break;
        case '%':
            value += QLatin1String("%%");
            break;
        default:
            value += c;
        }
    }
    return value;
}

QByteArray desktopEntry(const QString &program)
{
    const QString exec = execValue(program);
    if (exec.isEmpty())
        return QByteArray();
    return QByteArrayLiteral("[Desktop Entry]\n"
                             "Type=Application\n"
                             "Name=deskMemo\n") +
           QStringLiteral("Comment=桌面文字便签\n").toUtf8() + "Exec=" + exec.toUtf8() +
           "\n"
           "Icon=deskMemo\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

} // namespace autostart
