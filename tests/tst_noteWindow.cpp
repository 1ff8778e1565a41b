// The note window as built at start-up: its construction, form, close and start-up wiring.
#include "noteFixture.h"

#include "app/startup.h"
#include "note/inputArea.h"

#include <QAbstractTextDocumentLayout>
#include <QSignalSpy>
#include <QTextDocument>
#include <QtTest>

namespace
{

QStringList ownSignals(const QMetaObject *meta)
{
    QStringList names;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
        names << QString::fromLatin1(meta->method(i).methodSignature());
    return names;
}

QColor brushColor(const QWidget *widget, QPalette::ColorGroup group, QPalette::ColorRole role)
{
    return widget->palette().brush(group, role).color();
}

} // namespace

class NoteWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void firstRunShowsDefaults()
    {
        NoteFolder folder;
        auto w = folder.open();
        auto &ui = Access::ui(*w);
        QCOMPARE(Access::appDir(*w) + "myText", folder.path("myText"));
        QCOMPARE(w->pos(), QPoint(500, 500));
        QCOMPARE(ui.label_show->text(), QString::fromUtf8("桌面文字便签"));
        QCOMPARE(brushColor(ui.label_show, QPalette::Active, QPalette::WindowText),
                 QColor(255, 127, 35));
        QCOMPARE(brushColor(ui.label_show, QPalette::Disabled, QPalette::WindowText),
                 QColor(255, 127, 35));
        QCOMPARE(ui.label_show->font().family(), QString::fromUtf8("黑体"));
        QCOMPARE(int(w->windowFlags()), 0x80B);
        QVERIFY(g_movable);
        QVERIFY(!ui.label_show->isTop);
        QCOMPARE(ui.stackedWidget->currentIndex(), 0);
        QCOMPARE(Access::editColor(*w), Access::setInfo(*w).selectColor);
        QCOMPARE(Access::editFont(*w), Access::setInfo(*w).selectFont);

        openEditPage(*w);
        QCOMPARE(ui.textEdit->toPlainText(), QString::fromUtf8("桌面文字便签"));
        QCOMPARE(brushColor(ui.textEdit, QPalette::Inactive, QPalette::Text), QColor(255, 127, 35));
        QCOMPARE(ui.textEdit->font().pointSize(), 16);
        QVERIFY(!ui.radioButton->isChecked());
        QVERIFY(!folder.exists("setInfo.ini"));
        QVERIFY(!folder.exists("myText"));
    }

    void storedStateIsApplied()
    {
        NoteFolder folder;
        folder.write("myText", "line one\r\nline two");
        folder.writeSettings({{"startPos", QPoint(-40, 77)},
                              {"movable_flag", false},
                              {"selectColor", QColor(10, 200, 30)},
                              {"selectFont", QFont("Serif", 31)},
                              {"isAutoStart", true},
                              {"isTopWindow", true}});
        auto w = folder.open();
        auto &ui = Access::ui(*w);
        QCOMPARE(w->pos(), QPoint(-40, 77));
        QCOMPARE(ui.label_show->text(), QString("line one\nline two"));
        QCOMPARE(brushColor(ui.label_show, QPalette::Active, QPalette::WindowText),
                 QColor(10, 200, 30));
        QCOMPARE(int(w->windowFlags()), 0x4080B);
        QVERIFY(!g_movable);
        QVERIFY(ui.label_show->isTop);
        openEditPage(*w);
        QCOMPARE(ui.textEdit->toPlainText(), QString("line one\nline two"));
        QCOMPARE(brushColor(ui.textEdit, QPalette::Active, QPalette::Text), QColor(10, 200, 30));
        QCOMPARE(ui.textEdit->font().pointSize(), 31);
        QVERIFY(ui.radioButton->isChecked());

        // A save from the menu (here: lock) keeps the stay-on-top choice.
        emit ui.label_show->save_setInfo();
        QCOMPARE(folder.setting("isTopWindow").toBool(), true);
        QCOMPARE(folder.setting("movable_flag").toBool(), false);
    }

    void emptyTextFileIsAnEmptyNote()
    {
        NoteFolder folder;
        folder.write("myText", QByteArray());
        auto w = folder.open();
        QCOMPARE(Access::noteText(*w), QString());
        QCOMPARE(Access::ui(*w).label_show->text(), QString());
    }

    // The display page is built with the window; the edit page's widgets when it first opens.
    void formWidgets_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("parentName");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("builtAtStart");
        QTest::newRow("stack") << "stackedWidget"
                               << "QStackedWidget"
                               << "deskMemoClass" << QRect(30, 20, 711, 551) << true;
        QTest::newRow("label_show") << "label_show"
                                    << "QmyLabel"
                                    << "page" << QRect(30, 10, 651, 521) << true;
        QTest::newRow("editor") << "textEdit"
                                << "QTextEdit"
                                << "page_2" << QRect(70, 50, 381, 121) << false;
        QTest::newRow("colour") << "btn_setColor"
                                << "QPushButton"
                                << "page_2" << QRect(480, 50, 61, 41) << false;
        QTest::newRow("font") << "btn_setFont"
                              << "QPushButton"
                              << "page_2" << QRect(480, 100, 61, 41) << false;
        QTest::newRow("frame") << "label"
                               << "QLabel"
                               << "page_2" << QRect(-50, 0, 591, 231) << false;
        QTest::newRow("apply") << "btn_updata"
                               << "QPushButton"
                               << "page_2" << QRect(100, 192, 111, 31) << false;
        QTest::newRow("cancel") << "btn_cancel"
                                << "QPushButton"
                                << "page_2" << QRect(280, 192, 111, 31) << false;
        QTest::newRow("info") << "btn_info"
                              << "QPushButton"
                              << "page_2" << QRect(510, 200, 31, 31) << false;
        QTest::newRow("autostart") << "radioButton"
                                   << "QRadioButton"
                                   << "page_2" << QRect(440, 170, 70, 20) << false;
    }
    void formWidgets()
    {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QString, parentName);
        QFETCH(QRect, geometry);
        QFETCH(bool, builtAtStart);
        NoteFolder folder;
        auto w = folder.open();
        QCOMPARE(w->objectName(), QString("deskMemoClass"));
        QCOMPARE(w->size(), QSize(760, 580));
        QCOMPARE(w->findChild<QWidget *>(name) != nullptr, builtAtStart);
        openEditPage(*w);
        auto *widget = w->findChild<QWidget *>(name);
        QVERIFY(widget);
        QCOMPARE(QString(widget->metaObject()->className()), className);
        QCOMPARE(widget->parentWidget()->objectName(), parentName);
        QCOMPARE(widget->geometry(), geometry);
    }

    void formProperties()
    {
        NoteFolder folder;
        auto w = folder.open();
        auto &ui = openEditPage(*w);
        QCOMPARE(ui.stackedWidget->indexOf(ui.page), 0);
        QCOMPARE(ui.stackedWidget->indexOf(ui.page_2), 1);
        QCOMPARE(ui.stackedWidget->lineWidth(), 6);
        QCOMPARE(ui.stackedWidget->midLineWidth(), 5);
        QCOMPARE(w->windowTitle(), QString("deskMemo"));

        QVERIFY(ui.label_show->testAttribute(Qt::WA_MouseTracking));
        QCOMPARE(ui.label_show->frameShape(), QFrame::NoFrame);
        QCOMPARE(ui.label_show->textFormat(), Qt::AutoText);
        QCOMPARE(int(ui.label_show->alignment()), 0x21);
        QVERIFY(ui.label_show->wordWrap());
        QCOMPARE(ui.label_show->contextMenuPolicy(), Qt::CustomContextMenu);

        // The form's own palette entries stay where the stored colour doesn't replace them.
        QCOMPARE(brushColor(ui.textEdit, QPalette::Active, QPalette::WindowText),
                 QColor(20, 51, 255));
        QCOMPARE(brushColor(ui.textEdit, QPalette::Inactive, QPalette::ButtonText),
                 QColor(85, 85, 255));
        QCOMPARE(brushColor(ui.textEdit, QPalette::Active, QPalette::PlaceholderText),
                 QColor(30, 52, 255, 128));
        QCOMPARE(brushColor(ui.textEdit, QPalette::Disabled, QPalette::PlaceholderText),
                 QColor(0, 0, 0, 128));
        QCOMPARE(brushColor(ui.radioButton, QPalette::Active, QPalette::WindowText),
                 QColor(152, 152, 152));
        QCOMPARE(brushColor(ui.radioButton, QPalette::Disabled, QPalette::WindowText),
                 QColor(120, 120, 120));
        QCOMPARE(ui.radioButton->font().pointSize(), 9);
        QCOMPARE(ui.radioButton->text(), QString::fromUtf8("开机自启"));
        QCOMPARE(ui.radioButton->iconSize(), QSize(14, 14));

        QCOMPARE(ui.textEdit->frameShape(), QFrame::NoFrame);
        QCOMPARE(ui.textEdit->lineWidth(), 2);
        QCOMPARE(ui.textEdit->lineWrapMode(), QTextEdit::WidgetWidth);
        QCOMPARE(ui.textEdit->tabStopDistance(), 80.0);
        QCOMPARE(ui.textEdit->placeholderText(), QString::fromUtf8("在此输入文字..."));
        QVERIFY(!ui.textEdit->autoFillBackground());
        QVERIFY(ui.textEdit->viewport()->testAttribute(Qt::WA_TranslucentBackground));
        QVERIFY(ui.textEdit->viewport()->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(ui.label->testAttribute(Qt::WA_TransparentForMouseEvents));
        QVERIFY(ui.label->hasScaledContents());
        // On a scaled screen (this test also runs at QT_SCALE_FACTOR=2), the frame's 2x twin.
        const int frameScale = qApp->devicePixelRatio() > 1 ? 2 : 1;
        QCOMPARE(ui.label->pixmap(Qt::ReturnByValue).size(), QSize(578, 348) * frameScale);
        QCOMPARE(ui.label->text(), QString());

        struct Button {
            QPushButton *button;
            QSize iconSize;
        };
        const QSize styleDefault = QPushButton().iconSize();
        for (const Button &b :
             {Button{ui.btn_setColor, {32, 32}}, Button{ui.btn_setFont, {34, 34}},
              Button{ui.btn_updata, {100, 100}}, Button{ui.btn_cancel, {100, 100}},
              Button{ui.btn_info, styleDefault}}) {
            QVERIFY2(b.button->isFlat(), qPrintable(b.button->objectName()));
            QVERIFY2(!b.button->icon().isNull(), qPrintable(b.button->objectName()));
            QCOMPARE(b.button->iconSize(), b.iconSize);
            QCOMPARE(b.button->text(), QString());
        }
    }

    void editPageStackingOrder()
    {
        NoteFolder folder;
        auto w = folder.open();
        QStringList order;
        for (QObject *child : openEditPage(*w).page_2->children())
            order << child->objectName();
        QCOMPARE(order, QStringList({"textEdit", "label", "btn_setColor", "btn_setFont",
                                     "btn_updata", "btn_cancel", "btn_info", "radioButton"}));
    }

    void metaObjectsDeclareOnlyTheirSignals()
    {
        QCOMPARE(QString(deskMemo::staticMetaObject.className()), QString("deskMemo"));
        QCOMPARE(ownSignals(&deskMemo::staticMetaObject), QStringList{"closeAllWindows()"});
        QCOMPARE(QString(QmyLabel::staticMetaObject.className()), QString("QmyLabel"));
        QCOMPARE(ownSignals(&QmyLabel::staticMetaObject),
                 QStringList({"double_clicked()", "save_setInfo()", "close_main()"}));
    }

    // The display page takes the pointer where the label paints: found in an image of the
    // label's alpha alone, the lines are those of the label painted in colour.
    void inputAreaIsWhereTheTextIsPainted_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QColor>("color");
        QTest::newRow("first run") << QByteArray() << QColor(255, 127, 35);
        QTest::newRow("nearly transparent")
            << QByteArray("faint\r\n\r\n  lines") << QColor(9, 9, 9, 1);
        QTest::newRow("rich text")
            << QByteArray("<b>bold</b><br><span style='font-size:60pt'>big</span>")
            << QColor(0, 0, 255);
    }
    void inputAreaIsWhereTheTextIsPainted()
    {
        QFETCH(QByteArray, text);
        QFETCH(QColor, color);
        NoteFolder folder;
        if (!text.isNull())
            folder.write("myText", text);
        folder.writeSettings({{"selectColor", color}, {"selectFont", QFont("Serif", 20)}});
        auto w = folder.open();
        QmyLabel *label = Access::ui(*w).label_show;
        QImage painted(label->size(), QImage::Format_ARGB32_Premultiplied);
        painted.fill(Qt::transparent);
        label->render(&painted, QPoint(), QRegion(), QWidget::RenderFlags());
        const QRegion lines = paintedLines(painted, 4);
        QVERIFY(!lines.isEmpty());
        QCOMPARE(Access::textArea(*w), lines.translated(label->mapTo(w.get(), QPoint())));
    }

    void doubleClickOpensEditPageWithoutRefill()
    {
        NoteFolder folder;
        auto w = folder.open();
        auto &ui = Access::ui(*w);
        QTest::mouseDClick(ui.label_show, Qt::LeftButton);
        QCOMPARE(ui.stackedWidget->currentIndex(), 1);
        ui.textEdit->setPlainText("typed before");
        ui.stackedWidget->setCurrentIndex(0);
        QTest::mouseDClick(ui.label_show, Qt::LeftButton);
        QCOMPARE(ui.stackedWidget->currentIndex(), 1);
        QCOMPARE(ui.textEdit->toPlainText(), QString("typed before"));
    }

    void startupShowsAndWiresTheWindow()
    {
        NoteFolder folder;
        auto w = folder.open();
        showNoteWindow(*w);
        QVERIFY(w->isVisible());
        QVERIFY(w->testAttribute(Qt::WA_TranslucentBackground));
        QCOMPARE(w->windowOpacity(), 1.0);

        // closeAllWindows ends the event loop; the close saves first.
        QTimer::singleShot(0, w.get(), [&w] { w->close(); });
        QCOMPARE(qApp->exec(), 0);
        QVERIFY(folder.exists("setInfo.ini"));
    }

    void closeSavesEveryValueOnce()
    {
        NoteFolder folder;
        auto w = folder.open();
        auto &ui = Access::ui(*w);
        QSignalSpy closing(w.get(), &deskMemo::closeAllWindows);
        QSignalSpy closeMain(ui.label_show, &QmyLabel::close_main);
        g_movable = false;
        ui.label_show->isTop = true;
        ui.label_show->close();
        QCOMPARE(closeMain.count(), 1);
        QCOMPARE(closing.count(), 1);
        QCOMPARE(folder.setting("startPos").toPoint(), QPoint(500, 500));
        QCOMPARE(folder.setting("movable_flag").toBool(), false);
        QCOMPARE(folder.setting("isTopWindow").toBool(), true);
        QCOMPARE(folder.setting("isAutoStart").toBool(), false);
        QCOMPARE(folder.setting("selectColor").value<QColor>(), QColor(255, 127, 35));
        QCOMPARE(folder.setting("selectFont").value<QFont>().family(), QString::fromUtf8("黑体"));
        QVERIFY(!folder.exists("myText")); // closing never writes the text
    }

    void closeRequestIsNeverRefused()
    {
        NoteFolder folder;
        auto w = folder.open();
        QSignalSpy closing(w.get(), &deskMemo::closeAllWindows);
        w->show();
        QCloseEvent event;
        QApplication::sendEvent(w.get(), &event);
        QVERIFY(event.isAccepted());
        QCOMPARE(closing.count(), 1);
        QVERIFY(folder.exists("setInfo.ini"));
    }
};

QTEST_MAIN(NoteWindowTest)
#include "tst_noteWindow.moc"
