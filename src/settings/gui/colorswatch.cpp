#include "settings/gui/colorswatch.h"

#include <QMouseEvent>
#include <QPainter>

namespace vell {

ColorSwatch::ColorSwatch(QColor color, QWidget *parent) : QWidget(parent), m_color(color)
{
    setFixedSize(25, 25);
}

void ColorSwatch::setColor(QColor color)
{
    m_color = color;
    update();
}

void ColorSwatch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(m_color);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ColorSwatch::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit pressed();
}

} // namespace vell
