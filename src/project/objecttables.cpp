#include "project/objecttables.h"

#include "common/labelfont.h"
#include "common/textforms.h"
#include "project/kindfacts.h"

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
template <typename T, typename D>
void removeEntry(std::vector<std::unique_ptr<T>> &table, std::vector<D> &drawings, int id)
{
    if (id < 1 || id > int(table.size()))
        return;
    table.erase(table.begin() + (id - 1));
    drawings.erase(drawings.begin() + (id - 1));
    for (int i = id - 1; i < int(table.size()); ++i) {
        table[i]->Id = i + 1;
        drawings[i].element->setTag(i + 1);
    }
}

} // namespace

ObjectTables::ObjectTables() = default;

ObjectTables::~ObjectTables()
{
    m_scene.setRepaintHandler({});
    m_scene.beginBulkRemoval();
    for (auto &drawings : m_drawings)
        drawings.clear();
    m_scene.endBulkRemoval();
}

std::vector<ObjectTables::Drawing> &ObjectTables::drawings(ObjectKind kind)
{
    return m_drawings[kind - 1];
}

const std::vector<ObjectTables::Drawing> &ObjectTables::drawings(ObjectKind kind) const
{
    return m_drawings[kind - 1];
}

ObjectTables::Drawing ObjectTables::makeDrawing(VellControl &object, QColor fill)
{
    Drawing d;
    const bool label = object.Kind == KindText;
    const QRect rect = DrawnRect(object);
    d.element = std::make_unique<PanelElement>(
        m_scene, label ? ElementShape::Label : ElementShape::Rectangle, rect);
    PanelElement &e = *d.element;
    e.setTag(object.Id);
    e.setObjectKind(object.Kind);
    if (label) {
        const auto &text = static_cast<const VellText &>(object);
        e.setFill(kButtonFace);
        e.setText(text.Text);
        if (const auto color = TryTextToColor(text.TextColor))
            e.setTextColor(*color);
    } else {
        e.setFill(fill);
        e.setPen(QColor(0, 0, 0), 1);
        e.setFillStyle(object.Visible ? FillStyle::Solid : FillStyle::DiagCross);
        // The frame's handles lie right above the element.
        m_scene.reserveOrders(4);
    }
    return d;
}

VellControl *ObjectTables::create(ObjectKind kind, QColor fill)
{
    switch (kind) {
    case KindButton:
        return createButton(fill);
    case KindPicture:
        return createPicture(fill);
    case KindText:
        return createText();
    default:
        return nullptr;
    }
}

VellControl *ObjectTables::createNamed(ObjectKind kind, QColor fill, const QString &name)
{
    switch (kind) {
    case KindButton:
        return append(m_buttons, kind, &name, fill);
    case KindPicture:
        return append(m_pictures, kind, &name, fill);
    case KindText:
        return append(m_texts, kind, &name, fill);
    default:
        return nullptr;
    }
}

template <typename T>
T *ObjectTables::append(std::vector<std::unique_ptr<T>> &table, ObjectKind kind,
                        const QString *name, QColor fill)
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
    table.push_back(std::move(object));
    drawings(kind).push_back(makeDrawing(*table.back(), fill));
    return table.back().get();
}

VellButton *ObjectTables::createButton(QColor fill)
{
    return append(m_buttons, KindButton, nullptr, fill);
}

VellPicture *ObjectTables::createPicture(QColor fill)
{
    return append(m_pictures, KindPicture, nullptr, fill);
}

VellText *ObjectTables::createText()
{
    return append(m_texts, KindText, nullptr, QColor());
}

template <typename T>
T *ObjectTables::insertAt(std::vector<std::unique_ptr<T>> &table, const T &record, QColor fill)
{
    const ObjectKind kind = record.Kind;
    if (isFull(kind))
        return nullptr;
    const int at = std::clamp(record.Id, 1, int(table.size()) + 1) - 1;
    auto object = std::make_unique<T>(record);
    object->Id = at + 1;
    ++m_nameUses[object->Name];
    T *added = object.get();
    table.insert(table.begin() + at, std::move(object));
    auto &d = drawings(kind);
    d.insert(d.begin() + at, makeDrawing(*added, fill));
    for (int i = at + 1; i < int(table.size()); ++i) {
        table[i]->Id = i + 1;
        d[i].element->setTag(i + 1);
    }
    restore(*added, record);
    return added;
}

VellButton *ObjectTables::insert(const VellButton &record, QColor fill)
{
    return insertAt(m_buttons, record, fill);
}

VellPicture *ObjectTables::insert(const VellPicture &record, QColor fill)
{
    return insertAt(m_pictures, record, fill);
}

VellText *ObjectTables::insert(const VellText &record)
{
    return insertAt(m_texts, record, QColor());
}

void ObjectTables::restore(VellControl &object, const VellControl &record)
{
    PanelElement *e = element(object);
    const int id = object.Id;
    switch (object.Kind) {
    case KindButton:
        static_cast<VellButton &>(object) = static_cast<const VellButton &>(record);
        break;
    case KindPicture:
        static_cast<VellPicture &>(object) = static_cast<const VellPicture &>(record);
        break;
    case KindText: {
        auto &text = static_cast<VellText &>(object);
        text = static_cast<const VellText &>(record);
        if (e) {
            e->setText(text.Text);
            e->setTextColor(TryTextToColor(text.TextColor).value_or(QColor(0, 0, 0)));
        }
        break;
    }
    default:
        return;
    }
    object.Id = id;
    if (!e)
        return;
    const QRect rect = DrawnRect(object);
    e->setRect(rect);
    if (object.Kind == KindText)
        return;
    e->setFillStyle(object.Visible ? FillStyle::Solid : FillStyle::DiagCross);
    if (VellResizeRect *f = madeFrame(object))
        f->SetCorners(rect.left(), rect.top(), rect.left() + rect.width(),
                      rect.top() + rect.height());
}

int ObjectTables::count(ObjectKind kind) const
{
    return kind >= KindButton && kind <= KindText ? int(drawings(kind).size()) : 0;
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

VellControl *ObjectTables::objectOf(const PanelElement *element) const
{
    if (!element)
        return nullptr;
    VellControl *object = this->object(element->objectKind(), element->tag());
    return object && this->element(*object) == element ? object : nullptr;
}

const ObjectTables::Drawing *ObjectTables::drawing(const VellControl &object) const
{
    if (object.Kind < KindButton || object.Kind > KindText || object.Id < 1 ||
        object.Id > count(object.Kind))
        return nullptr;
    return &drawings(object.Kind)[object.Id - 1];
}

PanelElement *ObjectTables::element(const VellControl &object) const
{
    const Drawing *d = drawing(object);
    return d ? d->element.get() : nullptr;
}

VellResizeRect *ObjectTables::frame(const VellControl &object) const
{
    const Drawing *d = drawing(object);
    if (!d || object.Kind == KindText)
        return nullptr;
    if (!d->frame) {
        const PanelElement &e = *d->element;
        d->frame = std::make_unique<VellResizeRect>(const_cast<PanelScene &>(m_scene), e.rect(),
                                                    e.stackOrder() + 1,
                                                    this->object(object.Kind, object.Id));
    }
    return d->frame.get();
}

VellResizeRect *ObjectTables::madeFrame(const VellControl &object) const
{
    const Drawing *d = drawing(object);
    return d ? d->frame.get() : nullptr;
}

void ObjectTables::dropFrame(const VellControl &object)
{
    if (const Drawing *d = drawing(object))
        d->frame.reset();
}

void ObjectTables::placeDrawing(const VellControl &object)
{
    PanelElement *e = element(object);
    if (!e)
        return;
    const QRect rect = DrawnRect(object);
    e->setRect(rect);
    if (VellResizeRect *f = madeFrame(object))
        f->MoveTo(rect.left() + rect.width() / 2, rect.top() + rect.height() / 2);
}

void ObjectTables::SetPosition(VellControl &object, int x, int y)
{
    object.X = x;
    object.Y = y;
    placeDrawing(object);
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
    const QRect rect = DrawnRect(object);
    if (VellResizeRect *f = madeFrame(object))
        f->SetCorners(rect.left(), rect.top(), rect.left() + rect.width(),
                      rect.top() + rect.height());
    if (PanelElement *e = element(object))
        e->setRect(rect);
}

void ObjectTables::SetVisible(VellControl &object, bool visible)
{
    object.Visible = visible;
    if (object.Kind == KindButton || object.Kind == KindPicture) {
        if (PanelElement *e = element(object))
            e->setFillStyle(visible ? FillStyle::Solid : FillStyle::DiagCross);
    }
}

void ObjectTables::SetText(VellText &text, const QString &value)
{
    text.Text = value;
    const QSize size = LabelSize(value);
    text.Width = size.width();
    text.Height = size.height();
    if (PanelElement *e = element(text)) {
        e->setText(value);
        e->setSize(size.width(), size.height());
    }
}

void ObjectTables::SetTextColor(VellText &text, QColor color)
{
    text.TextColor = ColorToText(color);
    if (PanelElement *e = element(text))
        e->setTextColor(color);
}

void ObjectTables::ApplyFrame(VellControl &object)
{
    VellResizeRect *f = frame(object);
    PanelElement *e = element(object);
    if (!f || !e)
        return;
    const QRect rect = f->FramedRect();
    e->setRect(rect);
    object.Width = rect.width();
    object.Height = rect.height();
    object.X = rect.left() + rect.width() / 2 - kPanelWidth / 2;
    object.Y = kPanelHeight / 2 - rect.top() - rect.height() / 2;
}

void ObjectTables::remove(ObjectKind kind, int id)
{
    VellControl *gone = object(kind, id);
    if (!gone)
        return;
    if (aboutToRemove)
        aboutToRemove(gone);
    forgetName(gone->Name);
    switch (kind) {
    case KindButton:
        removeEntry(m_buttons, drawings(kind), id);
        break;
    case KindPicture:
        removeEntry(m_pictures, drawings(kind), id);
        break;
    default:
        removeEntry(m_texts, drawings(kind), id);
        break;
    }
}

void ObjectTables::clearAll()
{
    if (aboutToRemove)
        aboutToRemove(nullptr);
    m_scene.beginBulkRemoval();
    for (auto &drawings : m_drawings)
        drawings.clear();
    m_scene.endBulkRemoval();
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
    for (int id = 1; id <= count(kind); ++id) {
        VellControl *o = object(kind, id);
        if (o->Name == name)
            return o;
    }
    return nullptr;
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
