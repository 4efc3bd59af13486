#include "designer/previewsession.h"

namespace vell {

PreviewSession::PreviewSession(PanelDrawing &design, QColor buttonFill, QColor pictureFill)
    : m_drawing(design.tables(), [buttonFill, pictureFill](ObjectKind kind) {
          return kind == KindPicture ? pictureFill : buttonFill;
      })
{
    const ObjectTables &tables = design.tables();
    for (const ObjectKind kind : kObjectKinds) {
        for (int id = 1; id <= tables.count(kind); ++id) {
            const VellControl &object = *tables.object(kind, id);
            PanelElement *e = m_drawing.element(object);
            if (kind != KindText)
                e->setFillStyle(FillStyle::Solid);
            e->setVisible(object.Visible);
        }
    }
}

bool PreviewSession::isShown(const VellControl &object) const
{
    const PanelElement *e = m_drawing.element(object);
    return e && e->isVisible();
}

const VellButton *PreviewSession::buttonAt(QPoint point) const
{
    const std::vector<const PanelElement *> there =
        m_drawing.scene().elementsIn(QRect(point, QSize(1, 1)));
    for (auto it = there.rbegin(); it != there.rend(); ++it) {
        const VellControl *object = m_drawing.objectOf(*it);
        if (object && object->Kind == KindButton)
            return static_cast<const VellButton *>(object);
    }
    return nullptr;
}

bool PreviewSession::click(QPoint point, ClickSide side, qint64 now)
{
    const VellButton *button = buttonAt(point);
    if (!button)
        return false;
    for (const PreviewStep &step : PreviewClick(*button, side, m_drawing.tables().finder())) {
        if (step.object)
            m_drawing.element(*step.object)->setVisible(step.shown);
        else
            m_messages.add(step.message, now);
    }
    return true;
}

} // namespace vell
