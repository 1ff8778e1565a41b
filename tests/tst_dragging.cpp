// Dragging the note window with the mouse.
#include "noteFixture.h"

#include <QMouseEvent>
#include <QtTest>

namespace
{

// Sends a press at `local` (window coordinates) and a move by `travel` to the window.
void dragWindow(QWidget *window, QPoint local, QPoint travel, Qt::MouseButtons held)
{
    const QPoint start = window->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, start, Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(window, &press);
    QMouseEvent move(QEvent::MouseMove, local + travel, start + travel, Qt::NoButton, held,
                     Qt::NoModifier);
    QApplication::sendEvent(window, &move);
}

} // namespace

class DraggingTest : public QObject
{
    Q_OBJECT

private slots:
    void drag_data()
    {
        QTest::addColumn<bool>("movable");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<bool>("moves");
        QTest::newRow("left alone") << true << int(Qt::LeftButton) << true;
        QTest::newRow("locked") << false << int(Qt::LeftButton) << false;
        QTest::newRow("left and right") << true << int(Qt::LeftButton | Qt::RightButton) << false;
        QTest::newRow("right alone") << true << int(Qt::RightButton) << false;
        QTest::newRow("middle alone") << true << int(Qt::MiddleButton) << false;
    }
    void drag()
    {
        QFETCH(bool, movable);
        QFETCH(int, buttons);
        QFETCH(bool, moves);
        NoteFolder folder;
        auto w = folder.open();
        w->show();
        g_movable = movable;
        const QPoint travel(-37, 615);
        dragWindow(w.get(), QPoint(100, 50), travel, Qt::MouseButtons(buttons));
        const QPoint expected = moves ? QPoint(500, 500) + travel : QPoint(500, 500);
        QCOMPARE(w->pos(), expected);
        QCOMPARE(Access::setInfo(*w).startPos, expected);
        QVERIFY(!folder.exists("setInfo.ini")); // a drag writes nothing

        w->close(); // the next save holds the last position
        QCOMPARE(folder.setting("startPos").toPoint(), expected);
    }

    void dragStartsOnTheDisplayText()
    {
        NoteFolder folder;
        auto w = folder.open();
        w->show();
        auto *label = Access::ui(*w).label_show;
        QTest::mousePress(label, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
        QMouseEvent move(QEvent::MouseMove, QPoint(30, 15), label->mapToGlobal(QPoint(30, 15)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(label, &move);
        QCOMPARE(w->pos(), QPoint(520, 505));
    }

    void unlockingDoesNotJump()
    {
        NoteFolder folder;
        folder.writeSettings({{"movable_flag", false}});
        auto w = folder.open();
        w->show();
        QVERIFY(!g_movable);
        dragWindow(w.get(), QPoint(10, 10), QPoint(200, 200), Qt::LeftButton);
        QCOMPARE(w->pos(), QPoint(500, 500));

        g_movable = true; // the float entry
        dragWindow(w.get(), QPoint(300, 40), QPoint(5, -7), Qt::LeftButton);
        QCOMPARE(w->pos(), QPoint(505, 493));
    }
};

QTEST_MAIN(DraggingTest)
#include "tst_dragging.moc"
