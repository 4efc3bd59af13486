#pragma once

#include <QColor>
#include <QWidget>

namespace vell {

// A 25 x 25 outlined square filled with a colour; any mouse button pressed on
// it is reported.
class ColorSwatch : public QWidget
{
    Q_OBJECT

public:
    explicit ColorSwatch(QColor color, QWidget *parent = nullptr);

    QColor color() const { return m_color; }
    void setColor(QColor color);

    QSize sizeHint() const override { return {25, 25}; }

signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QColor m_color;
};

} // namespace vell
