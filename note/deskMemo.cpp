#include "note/deskMemo.h"
#include "note/roleColor.h"

#include "autostart/autostart.h"
#include "note/dragging.h"
#include "note/placement.h"
#include "platform/windowSystem.h"

#include <QDir>
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
        // The label hides itself once this returns; a note that stays open shows it again.
        if (!close())
            QMetaObject::invokeMethod(
                ui.label_show, [this] { ui.label_show->show(); }, Qt::QueuedConnection);
    });
    connect(ui.label_show, &QmyLabel::save_setInfo, [this] { tellAboutSave(loadSettings(false)); });
    connect(ui.stackedWidget, &QStackedWidget::currentChanged, [this] { updateInputShape(); });
}

void deskMemo::registerAutoStart()
{
    if (!autostart::enable())
        QMessageBox::warning(nullptr, tr("警告"), tr("\n系统参数错误,不能随系统启动n"),
                             QMessageBox::Ok, QMessageBox::NoButton);
}

void deskMemo::closeEvent(QCloseEvent *event)
{
    setInfo.movable_flag = g_movable;
    if (!loadSettings(false) && !closingForSystem && !mayCloseUnsaved()) {
        event->ignore();
        return;
    }
    emit closeAllWindows();
}

bool deskMemo::closeForSystem(QString *why)
{
    closingForSystem = true;
    close();
    if (!noteStore.hasUnsavedChanges())
        return true;
    *why = refusalLines(noteStore.refusals()).replace(QLatin1Char('\n'), QStringLiteral("; "));
    return false;
}

// Nothing is lost when nothing was changed since the last save that succeeded.
bool deskMemo::mayCloseUnsaved()
{
    if (!noteStore.hasUnsavedChanges())
        return true;
    return QMessageBox::question(this, tr("关闭"),
                                 tr("修改没能保存：\n%1\n仍然关闭吗？关闭后这些修改就丢失了。")
                                     .arg(refusalLines(noteStore.refusals())),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

// A save that no folder took says so; the note keeps what was not saved, and the next save
// writes it. A note file that had to be left as it was (in the way, too big to read) is told
// about once.
void deskMemo::tellAboutSave(bool saved)
{
    if (!saved) {
        QMessageBox::warning(this, tr("没有保存"),
                             tr("便签没能保存，这些文件夹都不接受：\n%1\n"
                                "修改留在便签里：解决问题后再保存一次即可。")
                                 .arg(refusalLines(noteStore.refusals())));
        return;
    }
    const QVector<storage::Refusal> leftAlone = noteStore.takeFilesLeftAlone();
    if (leftAlone.isEmpty() || toldWhereNoteWent)
        return;
    toldWhereNoteWent = true;
    QMessageBox::information(
        this, tr("便签换了地方"),
        tr("%1\n便签从现在起保存在 %2。")
            .arg(refusalLines(leftAlone), QDir::toNativeSeparators(noteStore.place().live)));
}

QString deskMemo::refusalLines(const QVector<storage::Refusal> &refusals)
{
    QStringList lines;
    for (const storage::Refusal &refusal : refusals)
        lines << QDir::toNativeSeparators(refusal.folder) + QStringLiteral(": ") + refusal.reason;
    return lines.join(QLatin1Char('\n'));
}

bool deskMemo::loadText(bool load)
{
    if (!load)
        return noteStore.saveText(noteText);
    if (!noteStore.loadText(&noteText))
        noteText = tr("桌面文字便签");
    return true;
}

bool deskMemo::loadSettings(bool load)
{
    if (load) {
        setInfo = noteStore.loadSettings();
        editColor = setInfo.selectColor;
        editFont = setInfo.selectFont;
        return true;
    }
    setInfo.isTopWindow = ui.label_show->isTop;
    setInfo.movable_flag = g_movable;
    return noteStore.saveSettings(setInfo);
}
