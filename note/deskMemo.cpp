#include "note/deskMemo.h"
#include "note/roleColor.h"

#include "autostart/autostart.h"
#include "note/dragging.h"
#include "note/placement.h"
#include "platform/windowSystem.h"

#include <QMessageBox>

deskMemo::deskMemo(QWidget *parent) : QWidget(parent)
{
    loadText(true);
    loadSettings(true);
    ui.setupUi(this);
    ui.label_show->setText(noteText);
    applyAppearance();
    ui.stackedWidget->setCurrentIndex(0);
    // The position is checked before the window first moves. The stored field follows, so the
    // next save keeps the window where it can be seen.
    setInfo.startPos = reachablePosition();
    platform::windowSystem().placeWindow(this, setInfo.startPos);
    connectHandlers();
    followScreens();
}

deskMemo::~deskMemo() = default;

void deskMemo::applyAppearance()
{
    g_movable = setInfo.movable_flag;
    ui.label_show->isTop = setInfo.isTopWindow;
    setRoleColor(ui.label_show, QPalette::WindowText, setInfo.selectColor);
    ui.label_show->setFont(setInfo.selectFont);

    const Qt::WindowFlags noteFlags = Qt::Tool | Qt::FramelessWindowHint;
    setWindowFlags(setInfo.isTopWindow ? noteFlags | Qt::WindowStaysOnTopHint : noteFlags);
}

void deskMemo::connectHandlers()
{
    connect(ui.label_show, &QmyLabel::double_clicked, [this] { showEditPage(); });
    connect(ui.label_show, &QmyLabel::close_main, [this] {
        setInfo.isTopWindow = ui.label_show->isTop;
        close();
    });
    connect(ui.label_show, &QmyLabel::save_setInfo, [this] { loadSettings(false); });
    connect(ui.stackedWidget, &QStackedWidget::currentChanged, [this] { updateInputShape(); });
}

void deskMemo::registerAutoStart()
{
    if (!autostart::enable())
        QMessageBox::warning(nullptr, QString::fromUtf8("警告"),
                             QString::fromUtf8("\n系统参数错误,不能随系统启动n"), QMessageBox::Ok,
                             QMessageBox::NoButton);
}

void deskMemo::closeEvent(QCloseEvent *)
{
    setInfo.movable_flag = g_movable;
    loadSettings(false);
    emit closeAllWindows();
}

void deskMemo::loadText(bool load)
{
    if (!load) {
        noteStore.saveText(noteText);
        return;
    }
    if (!noteStore.loadText(&noteText))
        noteText = QString::fromUtf8("桌面文字便签");
}

void deskMemo::loadSettings(bool load)
{
    if (load) {
        setInfo = noteStore.loadSettings();
        editColor = setInfo.selectColor;
        editFont = setInfo.selectFont;
        return;
    }
    setInfo.isTopWindow = ui.label_show->isTop;
    setInfo.movable_flag = g_movable;
    noteStore.saveSettings(setInfo);
}
