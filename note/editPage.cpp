#include "note/deskMemo.h"
#include "note/roleColor.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QTextDocument>

// Both pickers start from the applied value, so a second pick replaces the first one. The
// dialogs belong to the note window: the window manager keeps them above it also while the note
// is pinned, where a dialog of its own would open beneath the note and could not be reached.
void deskMemo::pickColor()
{
    editColor = QColorDialog::getColor(setInfo.selectColor, this, QString());
    if (!editColor.isValid())
        editColor = setInfo.selectColor;
    setRoleColor(ui.textEdit, QPalette::Text, editColor);
}

void deskMemo::pickFont()
{
    bool accepted = false;
    editFont = QFontDialog::getFont(&accepted, setInfo.selectFont, this, QString());
    ui.textEdit->setFont(editFont);
}

void deskMemo::applyEdit()
{
    setInfo.selectColor = editColor;
    setInfo.selectFont = editFont;
    loadSettings(false);
    setRoleColor(ui.label_show, QPalette::WindowText, setInfo.selectColor);
    ui.label_show->setFont(setInfo.selectFont);
    // An empty editor keeps the current note.
    if (!ui.textEdit->document()->isEmpty()) {
        noteText = ui.textEdit->toPlainText();
        loadText(false);
        ui.label_show->setText(noteText);
    }
    ui.stackedWidget->setCurrentIndex(0);
    // The lines of the text have new places; a page change alone misses that when the display
    // page was showing already.
    updateInputShape();
}

void deskMemo::cancelEdit()
{
    ui.stackedWidget->setCurrentIndex(0);
    editColor = setInfo.selectColor;
    editFont = setInfo.selectFont;
    setRoleColor(ui.textEdit, QPalette::Text, setInfo.selectColor);
    ui.textEdit->setFont(setInfo.selectFont);
}

void deskMemo::showInfoDialog()
{
    auto *dialog = new QDialog(this);
    infoUi.setupUi(dialog);
    dialog->show();
    connect(infoUi.cancelButton, &QAbstractButton::clicked, dialog, &QWidget::close);
}
