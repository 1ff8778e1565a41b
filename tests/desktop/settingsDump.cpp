// Prints the [config] values of a settings file as plain text, one "key=value" line each,
// so that the desktop tests can read the colour and font that the file holds in binary form.
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPoint>
#include <QSettings>
#include <QTextStream>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 2;
    QSettings settings(QString::fromLocal8Bit(argv[1]), QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("config"));
    QTextStream out(stdout);
    const QStringList keys = settings.childKeys();
    for (const QString &key : keys) {
        const QVariant value = settings.value(key);
        out << key << '=';
        switch (value.userType()) {
        case QMetaType::QPoint:
            out << value.toPoint().x() << ',' << value.toPoint().y();
            break;
        case QMetaType::QColor:
            out << value.value<QColor>().name(QColor::HexArgb);
            break;
        case QMetaType::QFont:
            out << value.value<QFont>().family() << ',' << value.value<QFont>().pointSize();
            break;
        default:
            out << value.toString();
        }
        out << '\n';
    }
    return settings.status() == QSettings::NoError ? 0 : 1;
}
