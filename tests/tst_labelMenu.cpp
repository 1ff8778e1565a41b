// The display label's right-click menu: its entries, their effects and the saves they cause.
#include "noteFixture.h"

#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

namespace
{

int liveMenus()
{
    int count = 0;
    for (QWidget *widget : QApplication::allWidgets())
        count += qobject_cast<QMenu *>(widget) ? 1 : 0;
    return count;
}

// Opens the label's menu and, once it runs, hands it to `act`.
void withMenu(QmyLabel *label, std::function<void(QMenu *)> act)
{
    bool ran = false;
    QTimer::singleShot(0, label, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        ran = true;
        act(menu);
    });
    emit label->customContextMenuRequested(QPoint(3, 3));
    QVERIFY(ran);
}

void chooseEntry(QmyLabel *label, const QString &text)
{
    withMenu(label, [&text](QMenu *menu) {
        for (QAction *action : menu->actions())
            if (action->text() == text) {
                action->trigger();
                menu->close();
                return;
            }
        QFAIL("entry missing");
    });
}

} // namespace

class LabelMenuTest : public QObject
{
    Q_OBJECT

private slots:
    void entriesInOrderWithIcons()
    {
        NoteFolder folder;
        auto w = folder.open();
        QStringList texts;
        withMenu(Access::ui(*w).label_show, [&texts](QMenu *menu) {
            for (QAction *action : menu->actions()) {
                texts << action->text();
                QVERIFY2(!action->icon().isNull(), qPrintable(action->text()));
                QVERIFY(action->isEnabled() && !action->isCheckable());
            }
            QCOMPARE(menu->parent(), nullptr);
            menu->close();
        });
        QCOMPARE(texts, QString::fromUtf8("关闭 锁定 浮动 置顶 浮空").split(' '));
    }

    void menuOpensAtPointer()
    {
        NoteFolder folder;
        auto w = folder.open();
        QCursor::setPos(321, 234);
        QPoint shownAt;
        withMenu(Access::ui(*w).label_show, [&shownAt](QMenu *menu) {
            shownAt = menu->pos();
            menu->close();
        });
        QCOMPARE(shownAt, QPoint(321, 234));
    }

    void dismissingChangesAndSavesNothing()
    {
        NoteFolder folder;
        auto w = folder.open();
        auto *label = Access::ui(*w).label_show;
        QSignalSpy saves(label, &QmyLabel::save_setInfo);
        for (int i = 0; i < 20; ++i)
            withMenu(label, [](QMenu *menu) { QTest::keyClick(menu, Qt::Key_Escape); });
        QCOMPARE(saves.count(), 0);
        QVERIFY(!folder.exists("setInfo.ini"));
        QVERIFY(g_movable);
        QTRY_COMPARE(liveMenus(), 0); // every menu is gone once its request returns
    }

    void entryEffects_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("startTop");
        QTest::addColumn<bool>("movable");
        QTest::addColumn<bool>("top");
        QTest::newRow("lock") << QString::fromUtf8("锁定") << false << false << false;
        QTest::newRow("lock keeps a stored pin")
            << QString::fromUtf8("锁定") << true << false << true;
        QTest::newRow("float") << QString::fromUtf8("浮动") << false << true << false;
        QTest::newRow("pin") << QString::fromUtf8("置顶") << false << true << true;
        QTest::newRow("release") << QString::fromUtf8("浮空") << true << true << false;
    }
    void entryEffects()
    {
        QFETCH(QString, entry);
        QFETCH(bool, startTop);
        QFETCH(bool, movable);
        QFETCH(bool, top);
        NoteFolder folder;
        folder.writeSettings({{"startPos", QPoint(12, 34)},
                              {"movable_flag", true},
                              {"isTopWindow", startTop},
                              {"selectColor", QColor(1, 2, 3)}});
        auto w = folder.open();
        auto *label = Access::ui(*w).label_show;
        const int flagsBefore = int(w->windowFlags());
        QSignalSpy saves(label, &QmyLabel::save_setInfo);
        for (int repeat = 1; repeat <= 2; ++repeat) { // choosing twice repeats effect and save
            chooseEntry(label, entry);
            QCOMPARE(saves.count(), repeat);
            QCOMPARE(g_movable, movable);
            QCOMPARE(label->isTop, top);
            QCOMPARE(folder.setting("movable_flag").toBool(), movable);
            QCOMPARE(folder.setting("isTopWindow").toBool(), top);
            QCOMPARE(folder.setting("startPos").toPoint(), QPoint(12, 34));
            QCOMPARE(folder.setting("selectColor").value<QColor>(), QColor(1, 2, 3));
        }
        QCOMPARE(int(w->windowFlags()), flagsBefore); // pinning never rebuilds the window
        QCOMPARE(w->pos(), QPoint(12, 34));
    }

    void closeEntrySavesOnceAndQuits()
    {
        NoteFolder folder;
        auto w = folder.open();
        auto *label = Access::ui(*w).label_show;
        QSignalSpy closeMain(label, &QmyLabel::close_main);
        QSignalSpy quitting(w.get(), &deskMemo::closeAllWindows);
        QSignalSpy saves(label, &QmyLabel::save_setInfo);
        chooseEntry(label, QString::fromUtf8("置顶"));
        chooseEntry(label, QString::fromUtf8("关闭"));
        QCOMPARE(closeMain.count(), 1);
        QCOMPARE(quitting.count(), 1);
        QCOMPARE(saves.count(), 1); // the pin's save; the close saves through the window
        QCOMPARE(folder.setting("isTopWindow").toBool(), true);
        QVERIFY(!folder.exists("myText"));
    }

    void doubleClickSignals_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("left") << int(Qt::LeftButton);
        QTest::newRow("right") << int(Qt::RightButton);
        QTest::newRow("middle") << int(Qt::MiddleButton);
    }
    void doubleClickSignals()
    {
        QFETCH(int, button);
        NoteFolder folder;
        auto w = folder.open();
        auto *label = Access::ui(*w).label_show;
        QSignalSpy doubleClicks(label, &QmyLabel::double_clicked);
        QTest::mouseClick(label, Qt::LeftButton);
        QCOMPARE(doubleClicks.count(), 0);
        QTest::mouseDClick(label, Qt::MouseButton(button));
        QCOMPARE(doubleClicks.count(), 1);
    }
};

QTEST_MAIN(LabelMenuTest)
#include "tst_labelMenu.moc"
