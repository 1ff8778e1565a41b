#include "autostart/desktopEntry.h"

#include <QStringList>

#include <algorithm>

namespace autostart
{
namespace
{

bool isReserved(QChar c)
{
    return c.unicode() < 0x20 || QStringLiteral(" \"'\\><~|&;$*?#()`").contains(c);
}

// The quoting level: what the launcher splits into arguments.
QString quotedArgument(const QString &argument)
{
    if (std::none_of(argument.begin(), argument.end(), isReserved))
        return argument;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (QStringLiteral("\"`$\\").contains(c))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

// The string level of the key file, and the field codes: % is the only one we can hold.
QString escapedValue(const QString &commandLine)
{
    QString value;
    for (const QChar c : commandLine) {
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

} // namespace

QString execValue(const QString &program)
{
    if (program.isEmpty())
        return QString();
    for (const QChar c : program) {
        const ushort code = c.unicode();
        if ((code < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n') &&
             c != QLatin1Char('\r')) ||
            code == 0x7F)
            return QString();
    }
    // systemd's autostart generator looks the program up before it turns %% into %, and finds
    // no program whose path holds a %. As the argument of a shell that runs it, the path is
    // read alike by the generator and by GLib's launcher. (env would take a path with '=' for
    // a variable.)
    QStringList arguments;
    if (program.contains(QLatin1Char('%')))
        arguments << QStringLiteral("/bin/sh") << QStringLiteral("-c")
                  << QStringLiteral("exec \"$0\"");
    arguments << program;
    QStringList quoted;
    for (const QString &argument : arguments)
        quoted << quotedArgument(argument);
    return escapedValue(quoted.join(QLatin1Char(' ')));
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
