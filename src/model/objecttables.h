#pragma once

#include "model/vellobjects.h"

#include <QColor>

#include <QHash>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace vell {

// What changed in an object, for those who show the tables.
enum class ObjectAspect
{
    Place,  // X and Y
    Size,   // width and height (about the unchanged centre)
    Framed, // size and centre taken from a dragged frame
    Visible,
    Text, // a text's text, and its size with it
    TextColor,
    All, // every field (the history set them back or forth)
};

// Told of every change of the tables, in the order they happen: a view of
// the objects (the design panel's drawing) follows them so.
class TableObserver
{
public:
    virtual ~TableObserver() = default;
    // The object came in at its place (Id); later ones moved down a place.
    virtual void objectAdded(const VellControl &object) = 0;
    virtual void objectChanged(const VellControl &object, ObjectAspect aspect) = 0;
    // The object at the place went; later ones moved up a place.
    virtual void objectRemoved(ObjectKind kind, int id) = 0;
    virtual void objectsCleared() = 0;
};

// The object an action line names: the first of the kind with that name.
using ObjectByName = std::function<const VellControl *(ObjectKind, const QString &)>;

// Finds objects by name as an action line names them (the first object of
// the kind that bears the name, in the order they are added), at the cost
// of one look-up each.
class ObjectNameIndex
{
public:
    void reserve(size_t objects);
    void add(const VellControl &object);
    const VellControl *find(ObjectKind kind, const QString &name) const;
    ObjectByName finder() const
    {
        return [this](ObjectKind kind, const QString &name) {
            return find(kind, name);
        };
    }

private:
    QHash<QString, const VellControl *> m_names[3];
};

// The three object tables with their name counters. Entry i of a table is
// the object with identifier i (1-based), in creation order, without gaps.
// The objects are plain records; every change goes through the operations
// below, which tell the observers (what the panel draws is one). This is the
// one owner of the objects: whoever keeps a reference to one learns of its
// removal through `aboutToRemove`.
class ObjectTables
{
public:
    static constexpr int Capacity = 9999;

    ObjectTables();
    ~ObjectTables();
    ObjectTables(const ObjectTables &) = delete;
    ObjectTables &operator=(const ObjectTables &) = delete;

    void addObserver(TableObserver *observer);
    void removeObserver(TableObserver *observer);

    bool isFull(ObjectKind kind) const { return count(kind) >= Capacity; }
    // The first kind whose table has no room for that many more objects
    // (`more`, by kind); KindNone when all of them fit.
    ObjectKind kindWithoutRoom(const std::array<qsizetype, KindText + 1> &more) const
    {
        for (const ObjectKind kind : kObjectKinds) {
            if (more[kind] > Capacity - count(kind))
                return kind;
        }
        return KindNone;
    }

    // Constructors: the new object stands at the panel centre, unselected,
    // named after its kind's next counter value (a value whose name another
    // object already bears is passed over, so names stay unique). They
    // return nullptr (and change nothing) when the kind's table is full.
    VellControl *create(ObjectKind kind);
    // As create, but the object bears the given name; the kind's counter
    // still advances by one (a project being read names its objects so).
    VellControl *createNamed(ObjectKind kind, const QString &name);
    // Whether some object bears the name.
    bool isNameInUse(const QString &name) const { return m_nameUses.contains(name); }
    VellButton *createButton();
    VellPicture *createPicture();
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
    // Texts: the label shows the text and fits itself to it, centred where
    // X and Y say.
    void SetText(VellText &text, const QString &value);
    void SetTextColor(VellText &text, QColor color);
    // A button or picture takes the panel rectangle (a dragged frame's) as
    // its size and centre.
    void SetFramedRect(VellControl &object, const QRect &rect);

    // Puts a copy of an object back at its place (its Id) under its name,
    // with its fields; later entries move down and are renumbered. The name
    // counters keep their values. nullptr when the table is full.
    VellButton *insert(const VellButton &record);
    VellPicture *insert(const VellPicture &record);
    VellText *insert(const VellText &record);
    // Gives an object every field of the record (of its kind and place)
    // exactly.
    void restore(VellControl &object, const VellControl &record);

    // Removes the object: later entries move up one place and are renumbered.
    void remove(ObjectKind kind, int id);
    // Removes every object; the name counters keep their values.
    void clearAll();
    // Told before an object goes (nullptr: before every object goes).
    std::function<void(const VellControl *)> aboutToRemove;

    // The first object of the kind whose name equals `name` exactly (one
    // look-up; the index is made again after objects come or go).
    VellControl *FindObjectByName(ObjectKind kind, const QString &name) const;
    ObjectByName finder() const
    {
        return [this](ObjectKind kind, const QString &name) {
            return FindObjectByName(kind, name);
        };
    }
    // Names of all buttons, then all pictures, then all texts, in table order.
    QStringList objectNames() const;
    QStringList objectNames(ObjectKind kind) const;
    // Where the object's name stands in objectNames().
    int namePosition(const VellControl &object) const;

    int ButtonNameCounter = 0;
    int PictureNameCounter = 0;
    int TextNameCounter = 0;

private:
    template <typename T>
    T *append(std::vector<std::unique_ptr<T>> &table, ObjectKind kind, const QString *name);
    template <typename T> T *insertAt(std::vector<std::unique_ptr<T>> &table, const T &record);
    void forgetName(const QString &name);
    void changed(const VellControl &object, ObjectAspect aspect);

    std::vector<std::unique_ptr<VellButton>> m_buttons;
    std::vector<std::unique_ptr<VellPicture>> m_pictures;
    std::vector<std::unique_ptr<VellText>> m_texts;
    std::vector<TableObserver *> m_observers;
    // How many objects bear each name.
    QHash<QString, int> m_nameUses;
    // Made when a name is first looked up after objects came, went or were
    // restored.
    mutable std::unique_ptr<ObjectNameIndex> m_nameIndex;
};

// Kind of a name by its first three characters ("But", "Pic", "Tex").
ObjectKind KindFromNamePrefix(const QString &name);
// Kind of a kind-box text ("Кнопка", "Картинка", "Текст").
ObjectKind KindFromText(const QString &kindText);
// The kind box's text for a kind.
QString KindBoxText(ObjectKind kind);

} // namespace vell
