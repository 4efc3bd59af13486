#include "designer/objecttables.h"

#include "common/labelfont.h"

namespace vell {

namespace {

// The system's button-face colour, behind unselected labels.
const QColor kButtonFace(240, 240, 240);

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
    auto removed = std::move(table[id - 1]);
    table.erase(table.begin() + (id - 1));
    for (int i = id - 1; i < int(table.size()); ++i)
        table[i]->Element->setTag(i + 1);
    removed.reset();
}

template <typename T>
std::unique_ptr<T> makeFramedObject(PanelScene &scene, int kind, int id, const QString &name,
                                    QColor fill)
{
    auto object = std::make_unique<T>();
    object->Kind = kind;
    object->Element =
        std::make_unique<PanelElement>(scene, ElementShape::Rectangle, QRect(0, 0, 32, 32));
    PanelElement &e = *object->Element;
    e.setName(name);
    e.setTag(id);
    e.setObjectKind(kind);
    e.setLeftTop(ElementLeftFor(0, 32), ElementTopFor(0, 32));
    e.setFill(fill);
    e.setPen(QColor(0, 0, 0), 1);
    object->Frame =
        std::make_unique<VellResizeRect>(scene, e.left() + e.width() / 2, e.top() + e.height() / 2,
                                         e.width(), e.height(), object.get());
    object->Frame->SetVisible(false);
    return object;
}

} // namespace

ObjectTables::ObjectTables() = default;

ObjectTables::~ObjectTables()
{
    m_scene.beginBulkRemoval();
    m_texts.clear();
    m_pictures.clear();
    m_buttons.clear();
    m_scene.setRepaintHandler({});
    m_scene.endBulkRemoval();
}

VellButton *ObjectTables::createButton(QColor fill)
{
    if (ButtonCount() >= Capacity)
        return nullptr;
    ++ButtonNameCounter;
    auto button =
        makeFramedObject<VellButton>(m_scene, KindButton, ButtonCount() + 1,
                                     QStringLiteral("Button_%1").arg(ButtonNameCounter), fill);
    m_buttons.push_back(std::move(button));
    return m_buttons.back().get();
}

VellPicture *ObjectTables::createPicture(QColor fill)
{
    if (PictureCount() >= Capacity)
        return nullptr;
    ++PictureNameCounter;
    auto picture =
        makeFramedObject<VellPicture>(m_scene, KindPicture, PictureCount() + 1,
                                      QStringLiteral("Picture_%1").arg(PictureNameCounter), fill);
    m_pictures.push_back(std::move(picture));
    return m_pictures.back().get();
}

VellText *ObjectTables::createText()
{
    if (TextCount() >= Capacity)
        return nullptr;
    ++TextNameCounter;
    auto text = std::make_unique<VellText>();
    text->Kind = KindText;
    text->Element =
        std::make_unique<PanelElement>(m_scene, ElementShape::Label, QRect(0, 0, 32, 13));
    PanelElement &e = *text->Element;
    e.setName(QStringLiteral("Text_%1").arg(TextNameCounter));
    e.setTag(TextCount() + 1);
    e.setObjectKind(KindText);
    e.setFill(kButtonFace);
    SetText(*text, text->Text);
    e.setLeftTop(ElementLeftFor(0, e.width()), ElementTopFor(0, e.height()));
    m_texts.push_back(std::move(text));
    return m_texts.back().get();
}

int ObjectTables::count(int kind) const
{
    switch (kind) {
    case KindButton:
        return ButtonCount();
    case KindPicture:
        return PictureCount();
    case KindText:
        return TextCount();
    default:
        return 0;
    }
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

VellControl *ObjectTables::object(int kind, int id) const
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
    return object && ownerElement(*object) == element ? object : nullptr;
}

void ObjectTables::remove(int kind, int id)
{
    switch (kind) {
    case KindButton:
        removeEntry(m_buttons, id);
        break;
    case KindPicture:
        removeEntry(m_pictures, id);
        break;
    case KindText:
        removeEntry(m_texts, id);
        break;
    default:
        break;
    }
}

void ObjectTables::clearAll()
{
    m_scene.beginBulkRemoval();
    m_buttons.clear();
    m_pictures.clear();
    m_texts.clear();
    m_scene.endBulkRemoval();
}

VellControl *ObjectTables::FindObjectByName(int kind, const QString &name) const
{
    for (int id = 1; id <= count(kind); ++id) {
        VellControl *o = object(kind, id);
        if (ObjectName(*o) == name)
            return o;
    }
    return nullptr;
}

QStringList ObjectTables::objectNames(int kind) const
{
    QStringList names;
    const int n = count(kind);
    names.reserve(n);
    for (int id = 1; id <= n; ++id)
        names.append(ObjectName(*object(kind, id)));
    return names;
}

QStringList ObjectTables::objectNames() const
{
    return objectNames(KindButton) + objectNames(KindPicture) + objectNames(KindText);
}

int KindFromNamePrefix(const QString &name)
{
    const QStringView prefix = QStringView(name).left(3);
    if (prefix == QLatin1String("But"))
        return KindButton;
    if (prefix == QLatin1String("Pic"))
        return KindPicture;
    if (prefix == QLatin1String("Tex"))
        return KindText;
    return KindNone;
}

int KindFromText(const QString &kindText)
{
    for (int kind = KindButton; kind <= KindText; ++kind) {
        if (kindText == KindBoxText(kind))
            return kind;
    }
    return KindNone;
}

QString KindBoxText(int kind)
{
    switch (kind) {
    case KindButton:
        return QStringLiteral("Кнопка");
    case KindPicture:
        return QStringLiteral("Картинка");
    case KindText:
        return QStringLiteral("Текст");
    default:
        return QString();
    }
}

} // namespace vell
