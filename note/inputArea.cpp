#include "note/inputArea.h"
#include "note/deskMemo.h"

#include "platform/windowSystem.h"

#include <QImage>

#include <cmath>

namespace
{

// The painted pixels of one row of an alpha image, as a rectangle one pixel high; a null
// rectangle when none is.
QRect paintedSpan(const QImage &alpha, int y)
{
    const uchar *pixels = alpha.constScanLine(y);
    int left = 0;
    int right = alpha.width() - 1;
    while (left <= right && pixels[left] == 0)
        ++left;
    if (left > right)
        return QRect();
    while (pixels[right] == 0)
        --right;
    return QRect(QPoint(left, y), QPoint(right, y));
}

QRegion toNativePixels(const QRegion &area, qreal ratio)
{
    if (ratio == 1.0)
        return area;
    QRegion native;
    for (const QRect &rect : area) {
        const QPoint topLeft(int(std::floor(rect.left() * ratio)),
                             int(std::floor(rect.top() * ratio)));
        const QPoint end(int(std::ceil((rect.right() + 1) * ratio)),
                         int(std::ceil((rect.bottom() + 1) * ratio)));
        native += QRect(topLeft, end - QPoint(1, 1));
    }
    return native;
}

} // namespace

QRegion paintedLines(const QImage &image, int margin)
{
    const QImage pixels = image.convertToFormat(QImage::Format_Alpha8);
    QRegion lines;
    QRect band;
    for (int y = 0; y <= pixels.height(); ++y) {
        const QRect span = y < pixels.height() ? paintedSpan(pixels, y) : QRect();
        if (!span.isNull()) {
            band = band.united(span);
        } else if (!band.isNull()) {
            lines += band.adjusted(-margin, -margin, margin, margin);
            band = QRect();
        }
    }
    return lines;
}

// The native window exists from here on, and is not mapped yet. Until the text is first painted
// the whole display label takes the pointer: where its lines lie is known only once the text is
// laid out in its fonts, and loading those is left to the first paint, after the window is mapped.
void deskMemo::showEvent(QShowEvent *)
{
    if (firstPaintDone) {
        updateInputShape();
        return;
    }
    const QmyLabel *label = ui.label_show;
    setInputShape(label->rect().translated(label->mapTo(this, QPoint())));
}

// The lines are found when the first paint is done, with the fonts that it loaded.
void deskMemo::paintEvent(QPaintEvent *)
{
    if (firstPaintDone)
        return;
    firstPaintDone = true;
    QMetaObject::invokeMethod(this, &deskMemo::updateInputShape, Qt::QueuedConnection);
}

// The window is see-through but for what it paints, and only that takes the pointer: on the
// display page the lines of the text, on the edit page the frame image and the controls.
void deskMemo::updateInputShape()
{
    setInputShape(ui.stackedWidget->currentIndex() == 0 ? textArea() : controlsArea());
}

void deskMemo::setInputShape(const QRegion &area)
{
    if (internalWinId())
        platform::windowSystem().setInputRegion(this, toNativePixels(area, devicePixelRatioF()));
}

// Only the alpha of the rendered label is needed, a quarter of the memory of a colour image.
QRegion deskMemo::textArea() const
{
    const int margin = 4;
    QmyLabel *label = ui.label_show;
    QImage image(label->size(), QImage::Format_Alpha8);
    image.fill(0);
    label->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    QRegion lines = paintedLines(image, margin);
    // A text that paints nothing (blanks only, a see-through colour) would leave nothing to
    // right-click: the whole label then takes the pointer, so its menu stays in reach.
    if (lines.isEmpty())
        lines = label->rect();
    return lines.translated(label->mapTo(this, QPoint()));
}

QRegion deskMemo::controlsArea() const
{
    const QWidget *page = ui.stackedWidget->currentWidget();
    QRegion controls;
    for (const QWidget *child :
         page->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (!child->isHidden())
            controls += QRect(page->mapTo(this, child->pos()), child->size());
    // The frame image reaches past the page's left edge, where nothing of it is shown.
    return controls & QRect(ui.stackedWidget->mapTo(this, QPoint()), ui.stackedWidget->size());
}
