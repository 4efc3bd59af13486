#pragma once

#include "model/objectkind.h"
#include "model/panelsize.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <functional>
#include <unordered_set>
#include <vector>

namespace vell {

class PanelScene;
class VellResizeRect;

enum class ElementShape : quint8
{
    Rectangle, // a button's or picture's rectangle
    Label,     // a text's auto-sized label
    Handle,    // a corner handle of a selection frame
    Ghost,     // the dotted outline that follows the pointer while moving
    Outline,   // a covered selected object's border, drawn over what covers it;
               // it takes no presses or drops
};

enum class FillStyle : quint8
{
    Solid,
    Clear,
    DiagCross
};

// One thing drawn on the design panel: a plain record of geometry and looks.
// Elements are stacked in creation order; a later element lies on top.
class PanelElement
{
public:
    // A new element lies on top of all others, or at the stacking place
    // `order` reserved for it (see PanelScene::reserveOrders).
    PanelElement(PanelScene &scene, ElementShape shape, QRect rect);
    PanelElement(PanelScene &scene, ElementShape shape, QRect rect, quint64 order);
    ~PanelElement();
    PanelElement(const PanelElement &) = delete;
    PanelElement &operator=(const PanelElement &) = delete;

    ElementShape shape() const { return m_shape; }
    quint64 stackOrder() const { return m_stackOrder; }

    QRect rect() const { return m_rect; }
    int left() const { return m_rect.left(); }
    int top() const { return m_rect.top(); }
    int width() const { return m_rect.width(); }
    int height() const { return m_rect.height(); }
    QSize size() const { return m_rect.size(); }
    void setRect(QRect rect);
    void setLeftTop(int left, int top) { setRect(QRect(left, top, width(), height())); }
    void setSize(int width, int height) { setRect(QRect(left(), top(), width, height)); }

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);

    QColor fill() const { return QColor::fromRgba(m_fill); }
    FillStyle fillStyle() const { return m_fillStyle; }
    void setFill(QColor color);
    void setFillStyle(FillStyle style);

    QColor penColor() const { return QColor::fromRgba(m_penColor); }
    int penWidth() const { return m_penWidth; }
    bool dottedPen() const { return m_dottedPen; }
    void setPen(QColor color, int width);
    void setDottedPen(bool dotted);

    // Labels only: the text shown and its colour.
    const QString &text() const { return m_text; }
    QColor textColor() const { return QColor::fromRgba(m_textColor); }
    void setText(const QString &text);
    void setTextColor(QColor color);

    // The identifier of the object the element draws.
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // What the element belongs to: the object kind (1 button, 2 picture,
    // 3 text) for object elements; for handles their frame and number.
    ObjectKind objectKind() const { return ObjectKind(m_objectKind); }
    void setObjectKind(ObjectKind kind) { m_objectKind = quint8(kind); }
    VellResizeRect *frame() const { return m_frame; }
    int handleNumber() const { return m_handleNumber; }
    void setHandle(VellResizeRect *frame, int number)
    {
        m_frame = frame;
        m_handleNumber = number;
    }

private:
    void invalidate();

    // Packed: there are tens of thousands of elements at full tables.
    PanelScene &m_scene;
    quint64 m_stackOrder;
    QRect m_rect;
    QString m_text;
    VellResizeRect *m_frame = nullptr;
    int m_tag = 0;
    QRgb m_fill = qRgb(255, 255, 255);
    QRgb m_penColor = qRgb(0, 0, 0);
    QRgb m_textColor = qRgb(0, 0, 0);
    quint8 m_penWidth = 1;
    ElementShape m_shape;
    FillStyle m_fillStyle = FillStyle::Solid;
    quint8 m_objectKind = KindNone;
    quint8 m_handleNumber = 0;
    bool m_visible = true;
    bool m_dottedPen = false;
};

// The elements of the design panel in stacking order. It does not own them
// (objects own their elements); it reports every area that needs repainting.
class PanelScene
{
public:
    PanelScene() = default;
    PanelScene(const PanelScene &) = delete;
    PanelScene &operator=(const PanelScene &) = delete;

    // What the scene keeps of each element, bottom to top: a copy of its
    // rectangle and visibility packed together, so scans over many
    // thousands of elements stay in the cache.
    struct Slot
    {
        QRect rect;
        bool visible;
        quint64 order;
        PanelElement *element;
    };
    const std::vector<Slot> &stack() const { return m_slots; }
    std::size_t elementCount() const { return m_slots.size(); }

    // The topmost visible element containing the point, or nullptr.
    // `skip` may exclude one shape (e.g. the ghost outline, which presses
    // pass through); `skipRaised` the raised elements. Looks only at the
    // elements indexed near the point.
    PanelElement *elementAt(QPoint point, const PanelElement *ignore = nullptr,
                            bool skipGhost = false, bool skipRaised = false) const;

    // The visible elements reaching into `area` (inside the panel), bottom
    // to top, found through the index.
    std::vector<const PanelElement *> elementsIn(QRect area) const;

    // Called with every area that needs repainting and the element that
    // changed there (nullptr when many did), so that pictures of elements
    // that did not change can be kept.
    using RepaintHandler = std::function<void(const QRect &, const PanelElement *source)>;
    void setRepaintHandler(RepaintHandler handler) { m_repaint = std::move(handler); }
    void invalidate(const QRect &rect, const PanelElement *source = nullptr)
    {
        if (m_repaint && !m_bulk && !rect.isEmpty())
            m_repaint(rect, source);
    }

    // Keeps `count` stacking places right above the newest element for
    // elements made later; returns the first.
    quint64 reserveOrders(int count)
    {
        const quint64 first = m_nextOrder;
        m_nextOrder += count;
        return first;
    }
    // Stacking places from here on lie above every element made the usual
    // way, also those made later: the selected object's handles are put
    // there, so that nothing covers them.
    static constexpr quint64 kRaisedOrders = quint64(1) << 62;
    static bool isRaised(const PanelElement &e) { return e.stackOrder() >= kRaisedOrders; }
    // Keeps `count` places above everything, above those kept before.
    quint64 reserveRaisedOrders(int count)
    {
        const quint64 first = m_nextRaisedOrder;
        m_nextRaisedOrder += count;
        return first;
    }

    // Between these two calls elements may be destroyed in any number without
    // a repaint request each; the end repaints the whole panel.
    void beginBulkRemoval();
    void endBulkRemoval();

private:
    friend class PanelElement;
    quint64 attach(PanelElement *element, QRect rect);
    void attachAt(PanelElement *element, QRect rect, quint64 order);
    void detach(PanelElement *element);
    void moved(PanelElement *element, QRect from, QRect to);
    Slot *slotOf(const PanelElement *element);
    std::vector<Slot>::iterator firstSlotFrom(quint64 order);

    // The hit-test index: the panel divided into square cells, each listing
    // the elements that reach into it, bottom to top; elements reaching
    // outside the panel are also listed together, for points out there.
    static constexpr int kCell = 32;
    static constexpr int kColumns = (kPanelWidth + kCell - 1) / kCell;
    static constexpr int kRows = (kPanelHeight + kCell - 1) / kCell;
    using Bucket = std::vector<PanelElement *>;
    template <typename F> void forEachBucket(QRect rect, F f);
    void index(PanelElement *element, QRect rect, quint64 order);
    void unindex(PanelElement *element, QRect rect);
    void rebuildIndex();
    std::vector<Bucket> m_cells = std::vector<Bucket>(kColumns * kRows);
    Bucket m_outside;

    std::vector<Slot> m_slots;
    quint64 m_nextOrder = 1;
    quint64 m_nextRaisedOrder = kRaisedOrders;
    bool m_bulk = false;
    std::unordered_set<const PanelElement *> m_bulkRemoved;
    RepaintHandler m_repaint;
};

} // namespace vell
