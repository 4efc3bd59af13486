#include "model/propertyrows.h"

#include "common/cp1251.h"
#include "common/textforms.h"
#include "common/vellerror.h"

namespace vell {

namespace {

PropertyRow plain(const QString &key, const QString &value)
{
    return PropertyRow{key, value, RowEditor::Plain, {}};
}

PropertyRow pick(const QString &key, bool value)
{
    return PropertyRow{key,
                       BoolToText(value),
                       RowEditor::PickList,
                       {QStringLiteral("true"), QStringLiteral("false")}};
}

PropertyRow ellipsis(const QString &key, const QString &value)
{
    return PropertyRow{key, value, RowEditor::Ellipsis, {}};
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isLatinLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

const QChar kBackspace(u'\b');

} // namespace

QList<PropertyRow> PropertyRowsFor(const VellControl &object)
{
    QList<PropertyRow> rows;
    // The last letters of the first two keys are the Cyrillic Х and У.
    rows.append(plain(QStringLiteral("Координата Х"), IntToText(object.X)));
    rows.append(plain(QStringLiteral("Координата У"), IntToText(object.Y)));
    switch (object.Kind) {
    case KindButton:
    case KindPicture: {
        rows.append(plain(QStringLiteral("Ширина"), IntToText(object.Width)));
        rows.append(plain(QStringLiteral("Высота"), IntToText(object.Height)));
        rows.append(plain(QStringLiteral("ID текстуры"), *TextureOf(object)));
        rows.append(pick(QStringLiteral("Видимость"), object.Visible));
        if (object.Kind == KindButton) {
            const auto &b = static_cast<const VellButton &>(object);
            rows.append(ellipsis(QStringLiteral("Левый клик"), b.LeftActionsFunction));
            rows.append(ellipsis(QStringLiteral("Правый клик"), b.RightActionsFunction));
        }
        break;
    }
    case KindText: {
        const auto &t = static_cast<const VellText &>(object);
        rows.append(plain(QStringLiteral("Текст"), t.Text));
        rows.append(pick(QStringLiteral("Видимость"), object.Visible));
        rows.append(ellipsis(QStringLiteral("Цвет текста"), t.TextColor));
        break;
    }
    default:
        break;
    }
    return rows;
}

int VisibilityRow(ObjectKind kind)
{
    return kind == KindText ? Row::TextVisibility : Row::Visibility;
}

bool AcceptsTypedChar(ObjectKind kind, int row, const QString &currentValue, TypedAt at, QChar c)
{
    if (row == Row::X || row == Row::Y) {
        if (c == kBackspace || isDigit(c))
            return true;
        // A minus only as the value's first character and its only minus.
        return c == QLatin1Char('-') && at.start == 0 &&
               currentValue.indexOf(QLatin1Char('-'), at.length) < 0;
    }
    if (kind == KindText) {
        // Anything the files can store; no line breaks in a one-line value.
        if (row == Row::Text)
            return c == kBackspace ||
                   (IsCp1251Char(c) && c != QLatin1Char('\r') && c != QLatin1Char('\n'));
        return false;
    }
    switch (row) {
    case Row::Width:
    case Row::Height:
        return c == kBackspace || isDigit(c);
    case Row::Texture:
        return c == kBackspace || isDigit(c) || isLatinLetter(c);
    case Row::LeftClick:
    case Row::RightClick:
        return kind == KindButton &&
               (c == kBackspace || c == QLatin1Char('_') || isDigit(c) || isLatinLetter(c));
    default:
        return false;
    }
}

ApplyOutcome ApplyRow(ObjectTables &tables, VellControl &object, int row, const QStringList &values)
{
    const auto value = [&values](int r) {
        return values.value(r - 1);
    };
    ApplyOutcome outcome;
    auto integer = [&outcome](const QString &text) -> std::optional<int> {
        const auto v = TryTextToInt(text);
        if (!v)
            outcome.error = invalidIntegerMessage(text);
        return v;
    };
    if (row == Row::X || row == Row::Y) {
        const QString v = value(row);
        if (v.isEmpty() || v == QLatin1String("-"))
            return outcome;
        const auto n = integer(v);
        if (!n)
            return outcome;
        if (row == Row::X)
            tables.SetPosition(object, *n, object.Y);
        else
            tables.SetPosition(object, object.X, *n);
        outcome.changed = true;
        return outcome;
    }
    if (object.Kind == KindText) {
        if (row == Row::Text) {
            tables.SetText(static_cast<VellText &>(object), value(Row::Text));
            outcome.changed = true;
        }
        return outcome;
    }
    switch (row) {
    case Row::Width:
    case Row::Height: {
        if (value(Row::Width).isEmpty() || value(Row::Height).isEmpty())
            return outcome;
        const auto w = integer(value(Row::Width));
        if (!w)
            return outcome;
        const auto h = integer(value(Row::Height));
        if (!h)
            return outcome;
        tables.SetSize(object, *w, *h);
        outcome.changed = true;
        return outcome;
    }
    case Row::Texture:
        *TextureOf(object) = value(Row::Texture);
        outcome.changed = true;
        return outcome;
    case Row::LeftClick:
        if (object.Kind == KindButton) {
            static_cast<VellButton &>(object).LeftActionsFunction = value(Row::LeftClick);
            outcome.changed = true;
        }
        return outcome;
    case Row::RightClick:
        if (object.Kind == KindButton) {
            static_cast<VellButton &>(object).RightActionsFunction = value(Row::RightClick);
            outcome.changed = true;
        }
        return outcome;
    default:
        return outcome;
    }
}

} // namespace vell
