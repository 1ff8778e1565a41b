// The edit page: colour and font picks, apply, cancel, and the info dialogs.
#include "noteFixture.h"

#include <QColorDialog>
#include <QDialog>
#include <QFontDialog>
#include <QTextBrowser>
#include <QtTest>

namespace
{

// Runs `act` on the modal dialog that the next click opens.
template <typename Dialog> void onNextDialog(std::function<void(Dialog *)> act, bool *seen)
{
    QTimer::singleShot(0, [act, seen] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        *seen = dialog != nullptr;
        if (dialog)
            act(dialog);
    });
}

void pickColor(Ui_deskMemoClass &ui, const QColor &color, QColor *offered = nullptr)
{
    bool seen = false;
    onNextDialog<QColorDialog>(
        [color, offered](QColorDialog *dialog) {
            if (offered)
                *offered = dialog->currentColor();
            if (color.isValid()) {
                dialog->setCurrentColor(color);
                dialog->accept();
            } else {
                dialog->reject();
            }
        },
        &seen);
    ui.btn_setColor->click();
    QVERIFY(seen);
}

void pickFont(Ui_deskMemoClass &ui, const QFont *font, QFont *offered = nullptr)
{
    bool seen = false;
    onNextDialog<QFontDialog>(
        [font, offered](QFontDialog *dialog) {
            if (offered)
                *offered = dialog->currentFont();
            if (font) {
                dialog->setCurrentFont(*font);
                dialog->accept();
            } else {
                dialog->reject();
            }
        },
        &seen);
    ui.btn_setFont->click();
    QVERIFY(seen);
}

QColor editorColor(Ui_deskMemoClass &ui)
{
    return ui.textEdit->palette().brush(QPalette::Active, QPalette::Text).color();
}

QColor labelColor(Ui_deskMemoClass &ui)
{
    return ui.label_show->palette().brush(QPalette::Inactive, QPalette::WindowText).color();
}

} // namespace

class EditPageTest : public QObject
{
    Q_OBJECT

private slots:
    void colourPicksStartFromTheAppliedColour()
    {
        NoteFolder folder;
        auto w = folder.open();
        auto &ui = openEditPage(*w);
        const QColor applied(255, 127, 35);
        QColor offered;
        pickColor(ui, QColor(0, 128, 0));
        QCOMPARE(editorColor(ui), QColor(0, 128, 0));
        QCOMPARE(labelColor(ui), applied); // only the editor shows a pending pick

        pickColor(ui, QColor(), &offered); // second dialog cancelled
        QCOMPARE(offered, applied);
        QCOMPARE(Access::editColor(*w), applied);
        QCOMPARE(editorColor(ui), applied);
        QVERIFY(!folder.exists("setInfo.ini"));
    }

    void fontPicksStartFromTheAppliedFont()
    {
        NoteFolder folder;
        auto w = folder.open();
        auto &ui = openEditPage(*w);
        const QFont applied = Access::setInfo(*w).selectFont;
        QFont big = applied;
        big.setPointSize(40);
        pickFont(ui, &big);
        QCOMPARE(ui.textEdit->font().pointSize(), 40);
        QCOMPARE(ui.label_show->font().pointSize(), 16);

        QFont offered;
        pickFont(ui, nullptr, &offered); // cancelled: back to the applied font
        QCOMPARE(offered.pointSize(), 16);
        QCOMPARE(Access::editFont(*w).pointSize(), 16);
        QCOMPARE(ui.textEdit->font().pointSize(), 16);
    }

    void applyStoresTextColourAndFont_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QByteArray>("fileBytes");
        const QString before = QString::fromUtf8("桌面文字便签");
        QTest::newRow("two lines") << "first\nsecond"
                                   << "first\nsecond" << QByteArray("first\r\nsecond");
        QTest::newRow("only a line break") << "\n"
                                           << "\n"
                                           << QByteArray("\r\n");
        QTest::newRow("only spaces") << "   "
                                     << "   " << QByteArray("   ");
        QTest::newRow("empty editor keeps the note") << "" << before << QByteArray();
    }
    void applyStoresTextColourAndFont()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QByteArray, fileBytes);
        NoteFolder folder;
        auto w = folder.open();
        auto &ui = Access::ui(*w);
        QTest::mouseDClick(ui.label_show, Qt::LeftButton);
        ui.textEdit->setPlainText(typed);
        pickColor(ui, QColor(0, 0, 255));
        QFont font(QString::fromUtf8("华文行楷"), 25);
        pickFont(ui, &font);
        ui.btn_updata->click();

        QCOMPARE(ui.stackedWidget->currentIndex(), 0);
        QCOMPARE(ui.label_show->text(), shown);
        QCOMPARE(Access::noteText(*w), shown);
        QCOMPARE(labelColor(ui), QColor(0, 0, 255));
        QCOMPARE(ui.label_show->font().pointSize(), 25);
        QCOMPARE(Access::editColor(*w), Access::setInfo(*w).selectColor);
        QCOMPARE(Access::editFont(*w), Access::setInfo(*w).selectFont);
        QCOMPARE(folder.setting("selectColor").value<QColor>(), QColor(0, 0, 255));
        QCOMPARE(folder.setting("selectFont").value<QFont>().pointSize(), 25);
        QCOMPARE(folder.exists("myText"), !fileBytes.isNull());
        QCOMPARE(folder.read("myText"), fileBytes);

        auto restarted = folder.open(); // the next start shows what was applied
        QCOMPARE(Access::ui(*restarted).label_show->text(), shown);
        QCOMPARE(Access::setInfo(*restarted).selectColor, QColor(0, 0, 255));
    }

    void applyWithoutChangesStillWritesBothFiles()
    {
        NoteFolder folder;
        auto w = folder.open();
        openEditPage(*w).btn_updata->click();
        QVERIFY(folder.exists("setInfo.ini"));
        QCOMPARE(QString::fromLocal8Bit(folder.read("myText")), QString::fromUtf8("桌面文字便签"));
    }

    void cancelDropsPendingChanges()
    {
        NoteFolder folder;
        auto w = folder.open();
        auto &ui = Access::ui(*w);
        QTest::mouseDClick(ui.label_show, Qt::LeftButton);
        ui.textEdit->setPlainText("typed, not applied");
        pickColor(ui, QColor(9, 9, 9));
        QFont font = ui.textEdit->font();
        font.setPointSize(50);
        pickFont(ui, &font);
        ui.btn_cancel->click();

        QCOMPARE(ui.stackedWidget->currentIndex(), 0);
        QCOMPARE(ui.label_show->text(), QString::fromUtf8("桌面文字便签"));
        QCOMPARE(editorColor(ui), QColor(255, 127, 35));
        QCOMPARE(ui.textEdit->font().pointSize(), 16);
        QCOMPARE(Access::editColor(*w), QColor(255, 127, 35));
        QCOMPARE(Access::editFont(*w).pointSize(), 16);
        QVERIFY(!folder.exists("setInfo.ini"));
        QVERIFY(!folder.exists("myText"));
        QTest::mouseDClick(ui.label_show, Qt::LeftButton);
        QCOMPARE(ui.textEdit->toPlainText(), QString("typed, not applied"));
    }

    void unwritableFolderKeepsTheAppliedNoteForTheRun()
    {
        NoteFolder folder;
        folder.write("myText", "old note");
        auto w = folder.open();
        auto &ui = openEditPage(*w);
        // Swap the folder for a plain file: nothing can be written there any more.
        const QString dir = Access::appDir(*w);
        QVERIFY(QDir(dir).removeRecursively());
        QFile blocker(dir.chopped(1));
        // The temporary folder can't remove a plain file in its place.
        const auto removeBlocker = qScopeGuard([&blocker] { blocker.remove(); });
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();

        ui.textEdit->setPlainText("new note");
        ui.btn_updata->click();
        QCOMPARE(ui.label_show->text(), QString("new note"));
        QCOMPARE(ui.stackedWidget->currentIndex(), 0);
        QVERIFY(QFileInfo(dir.chopped(1)).isFile());
    }

    void infoDialogsAreIndependent()
    {
        NoteFolder folder;
        auto w = folder.open();
        w->show();
        auto &ui = openEditPage(*w);
        ui.btn_info->click();
        ui.btn_info->click();
        const QList<QDialog *> dialogs = w->findChildren<QDialog *>();
        QCOMPARE(dialogs.size(), 2);
        QVERIFY(dialogs[0]->isVisible() && dialogs[1]->isVisible());
        QVERIFY(!dialogs[0]->isModal() && !dialogs[1]->isModal());
        QCOMPARE(Access::infoUi(*w).cancelButton->window(), dialogs[1]);
        QCOMPARE(Access::infoUi(*w).textBrowser->window(), dialogs[1]);

        QCOMPARE(dialogs[0]->windowTitle(), QString::fromUtf8("信息"));
        QCOMPARE(dialogs[0]->size(), QSize(320, 237));
        auto *browser = dialogs[0]->findChild<QTextBrowser *>("textBrowser");
        QCOMPARE(browser->geometry(), QRect(10, 10, 301, 191));
        const QString about = browser->toPlainText();
        QVERIFY(about.startsWith(QString::fromUtf8("关于\n  这是一个透明的Velmora小程序")));
        QVERIFY(about.contains(QString::fromUtf8("公众号\u201cTellvane\u201d获取源码")));
        QVERIFY(about.endsWith(QString::fromUtf8("\n\n作者\uff1amirelo")));

        // Closing the first one leaves the second and the note alone.
        dialogs[0]->findChild<QPushButton *>("cancelButton")->click();
        QVERIFY(!dialogs[0]->isVisible());
        QVERIFY(dialogs[1]->isVisible());
        QCOMPARE(dialogs[0]->result(), int(QDialog::Rejected));
        dialogs[1]->close();
        QVERIFY(!dialogs[1]->isVisible());
        QVERIFY(w->isVisible());
        QCOMPARE(w->findChildren<QDialog *>().size(), 2); // kept until the window goes
        QVERIFY(!folder.exists("setInfo.ini"));
    }
};

QTEST_MAIN(EditPageTest)
#include "tst_editPage.moc"
