#include "label/QmyLabel.h"

#include "note/dragging.h"
#include "platform/windowSystem.h"

#include <QIcon>
#include <QMenu>

#include <memory>

QmyLabel::QmyLabel(QWidget *parent) : QLabel(parent)
{
    isTop = false;
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QLabel::customContextMenuRequested, this, &QmyLabel::showContextMenu);
}

// The menu opens where the pointer is now; the request's own position is not needed.
void QmyLabel::showContextMenu(QPoint)
{
    const auto menu = std::make_unique<QMenu>();
    const auto addEntry = [&menu](const QString &text, const char *icon) {
        QAction *action = menu->addAction(text);
        action->setIcon(QIcon(QString::fromUtf8(icon)));
        return action;
    };
    QAction *closeEntry = addEntry(tr("关闭"), ":/deskMemo/Image/close.ico");
    QAction *lockEntry = addEntry(tr("锁定"), ":/deskMemo/Image/locked.ico");
    QAction *floatEntry = addEntry(tr("浮动"), ":/deskMemo/Image/unlocked.ico");
    QAction *pinEntry = addEntry(tr("置顶"), ":/deskMemo/Image/top.ico");
    QAction *releaseEntry = addEntry(tr("浮空"), ":/deskMemo/Image/cancelTop.ico");

    connect(closeEntry, &QAction::triggered, [this] { close(); });
    connect(lockEntry, &QAction::triggered, [this] { setMovable(false); });
    connect(floatEntry, &QAction::triggered, [this] { setMovable(true); });
    connect(pinEntry, &QAction::triggered, [this] { setPinned(true); });
    connect(releaseEntry, &QAction::triggered, [this] { setPinned(false); });

    // The menu is put there before it is first shown: a Wayland compositor places a menu where
    // it first appears and lets no program move it later.
    const QPoint where = platform::windowSystem().pointerNow();
    menu->move(where);
    menu->show();
    menu->activateWindow();
    menu->exec(where);
}

void QmyLabel::setMovable(bool movable)
{
    g_movable = movable;
    emit save_setInfo();
}

void QmyLabel::setPinned(bool pinned)
{
    platform::windowSystem().setKeepAbove(window(), pinned);
    isTop = pinned;
    emit save_setInfo();
}

void QmyLabel::mouseDoubleClickEvent(QMouseEvent *)
{
    emit double_clicked();
}

void QmyLabel::closeEvent(QCloseEvent *)
{
    emit close_main();
}
