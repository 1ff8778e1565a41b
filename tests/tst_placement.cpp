// Where the note opens when the screens have changed since it was last placed.
#include "note/placement.h"
#include "noteFixture.h"

#include <QScreen>
#include <QtTest>

using Areas = QVector<QRect>;

class PlacementTest : public QObject
{
    Q_OBJECT

private slots:
    void layouts_data()
    {
        QTest::addColumn<QPoint>("startPos");
        QTest::addColumn<Areas>("areas");
        QTest::addColumn<QRect>("primary");
        QTest::addColumn<QPoint>("expected");
        const QRect hd(0, 0, 1920, 1080);
        const QRect right(1920, 0, 1920, 1080);
        const QRect left(-1280, 0, 1280, 1024);
        const QRect below(0, 1080, 1280, 1024); // an L: narrower screen under the main one
        QTest::newRow("on screen") << QPoint(12, 34) << Areas{hd} << hd << QPoint(12, 34);
        QTest::newRow("mostly off, a corner of the text shows")
            << QPoint(-150, -40) << Areas{hd} << hd << QPoint(-150, -40);
        QTest::newRow("text above the top edge, the rest of the window on screen")
            << QPoint(500, -60) << Areas{hd} << hd << QPoint(500, 500);
        QTest::newRow("text one pixel past the left edge")
            << QPoint(-192, 100) << Areas{hd} << hd << QPoint(500, 500);
        QTest::newRow("one pixel of the text on screen")
            << QPoint(-191, 100) << Areas{hd} << hd << QPoint(-191, 100);
        QTest::newRow("text touching the right edge only")
            << QPoint(1920 - 62, 100) << Areas{hd} << hd << QPoint(500, 500);
        QTest::newRow("right monitor present")
            << QPoint(2500, 300) << Areas{hd, right} << hd << QPoint(2500, 300);
        QTest::newRow("right monitor unplugged")
            << QPoint(2500, 300) << Areas{hd} << hd << QPoint(500, 500);
        QTest::newRow("left monitor, negative coordinates")
            << QPoint(-1000, 200) << Areas{hd, left} << hd << QPoint(-1000, 200);
        QTest::newRow("left monitor unplugged")
            << QPoint(-1000, 200) << Areas{hd} << hd << QPoint(500, 500);
        QTest::newRow("L-shape, on the lower screen")
            << QPoint(1000, 1200) << Areas{hd, below} << hd << QPoint(1000, 1200);
        QTest::newRow("L-shape, text in the corner that no screen covers")
            << QPoint(1500, 1200) << Areas{hd, below} << hd << QPoint(500, 500);
        QTest::newRow("L-shape, text partly in that corner")
            << QPoint(1200, 1200) << Areas{hd, below} << hd << QPoint(1200, 1200);
        QTest::newRow("under the taskbar only")
            << QPoint(100, 1020) << Areas{QRect(0, 0, 1920, 1040)} << QRect(0, 0, 1920, 1040)
            << QPoint(500, 500);
        QTest::newRow("small screen, the text not whole at (500, 500)")
            << QPoint(3000, 3000) << Areas{QRect(0, 0, 640, 480)} << QRect(0, 0, 640, 480)
            << QPoint(0, 0);
        QTest::newRow("only screen at negative coordinates")
            << QPoint(3000, 3000) << Areas{QRect(-1920, -200, 1920, 1080)}
            << QRect(-1920, -200, 1920, 1080) << QPoint(-1920, -200);
        QTest::newRow("primary's top-left, not the first screen's")
            << QPoint(9000, 9000) << Areas{QRect(-1920, -200, 1920, 1080), QRect(4000, 0, 800, 600)}
            << QRect(4000, 0, 800, 600) << QPoint(4000, 0);
        QTest::newRow("largest position")
            << QPoint(INT_MAX, INT_MAX) << Areas{hd} << hd << QPoint(500, 500);
        QTest::newRow("smallest position")
            << QPoint(INT_MIN, INT_MIN) << Areas{hd} << hd << QPoint(500, 500);
        QTest::newRow("no screen at all")
            << QPoint(9000, 9000) << Areas{} << QRect() << QPoint(9000, 9000);
    }
    void layouts()
    {
        QFETCH(QPoint, startPos);
        QFETCH(Areas, areas);
        QFETCH(QRect, primary);
        QFETCH(QPoint, expected);
        // About where the default text is drawn in the window.
        const QRect text(62, 33, 130, 24);
        QCOMPARE(reachableStartPos(startPos, text, areas, primary), expected);
    }

    // The same rule through the window, on the offscreen platform's one screen.
    void windowOpensWhereItCanBeSeen_data()
    {
        QTest::addColumn<QPoint>("stored");
        QTest::addColumn<QPoint>("opened");
        QTest::newRow("far away") << QPoint(5000, 5000) << QPoint(500, 500);
        QTest::newRow("text above the screen") << QPoint(500, -60) << QPoint(500, 500);
        QTest::newRow("a corner of the text shows") << QPoint(-100, -40) << QPoint(-100, -40);
    }
    void windowOpensWhereItCanBeSeen()
    {
        QFETCH(QPoint, stored);
        QFETCH(QPoint, opened);
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 800, 600));
        NoteFolder folder;
        folder.writeSettings({{"startPos", stored}});
        auto w = folder.open();
        QCOMPARE(w->pos(), opened);
        w->close(); // the save keeps the place the window really has
        QCOMPARE(folder.setting("startPos").toPoint(), opened);
    }
};

QTEST_MAIN(PlacementTest)
#include "tst_placement.moc"
