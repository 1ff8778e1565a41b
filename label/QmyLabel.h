#pragma once

#include <QLabel>
#include <QPoint>

// The display page's label: shows the note text, reports double-clicks and its own close,
// and carries the right-click menu (close, lock, float, pin, release).
class QmyLabel : public QLabel
{
    Q_OBJECT

public:
    explicit QmyLabel(QWidget *parent);

    void showContextMenu(QPoint pos);

    // Whether the note window is pinned above all others.
    bool isTop;

signals:
    void double_clicked();
    void save_setInfo();
    void close_main();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void setMovable(bool movable);
    void setPinned(bool pinned);
};
