#pragma once

// The note window's two Designer forms read their texts through this function (uic's -tr
// option, set in CMakeLists.txt), so that both look them up under the window form's name.
#include <QCoreApplication>
#include <QString>

inline QString deskMemoClassText(const char *sourceText, const char *disambiguation)
{
    return QCoreApplication::translate("deskMemoClass", sourceText, disambiguation);
}

#include "ui_deskMemo.h"
#include "ui_editPage.h"

// The note window's form: one pointer per widget, null until the widget is built. setupUi
// builds the window with its display page and the edit page, still empty; setupEditPage fills
// the edit page when it first opens, since the display page needs nothing from it.
struct Ui_deskMemoClass : Ui_deskMemoWindow, Ui_deskMemoEditPage {
    void setupUi(QWidget *window) { Ui_deskMemoWindow::setupUi(window); }
    void setupEditPage() { Ui_deskMemoEditPage::setupUi(page_2); }
    bool editPageBuilt() const { return textEdit != nullptr; }
};
