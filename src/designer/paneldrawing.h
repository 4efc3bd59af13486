#pragma once

#include "designer/panelscene.h"
#include "designer/vellresizerect.h"
#include "model/objecttables.h"

#include <functional>
#include <memory>
#include <vector>

namespace vell {

// What the design panel draws for the objects of a set of tables: the scene
// with one element per object and, for buttons and pictures, a selection
// frame made when first asked for. It follows the tables through their
// notices, so the tables hold records and names only and a program that
// draws nothing (vellgen, the design check) builds none of this; another
// view of the same tables can have a drawing of its own.
class PanelDrawing : public TableObserver
{
public:
    // The colour a button's or picture's rectangle is drawn in when it comes
    // in (the settings' colour for its kind); none draws them white.
    using FillOf = std::function<QColor(ObjectKind)>;

    // Draws the objects the tables hold already and follows every later
    // change. The objects lie as the generated code creates them: the
    // buttons, then the pictures, then the texts, each in table order (a
    // later one on top).
    explicit PanelDrawing(ObjectTables &tables, FillOf fillOf = {});
    ~PanelDrawing() override;
    PanelDrawing(const PanelDrawing &) = delete;
    PanelDrawing &operator=(const PanelDrawing &) = delete;

    ObjectTables &tables() { return m_tables; }
    const ObjectTables &tables() const { return m_tables; }
    PanelScene &scene() { return m_scene; }
    const PanelScene &scene() const { return m_scene; }

    // The object an element belongs to, or nullptr.
    VellControl *objectOf(const PanelElement *element) const;
    // An object's element, and for buttons and pictures its selection frame
    // (nullptr for texts). A frame is made when first asked for, hidden,
    // framing the object's rectangle.
    PanelElement *element(const VellControl &object) const;
    VellResizeRect *frame(const VellControl &object) const;
    // Lets the frame go (its handles vanish); asking again makes a new one.
    // Thousands of frames that nobody shows need not be kept.
    void dropFrame(const VellControl &object);

    void objectAdded(const VellControl &object) override;
    void objectChanged(const VellControl &object, ObjectAspect aspect) override;
    void objectRemoved(ObjectKind kind, int id) override;
    void objectsCleared() override;

private:
    // What the panel draws for one object.
    struct Drawing
    {
        std::unique_ptr<PanelElement> element;
        mutable std::unique_ptr<VellResizeRect> frame;
    };
    std::vector<Drawing> &drawings(ObjectKind kind) { return m_drawings[kind - 1]; }
    const std::vector<Drawing> &drawings(ObjectKind kind) const { return m_drawings[kind - 1]; }
    Drawing makeDrawing(const VellControl &object);
    const Drawing *drawing(const VellControl &object) const;
    // The frame if one was made, else nullptr.
    VellResizeRect *madeFrame(const VellControl &object) const;

    ObjectTables &m_tables;
    FillOf m_fillOf;
    PanelScene m_scene;
    std::vector<Drawing> m_drawings[3];
};

} // namespace vell
