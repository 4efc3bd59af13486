#include "codegen/vjasshighlight.h"

#include <cmath>

namespace vell {

QList<HighlightSpan> HighlightVjassLine(QStringView line, VjassLineState &state,
                                        const QStringList &arrayNames)
{
    thread_local std::vector<VjassToken> tokens;
    tokens.clear();
    LexVjassLine(line, state, tokens);
    QList<HighlightSpan> spans;
    spans.reserve(qsizetype(tokens.size()));
    for (const VjassToken &t : tokens) {
        HighlightKind kind;
        switch (t.kind) {
        case VjassTokenKind::Keyword:
            kind = HighlightKind::Keyword;
            break;
        case VjassTokenKind::TypeName:
            kind = HighlightKind::TypeName;
            break;
        case VjassTokenKind::Integer:
        case VjassTokenKind::Real:
            kind = HighlightKind::Number;
            break;
        case VjassTokenKind::String:
            kind = HighlightKind::String;
            break;
        case VjassTokenKind::Rawcode:
            kind = HighlightKind::Rawcode;
            break;
        case VjassTokenKind::Comment:
            kind = HighlightKind::Comment;
            break;
        case VjassTokenKind::Directive:
            kind = HighlightKind::Directive;
            break;
        case VjassTokenKind::Identifier:
            if (!arrayNames.contains(line.mid(t.start, t.length)))
                continue;
            kind = HighlightKind::ObjectArray;
            break;
        default:
            continue;
        }
        spans.append({t.start, t.length, kind});
    }
    return spans;
}

QColor CodeBackground()
{
    return QColor(0xFF, 0xFF, 0xFF);
}

QColor CurrentLineBackground()
{
    return QColor(0xEE, 0xF3, 0xFB);
}

QColor HighlightColor(HighlightKind kind)
{
    switch (kind) {
    case HighlightKind::Keyword:
        return QColor(0x00, 0x00, 0x9F);
    case HighlightKind::TypeName:
        return QColor(0x00, 0x70, 0x7A);
    case HighlightKind::String:
        return QColor(0xA3, 0x15, 0x15);
    case HighlightKind::Rawcode:
        return QColor(0x8A, 0x4B, 0x08);
    case HighlightKind::Number:
        return QColor(0x07, 0x70, 0x4A);
    case HighlightKind::Comment:
        return QColor(0x3C, 0x7A, 0x32);
    case HighlightKind::Directive:
        return QColor(0x7A, 0x3E, 0x9D);
    case HighlightKind::ObjectArray:
        return QColor(0xB0, 0x00, 0x6E);
    }
    return QColor(0, 0, 0);
}

namespace {

double luminance(const QColor &c)
{
    const auto channel = [](int value) {
        const double v = value / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}

} // namespace

double ContrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace vell
