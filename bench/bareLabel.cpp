// The yardstick: the smallest Qt Widgets program that shows a window, one QLabel.
#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("Hello"));
    label.show();
    return app.exec();
}
