#include "note/deskMemo.h"
#include "note/roleColor.h"

#include "autostart/autostart.h"

#include <QApplication>
#include <QColorDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextDocument>

#include <algorithm>
#include <utility>

// The edit page's widgets are built when the page first opens, not with the window: the display
// page needs none of them, and the editor's document with its fonts and the page's images would
// cost start-up time and memory. They are built, given the applied text, colour, font and
// autostart state, and wired just as they would have been at start, before the page shows.
void deskMemo::showEditPage()
{
    if (!ui.editPageBuilt())
        buildEditPage();
    ui.stackedWidget->setCurrentIndex(1);
}

void deskMemo::buildEditPage()
{
    ui.setupEditPage();
    applyEditPageAppearance();
    connectEditPageHandlers();
}

namespace
{

// The frame image is stretched to its label in device pixels: above 100 % only its 2x twin stays
// sharp. The image is loaded here rather than by the form, so that one of the two is decoded, and
// the page at 100 % costs what it did. The highest ratio of all screens counts, so that the frame
// stays sharp when the note is dragged onto a scaled screen.
QPixmap frameImage()
{
    return QPixmap(qApp->devicePixelRatio() > 1 ? QStringLiteral(":/deskMemo/Image/kuang@2x.png")
                                                : QStringLiteral(":/deskMemo/Image/kuang.png"));
}

// The apply and cancel buttons show their word in their picture, in the note's own language. A
// translation of that word is written on the blank face instead, looking as the pictures do: bold
// and white over a soft shadow, smaller where a long word would not fit.
QPixmap faceWithWord(const QString &word)
{
    const bool twin = qApp->devicePixelRatio() > 1;
    QPixmap face(twin ? QStringLiteral(":/i18n/buttonFace@2x.png")
                      : QStringLiteral(":/i18n/buttonFace.png"));
    face.setDevicePixelRatio(twin ? 2 : 1);
    const QRectF area(QPointF(), QSizeF(face.size()) / face.devicePixelRatio());
    const int largest = 17;
    QFont font = QApplication::font();
    font.setBold(true);
    font.setPixelSize(largest);
    const qreal room = area.width() - 16;
    const qreal width = QFontMetricsF(font).horizontalAdvance(word);
    if (width > room)
        font.setPixelSize(std::max(9, int(largest * room / width)));
    QPainter painter(&face);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(QColor(6, 14, 36, 190));
    painter.drawText(area.translated(0.7, 1.3), Qt::AlignCenter, word);
    painter.setPen(QColor(250, 252, 255));
    painter.drawText(area.translated(0, 0.3), Qt::AlignCenter, word);
    return face;
}

// Whether the note shows this text of its window's forms in a language other than its own.
bool isTranslated(const char *sourceText)
{
    return deskMemoClassText(sourceText, nullptr) != QString::fromUtf8(sourceText);
}

// A translation may say "start at logon" in more words than the Chinese: the radio button then
// grows to the right, over the frame image's dark border and past it where it must, so that its
// label is not cut.
void showWholeTranslatedLabel(QRadioButton *button)
{
    if (isTranslated(QT_TRANSLATE_NOOP("deskMemoClass", "开机自启")))
        button->resize(std::max(button->width(), button->sizeHint().width()), button->height());
}

void writeTranslatedFaceWords(const Ui_deskMemoEditPage &page)
{
    const std::pair<QPushButton *, const char *> faces[] = {
        {page.btn_updata, QT_TRANSLATE_NOOP("deskMemoClass", "提交")},
        {page.btn_cancel, QT_TRANSLATE_NOOP("deskMemoClass", "取消")},
    };
    for (const auto &[button, word] : faces)
        if (isTranslated(word))
            button->setIcon(QIcon(faceWithWord(deskMemoClassText(word, nullptr))));
}

} // namespace

void deskMemo::applyEditPageAppearance()
{
    writeTranslatedFaceWords(ui);
    ui.label->setPixmap(frameImage());
    ui.textEdit->setText(noteText);
    setRoleColor(ui.textEdit, QPalette::Text, setInfo.selectColor);
    ui.textEdit->setFont(setInfo.selectFont);
    // The handler of the radio button is connected later, so this never registers anything.
    ui.radioButton->setChecked(setInfo.isAutoStart);
    showWholeTranslatedLabel(ui.radioButton);

    // The editor draws no background of its own: the frame image and the desktop show through.
    QWidget *viewport = ui.textEdit->viewport();
    viewport->setWindowFlags(viewport->windowFlags() | Qt::FramelessWindowHint);
    viewport->setAttribute(Qt::WA_TranslucentBackground, true);
    // The frame image lies above the editor; presses must reach the editor beneath it.
    ui.label->setAttribute(Qt::WA_TransparentForMouseEvents, true);
}

void deskMemo::connectEditPageHandlers()
{
    connect(ui.btn_updata, &QAbstractButton::clicked, this, &deskMemo::applyEdit);
    connect(ui.btn_cancel, &QAbstractButton::clicked, [this] { cancelEdit(); });
    connect(ui.btn_setColor, &QAbstractButton::clicked, this, &deskMemo::pickColor);
    connect(ui.btn_setFont, &QAbstractButton::clicked, this, &deskMemo::pickFont);
    connect(ui.btn_info, &QAbstractButton::clicked, [this] { showInfoDialog(); });
    connect(ui.radioButton, &QAbstractButton::toggled, [this] {
        if (ui.radioButton->isChecked()) {
            setInfo.isAutoStart = true;
            registerAutoStart();
        } else {
            setInfo.isAutoStart = false;
            autostart::disable();
        }
        tellAboutSave(loadSettings(false));
    });
}

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

namespace
{

// Qt 5's font dialog crashes on a family that the font database lists without a single style.
// It starts on the application's font family, and then on the family of the font it is given,
// or the application's again when that one isn't installed ("黑体" on a system without Chinese
// fonts). Windows can list a substitute name such as the default "MS Shell Dlg 2" without
// styles (seen under Wine). Such a family is replaced by one the dialog can show: the family
// that really draws it, or else the first one with styles. What a person sees stays the same.
QFont withShowableFamily(const QFont &font)
{
    const QFontDatabase database;
    const QStringList families = database.families();
    auto showable = [&](const QString &family) {
        return families.contains(family) && !database.styles(family).isEmpty();
    };
    if (showable(font.family()))
        return font;
    QFont shown = font;
    const QString drawnWith = QFontInfo(font).family();
    const auto first = std::find_if(families.begin(), families.end(), showable);
    if (showable(drawnWith))
        shown.setFamily(drawnWith);
    else if (first != families.end())
        shown.setFamily(*first);
    return shown;
}

} // namespace

void deskMemo::pickFont()
{
    const QFont applicationFont = QApplication::font();
    const QFont showableApplicationFont = withShowableFamily(applicationFont);
    if (showableApplicationFont != applicationFont)
        QApplication::setFont(showableApplicationFont);
    bool accepted = false;
    const QFont picked =
        QFontDialog::getFont(&accepted, withShowableFamily(setInfo.selectFont), this, QString());
    // A cancelled dialog gives back what it started from, which may be the stand-in family.
    editFont = accepted ? picked : setInfo.selectFont;
    ui.textEdit->setFont(editFont);
}

void deskMemo::applyEdit()
{
    setInfo.selectColor = editColor;
    setInfo.selectFont = editFont;
    bool saved = loadSettings(false);
    setRoleColor(ui.label_show, QPalette::WindowText, setInfo.selectColor);
    ui.label_show->setFont(setInfo.selectFont);
    // An empty editor keeps the current note.
    if (!ui.textEdit->document()->isEmpty()) {
        noteText = ui.textEdit->toPlainText();
        saved = loadText(false) && saved;
        ui.label_show->setText(noteText);
    }
    ui.stackedWidget->setCurrentIndex(0);
    // The lines of the text have new places; a page change alone misses that when the display
    // page was showing already.
    updateInputShape();
    tellAboutSave(saved);
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
