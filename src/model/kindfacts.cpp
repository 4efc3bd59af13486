#include "model/kindfacts.h"

#include "model/settings.h"

namespace vell {

namespace {

// Indexed by the kind's number.
constexpr KindFacts kFacts[] = {
    {KindNone, {}, {}, {}, nullptr, {}, {}},
    {KindButton, u"Button_", u"But", u"Кнопка", &Settings::buttonVar, u"BUTTON",
     u"Нельзя создать кнопку: на панели уже %1 кнопок."},
    {KindPicture, u"Picture_", u"Pic", u"Картинка", &Settings::pictureVar, u"PICTURE",
     u"Нельзя создать картинку: на панели уже %1 картинок."},
    {KindText, u"Text_", u"Tex", u"Текст", &Settings::textVar, u"TEXT",
     u"Нельзя создать текст: на панели уже %1 текстов."},
};

} // namespace

const KindFacts &factsOf(ObjectKind kind)
{
    return kind >= KindButton && kind <= KindText ? kFacts[kind] : kFacts[KindNone];
}

} // namespace vell
