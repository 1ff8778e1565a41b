// The design floor: the least Qt needs to show what the note shows at its first start, a
// frameless, translucent 760×580 tool window with the default text in the display label's font
// and colour at the label's place, and nothing else. The benchmark starts it with Qt's OpenGL
// integration off, as the note runs, and like the note it follows the screen's scale.
//
// It can be dragged with the left button like the note, so that the CPU a motion event costs
// can be compared with the note's.
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QWidget>

namespace
{

class FloorWindow : public QWidget
{
protected:
    void mousePressEvent(QMouseEvent *event) override { grabOffset = event->pos(); }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (event->buttons() == Qt::LeftButton)
            move(event->globalPos() - grabOffset);
    }

private:
    QPoint grabOffset;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
    QApplication app(argc, argv);
    FloorWindow window;
    window.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    window.setAttribute(Qt::WA_TranslucentBackground);
    window.setGeometry(500, 500, 760, 580);

    QLabel label(QString::fromUtf8("桌面文字便签"), &window);
    label.setGeometry(60, 30, 651, 521);
    label.setFont(QFont(QString::fromUtf8("黑体"), 16));
    QPalette palette = label.palette();
    palette.setBrush(QPalette::All, QPalette::WindowText, QColor(255, 127, 35));
    label.setPalette(palette);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label.setWordWrap(true);

    window.show();
    return app.exec();
}
