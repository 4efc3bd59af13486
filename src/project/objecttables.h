#pragma once

#include "designer/vellresizerect.h"
#include "project/vellobjects.h"

#include <QHash>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace vell {

// The three object tables with their name counters, and the design panel's
// elements drawn for the objects. Entry i of a table is the object with
// identifier i (1-based), in creation order, without gaps. The objects are
// plain records; every change goes through the operations below, which keep
// the elements in step with them. This is the one owner of the objects:
// whoever keeps a reference to one learns of its removal through
// `aboutToRemove`.
class ObjectTables
{
public:
    static constexpr int Capacity = 9999;

    ObjectTables();
    ~ObjectTables();
    ObjectTables(const ObjectTables &) = delete;
    ObjectTables &operator=(const ObjectTables &) = delete;

    PanelScene &scene() { return m_scene; }
    const PanelScene &scene() const { return m_scene; }

    bool isFull(ObjectKind kind) const { return count(kind) >= Capacity; }

    // Constructors: the new object stands at the panel centre, unselected,
    // named after its kind's next counter value (a value whose name another
    // object already bears is passed over, so names stay unique). They
    // return nullptr (and change nothing) when the kind's table is full.
    // `fill` is the colour of a button's or picture's rectangle.
    VellControl *create(ObjectKind kind, QColor fill = QColor(255, 255, 255));
    // As create, but the object bears the given name; the kind's counter
    // still advances by one (a project being read names its objects so).
    VellControl *createNamed(ObjectKind kind, QColor fill, const QString &name);
    // Whether some object bears the name.
    bool isNameInUse(const QString &name) const { return m_nameUses.contains(name); }
    VellButton *createButton(QColor fill);
    VellPicture *createPicture(QColor fill);
    VellText *createText();

    int ButtonCount() const { return count(KindButton); }
    int PictureCount() const { return count(KindPicture); }
    int TextCount() const { return count(KindText); }
    int count(ObjectKind kind) const;
    int totalCount() const;

    // Objects by identifier (1-based); nullptr when out of range.
    VellButton *button(int id) const;
    VellPicture *picture(int id) const;
    VellText *text(int id) const;
    VellControl *object(ObjectKind kind, int id) const;
    // The object an element belongs to, or nullptr.
    VellControl *objectOf(const PanelElement *element) const;
    // What the panel draws for an object: its element, and for buttons and
    // pictures its selection frame (nullptr for texts). A frame is made when
    // first asked for, hidden, framing the object's rectangle.
    PanelElement *element(const VellControl &object) const;
    VellResizeRect *frame(const VellControl &object) const;
    // Lets the frame go (its handles vanish); asking again makes a new one.
    // Thousands of frames that nobody shows need not be kept.
    void dropFrame(const VellControl &object);

    // Object operations.
    void SetPosition(VellControl &object, int x, int y);
    // Buttons and pictures: resize about the unchanged centre; an odd size
    // loses a pixel (33 gives 32).
    void SetSize(VellControl &object, int w, int h);
    // Buttons and pictures: the size exactly as given, odd or even (a handle
    // leaves odd sizes, and a project read back keeps them), about the
    // unchanged centre.
    void SetExactSize(VellControl &object, int w, int h);
    void SetVisible(VellControl &object, bool visible);
    // Texts: the label shows the text and fits itself to it, keeping its
    // left and top edges (the centre stays where X and Y say).
    void SetText(VellText &text, const QString &value);
    void SetTextColor(VellText &text, QColor color);
    // The frame of a button or picture was dragged: the object takes the
    // framed rectangle as its size and centre.
    void ApplyFrame(VellControl &object);

    // Puts a copy of an object back at its place (its Id) under its name,
    // with its fields; later entries move down and are renumbered. The name
    // counters keep their values. nullptr when the table is full.
    VellButton *insert(const VellButton &record, QColor fill);
    VellPicture *insert(const VellPicture &record, QColor fill);
    VellText *insert(const VellText &record);
    // Gives an object every field of the record (of its kind and place)
    // exactly, and draws it so.
    void restore(VellControl &object, const VellControl &record);

    // Removes the object: later entries move up one place and are renumbered.
    void remove(ObjectKind kind, int id);
    // Removes every object; the name counters keep their values.
    void clearAll();
    // Told before an object goes (nullptr: before every object goes).
    std::function<void(const VellControl *)> aboutToRemove;

    // The first object of the kind whose name equals `name` exactly.
    VellControl *FindObjectByName(ObjectKind kind, const QString &name) const;
    // Names of all buttons, then all pictures, then all texts, in table order.
    QStringList objectNames() const;
    QStringList objectNames(ObjectKind kind) const;
    // Where the object's name stands in objectNames().
    int namePosition(const VellControl &object) const;

    int ButtonNameCounter = 0;
    int PictureNameCounter = 0;
    int TextNameCounter = 0;

private:
    // What the panel draws for one object.
    struct Drawing
    {
        std::unique_ptr<PanelElement> element;
        mutable std::unique_ptr<VellResizeRect> frame;
    };
    std::vector<Drawing> &drawings(ObjectKind kind);
    const std::vector<Drawing> &drawings(ObjectKind kind) const;
    Drawing makeDrawing(VellControl &object, QColor fill);
    const Drawing *drawing(const VellControl &object) const;
    // The frame if one was made, else nullptr.
    VellResizeRect *madeFrame(const VellControl &object) const;
    void placeDrawing(const VellControl &object);
    template <typename T>
    T *append(std::vector<std::unique_ptr<T>> &table, ObjectKind kind, const QString *name,
              QColor fill);
    template <typename T>
    T *insertAt(std::vector<std::unique_ptr<T>> &table, const T &record, QColor fill);
    void forgetName(const QString &name);

    PanelScene m_scene;
    std::vector<std::unique_ptr<VellButton>> m_buttons;
    std::vector<std::unique_ptr<VellPicture>> m_pictures;
    std::vector<std::unique_ptr<VellText>> m_texts;
    std::vector<Drawing> m_drawings[3];
    // How many objects bear each name.
    QHash<QString, int> m_nameUses;
};

// Kind of a name by its first three characters ("But", "Pic", "Tex").
ObjectKind KindFromNamePrefix(const QString &name);
// Kind of a kind-box text ("Кнопка", "Картинка", "Текст").
ObjectKind KindFromText(const QString &kindText);
// The kind box's text for a kind.
QString KindBoxText(ObjectKind kind);

} // namespace vell
