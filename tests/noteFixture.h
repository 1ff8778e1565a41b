#pragma once

// Shared by the window tests: a note whose files live in a temporary folder of its own.
#include "note/deskMemo.h"
#include "note/dragging.h"
#include "storage/storageLocation.h"
#include "testSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

// Lets the tests read the window's private state.
struct deskMemoTestAccess {
    static const QString &noteText(const deskMemo &w) { return w.noteText; }
    static const SetInfo &setInfo(const deskMemo &w) { return w.setInfo; }
    static const QColor &editColor(const deskMemo &w) { return w.editColor; }
    static const QFont &editFont(const deskMemo &w) { return w.editFont; }
    static const storage::NotePlace &place(const deskMemo &w) { return w.noteStore.place(); }
    static QString appDir(const deskMemo &w) { return place(w).live; }
    static Ui_deskMemoClass &ui(deskMemo &w) { return w.ui; }
    static Ui_Dialog &infoUi(deskMemo &w) { return w.infoUi; }
    static QRegion textArea(const deskMemo &w) { return w.textArea(); }
};
using Access = deskMemoTestAccess;

// Opens the edit page as a double-click on the text does: its widgets are built then.
inline Ui_deskMemoClass &openEditPage(deskMemo &w)
{
    emit Access::ui(w).label_show->double_clicked();
    return Access::ui(w);
}

// Answers each message box the note shows while this lives, as a person would, with `answer`,
// and keeps what the boxes said.
class MessageBoxes
{
public:
    explicit MessageBoxes(QMessageBox::StandardButton answer = QMessageBox::Ok)
    {
        QObject::connect(&watch, &QTimer::timeout, [this, answer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            texts << box->text();
            QAbstractButton *button = box->button(answer);
            (button ? button : box->defaultButton())->click();
        });
        watch.start(5);
    }
    QStringList texts;

private:
    QTimer watch;
};

class NoteFolder
{
public:
    // Each note of the tests has a folder of its own; the per-user data folder starts empty.
    NoteFolder()
    {
        storage::setExecutablePathOverride(dir.filePath("deskMemo"));
        QDir(storage::perUserDataDirectory()).removeRecursively();
    }
    ~NoteFolder()
    {
        storage::setExecutablePathOverride(QString());
        QDir(storage::perUserDataDirectory()).removeRecursively();
    }

    QString path(const QString &name) const { return dir.filePath(name); }

    QByteArray read(const QString &name) const { return readFile(path(name)); }
    bool exists(const QString &name) const { return QFile::exists(path(name)); }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
    // Writes a complete settings file with the given changes to the first-run values.
    void writeSettings(const QVariantMap &values) const
    {
        QSettings settings(path("setInfo.ini"), QSettings::IniFormat);
        settings.beginGroup("config");
        settings.setValue("startPos", QPoint(500, 500));
        for (auto it = values.begin(); it != values.end(); ++it)
            settings.setValue(it.key(), it.value());
    }
    QVariant setting(const QString &key) const
    {
        return QSettings(path("setInfo.ini"), QSettings::IniFormat).value("config/" + key);
    }

    std::unique_ptr<deskMemo> open() const
    {
        g_movable = true;
        return std::make_unique<deskMemo>();
    }

private:
    QTemporaryDir dir;
};
