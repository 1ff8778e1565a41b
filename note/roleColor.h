#pragma once

#include <QBrush>
#include <QColor>
#include <QPalette>
#include <QWidget>

// Changes one colour role of a widget in every colour group and keeps the rest of its palette.
inline void setRoleColor(QWidget *widget, QPalette::ColorRole role, const QColor &color)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::All, role, QBrush(color, Qt::SolidPattern));
    widget->setPalette(palette);
}
