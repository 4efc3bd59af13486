#include "model/objecttables.h"

#include "common/labelfont.h"
#include "common/textforms.h"
#include "model/kindfacts.h"

namespace vell {

namespace {

constexpr int kNewSize = 32;

template <typename T> T *entry(const std::vector<std::unique_ptr<T>> &table, int id)
{
    if (id < 1 || id > int(table.size()))
        return nullptr;
    return table[id - 1].get();
}

// Removes entry id; later entries move up and carry their new identifiers.
template <typename T> void removeEntry(std::vector<std::unique_ptr<T>> &table, int id)
{
    if (id < 1 || id > int(table.size()))
        return;
    table.erase(table.begin() + (id - 1));
    for (int i = id - 1; i < int(table.size()); ++i)
        table[i]->Id = i + 1;
}

} // namespace

ObjectTables::ObjectTables() = default;

ObjectTables::~ObjectTables() = default;

void ObjectTables::addObserver(TableObserver *observer)
{
    m_observers.push_back(observer);
}

void ObjectTables::removeObserver(TableObserver *observer)
{
    std::erase(m_observers, observer);
}

void ObjectTables::changed(const VellControl &object, ObjectAspect aspect)
{
    for (TableObserver *o : m_observers)
        o->objectChanged(object, aspect);
}

VellControl *ObjectTables::create(ObjectKind kind)
{
    switch (kind) {
    case KindButton:
        return createButton();
    case KindPicture:
        return createPicture();
    case KindText:
        return createText();
    default:
        return nullptr;
    }
}

VellControl *ObjectTables::createNamed(ObjectKind kind, const QString &name)
{
    switch (kind) {
    case KindButton:
        return append(m_buttons, kind, &name);
    case KindPicture:
        return append(m_pictures, kind, &name);
    case KindText:
        return append(m_texts, kind, &name);
    default:
        return nullptr;
    }
}

template <typename T>
T *ObjectTables::append(std::vector<std::unique_ptr<T>> &table, ObjectKind kind,
                        const QString *name)
{
    if (isFull(kind))
        return nullptr;
    auto object = std::make_unique<T>();
    if constexpr (std::is_same_v<T, VellText>) {
        // Measured first: without fonts nothing is added.
        const QSize size = LabelSize(object->Text);
        object->Width = size.width();
        object->Height = size.height();
    } else {
        object->Width = object->Height = kNewSize;
    }
    int &counter = kind == KindButton    ? ButtonNameCounter
                   : kind == KindPicture ? PictureNameCounter
                                         : TextNameCounter;
    object->Kind = kind;
    if (name) {
        ++counter;
        object->Name = *name;
    } else {
        do
            object->Name = factsOf(kind).namePrefix.toString() + QString::number(++counter);
        while (isNameInUse(object->Name));
    }
    object->Id = int(table.size()) + 1;
    ++m_nameUses[object->Name];
    m_nameIndex.reset();
    table.push_back(std::move(object));
    for (TableObserver *o : m_observers)
        o->objectAdded(*table.back());
    return table.back().get();
}

VellButton *ObjectTables::createButton()
{
    return append(m_buttons, KindButton, nullptr);
}

VellPicture *ObjectTables::createPicture()
{
    return append(m_pictures, KindPicture, nullptr);
}

VellText *ObjectTables::createText()
{
    return append(m_texts, KindText, nullptr);
}

template <typename T>
T *ObjectTables::insertAt(std::vector<std::unique_ptr<T>> &table, const T &record)
{
    const ObjectKind kind = record.Kind;
    if (isFull(kind))
        return nullptr;
    const int at = std::clamp(record.Id, 1, int(table.size()) + 1) - 1;
    auto object = std::make_unique<T>(record);
    object->Id = at + 1;
    ++m_nameUses[object->Name];
    m_nameIndex.reset();
    T *added = object.get();
    table.insert(table.begin() + at, std::move(object));
    for (int i = at + 1; i < int(table.size()); ++i)
        table[i]->Id = i + 1;
    for (TableObserver *o : m_observers)
        o->objectAdded(*added);
    return added;
}

VellButton *ObjectTables::insert(const VellButton &record)
{
    return insertAt(m_buttons, record);
}

VellPicture *ObjectTables::insert(const VellPicture &record)
{
    return insertAt(m_pictures, record);
}

VellText *ObjectTables::insert(const VellText &record)
{
    return insertAt(m_texts, record);
}

void ObjectTables::restore(VellControl &object, const VellControl &record)
{
    m_nameIndex.reset();
    const int id = object.Id;
    switch (object.Kind) {
    case KindButton:
        static_cast<VellButton &>(object) = static_cast<const VellButton &>(record);
        break;
    case KindPicture:
        static_cast<VellPicture &>(object) = static_cast<const VellPicture &>(record);
        break;
    case KindText:
        static_cast<VellText &>(object) = static_cast<const VellText &>(record);
        break;
    default:
        return;
    }
    object.Id = id;
    changed(object, ObjectAspect::All);
}

int ObjectTables::count(ObjectKind kind) const
{
    switch (kind) {
    case KindButton:
        return int(m_buttons.size());
    case KindPicture:
        return int(m_pictures.size());
    case KindText:
        return int(m_texts.size());
    default:
        return 0;
    }
}

int ObjectTables::totalCount() const
{
    return ButtonCount() + PictureCount() + TextCount();
}

VellButton *ObjectTables::button(int id) const
{
    return entry(m_buttons, id);
}

VellPicture *ObjectTables::picture(int id) const
{
    return entry(m_pictures, id);
}

VellText *ObjectTables::text(int id) const
{
    return entry(m_texts, id);
}

VellControl *ObjectTables::object(ObjectKind kind, int id) const
{
    switch (kind) {
    case KindButton:
        return button(id);
    case KindPicture:
        return picture(id);
    case KindText:
        return text(id);
    default:
        return nullptr;
    }
}

void ObjectTables::SetPosition(VellControl &object, int x, int y)
{
    object.X = x;
    object.Y = y;
    changed(object, ObjectAspect::Place);
}

void ObjectTables::SetSize(VellControl &object, int w, int h)
{
    SetExactSize(object, w / 2 * 2, h / 2 * 2);
}

void ObjectTables::SetExactSize(VellControl &object, int w, int h)
{
    if (object.Kind != KindButton && object.Kind != KindPicture)
        return;
    object.Width = w;
    object.Height = h;
    changed(object, ObjectAspect::Size);
}

void ObjectTables::SetVisible(VellControl &object, bool visible)
{
    object.Visible = visible;
    changed(object, ObjectAspect::Visible);
}

void ObjectTables::SetText(VellText &text, const QString &value)
{
    text.Text = value;
    const QSize size = LabelSize(value);
    text.Width = size.width();
    text.Height = size.height();
    changed(text, ObjectAspect::Text);
}

void ObjectTables::SetTextColor(VellText &text, QColor color)
{
    text.TextColor = ColorToText(color);
    changed(text, ObjectAspect::TextColor);
}

void ObjectTables::SetFramedRect(VellControl &object, const QRect &rect)
{
    object.Width = rect.width();
    object.Height = rect.height();
    object.X = rect.left() + rect.width() / 2 - kPanelWidth / 2;
    object.Y = kPanelHeight / 2 - rect.top() - rect.height() / 2;
    changed(object, ObjectAspect::Framed);
}

void ObjectTables::remove(ObjectKind kind, int id)
{
    m_nameIndex.reset();
    VellControl *gone = object(kind, id);
    if (!gone)
        return;
    if (aboutToRemove)
        aboutToRemove(gone);
    forgetName(gone->Name);
    switch (kind) {
    case KindButton:
        removeEntry(m_buttons, id);
        break;
    case KindPicture:
        removeEntry(m_pictures, id);
        break;
    default:
        removeEntry(m_texts, id);
        break;
    }
    for (TableObserver *o : m_observers)
        o->objectRemoved(kind, id);
}

void ObjectTables::clearAll()
{
    m_nameIndex.reset();
    if (aboutToRemove)
        aboutToRemove(nullptr);
    for (TableObserver *o : m_observers)
        o->objectsCleared();
    m_buttons.clear();
    m_pictures.clear();
    m_texts.clear();
    m_nameUses.clear();
}

void ObjectTables::forgetName(const QString &name)
{
    const auto it = m_nameUses.find(name);
    if (it != m_nameUses.end() && --*it == 0)
        m_nameUses.erase(it);
}

VellControl *ObjectTables::FindObjectByName(ObjectKind kind, const QString &name) const
{
    if (!m_nameIndex) {
        m_nameIndex = std::make_unique<ObjectNameIndex>();
        m_nameIndex->reserve(size_t(count(KindButton) + count(KindPicture) + count(KindText)));
        for (const ObjectKind k : kObjectKinds) {
            for (int id = 1; id <= count(k); ++id)
                m_nameIndex->add(*object(k, id));
        }
    }
    // The index holds the tables' own objects.
    return const_cast<VellControl *>(m_nameIndex->find(kind, name));
}

void ObjectNameIndex::reserve(size_t objects)
{
    // Most designs hold more buttons than anything else.
    for (auto &names : m_names)
        names.reserve(qsizetype(objects / 2));
}

void ObjectNameIndex::add(const VellControl &object)
{
    if (object.Kind < KindButton || object.Kind > KindText)
        return;
    QHash<QString, const VellControl *> &names = m_names[object.Kind - 1];
    if (!names.contains(object.Name))
        names.insert(object.Name, &object);
}

const VellControl *ObjectNameIndex::find(ObjectKind kind, const QString &name) const
{
    if (kind < KindButton || kind > KindText)
        return nullptr;
    return m_names[kind - 1].value(name, nullptr);
}

QStringList ObjectTables::objectNames(ObjectKind kind) const
{
    QStringList names;
    const int n = count(kind);
    names.reserve(n);
    for (int id = 1; id <= n; ++id)
        names.append(object(kind, id)->Name);
    return names;
}

QStringList ObjectTables::objectNames() const
{
    QStringList names;
    names.reserve(totalCount());
    for (const ObjectKind kind : kObjectKinds)
        names += objectNames(kind);
    return names;
}

int ObjectTables::namePosition(const VellControl &object) const
{
    int before = 0;
    for (const ObjectKind kind : kObjectKinds) {
        if (kind == object.Kind)
            return before + object.Id - 1;
        before += count(kind);
    }
    return -1;
}

ObjectKind KindFromNamePrefix(const QString &name)
{
    const QStringView prefix = QStringView(name).left(3);
    for (const ObjectKind kind : kObjectKinds) {
        if (prefix == factsOf(kind).shortPrefix)
            return kind;
    }
    return KindNone;
}

ObjectKind KindFromText(const QString &kindText)
{
    for (const ObjectKind kind : kObjectKinds) {
        if (kindText == factsOf(kind).kindText)
            return kind;
    }
    return KindNone;
}

QString KindBoxText(ObjectKind kind)
{
    return factsOf(kind).kindText.toString();
}

} // namespace vell
