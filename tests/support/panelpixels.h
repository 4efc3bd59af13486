#pragma once

#include "designer/gui/designpanel.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

// The panel as a fresh drawing of every element would show it, without the
// panel's border.
inline QImage PanelDrawnAfresh(const vell::PanelScene &scene, const vell::PanelElement *ghost)
{
    QImage image(vell::kPanelWidth, vell::kPanelHeight, QImage::Format_RGB32);
    image.fill(QColor(240, 240, 240));
    QPainter painter(&image);
    for (const vell::PanelScene::Slot &slot : scene.stack()) {
        if (slot.visible && slot.element != ghost)
            vell::paintElement(painter, *slot.element);
    }
    if (ghost && ghost->isVisible())
        vell::paintElement(painter, *ghost);
    painter.end();
    return image.copy(1, 1, vell::kPanelWidth - 2, vell::kPanelHeight - 2);
}

// What the panel shows once pending repaints are done, without its border.
inline QImage PanelShown(QWidget *panel)
{
    QApplication::processEvents();
    return panel->grab()
        .toImage()
        .convertToFormat(QImage::Format_RGB32)
        .copy(1, 1, vell::kPanelWidth - 2, vell::kPanelHeight - 2);
}
