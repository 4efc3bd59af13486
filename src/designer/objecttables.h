#pragma once

#include "designer/vellobjects.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace vell {

// The three object tables, their name counters and the design panel's
// elements. Entry i of a table is the object with identifier i (1-based), in
// creation order, without gaps.
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

    // Constructors: the new object stands at the panel centre, unselected.
    // They return nullptr (and change nothing) when the kind's table is full.
    VellButton *createButton(QColor fill);
    VellPicture *createPicture(QColor fill);
    VellText *createText();

    int ButtonCount() const { return int(m_buttons.size()); }
    int PictureCount() const { return int(m_pictures.size()); }
    int TextCount() const { return int(m_texts.size()); }
    int count(int kind) const;

    // Objects by identifier (1-based); nullptr when out of range.
    VellButton *button(int id) const;
    VellPicture *picture(int id) const;
    VellText *text(int id) const;
    VellControl *object(int kind, int id) const;
    // The object an element belongs to (its kind and identifier), or nullptr.
    VellControl *objectOf(const PanelElement *element) const;

    // Removes the object: later entries move up one place and are renumbered.
    void remove(int kind, int id);
    // Removes every object; the name counters keep their values.
    void clearAll();

    // The first object of the kind whose name equals `name` exactly.
    VellControl *FindObjectByName(int kind, const QString &name) const;
    // Names of all buttons, then all pictures, then all texts, in table order.
    QStringList objectNames() const;
    QStringList objectNames(int kind) const;

    int ButtonNameCounter = 0;
    int PictureNameCounter = 0;
    int TextNameCounter = 0;

private:
    PanelScene m_scene;
    std::vector<std::unique_ptr<VellButton>> m_buttons;
    std::vector<std::unique_ptr<VellPicture>> m_pictures;
    std::vector<std::unique_ptr<VellText>> m_texts;
};

// Kind of a name by its first three characters ("But", "Pic", "Tex"), else 0.
int KindFromNamePrefix(const QString &name);
// Kind of a kind-box text ("Кнопка", "Картинка", "Текст"), else 0.
int KindFromText(const QString &kindText);
// The kind box's text for a kind.
QString KindBoxText(int kind);

} // namespace vell
