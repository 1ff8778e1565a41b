#pragma once

#include "note/noteForm.h"
#include "storage/noteStore.h"
#include "ui_infoDialog.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRegion>
#include <QString>
#include <QWidget>

// The note window: a frameless, translucent tool window with a display page that shows the
// note text and an edit page to change text, colour, font and autostart.
class deskMemo : public QWidget
{
    Q_OBJECT

public:
    explicit deskMemo(QWidget *parent = nullptr);
    ~deskMemo() override;

    // Closes the note for the system (the end of the session, a kill), asking nobody anything.
    // False when changes could not be saved; `why` then says where and why, in English.
    bool closeForSystem(QString *why);

signals:
    void closeAllWindows();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    friend struct deskMemoTestAccess;

    void applyAppearance();
    void connectHandlers();
    void showEditPage();
    void buildEditPage();
    void applyEditPageAppearance();
    void connectEditPageHandlers();
    bool loadText(bool load);
    bool loadSettings(bool load);
    void tellAboutSave(bool saved);
    bool mayCloseUnsaved();
    static QString refusalLines(const QVector<storage::Refusal> &refusals);

    QPoint reachablePosition() const;
    void followScreens();

    void updateInputShape();
    void setInputShape(const QRegion &area);
    QRegion textArea() const;
    QRegion controlsArea() const;

    void applyEdit();
    void cancelEdit();
    void pickColor();
    void pickFont();
    void showInfoDialog();
    void registerAutoStart();

    QString noteText;
    SetInfo setInfo;
    QColor editColor;
    QFont editFont;
    QPoint dragOffset;
    storage::NoteStore noteStore; // where the note's files are, found before anything is loaded
    bool firstPaintDone = false;
    bool closingForSystem = false;
    bool toldWhereNoteWent = false;
    Ui_deskMemoClass ui{}; // every pointer null until its widget is built
    Ui_Dialog infoUi;
};
