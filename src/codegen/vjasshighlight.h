#pragma once

#include "codegen/vjasslexer.h"

#include <QColor>
#include <QList>
#include <QStringList>
#include <QStringView>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vell {

// What a coloured stretch of a vJass line is. Identifiers, operators and
// punctuation keep the view's own text colour and make no span.
enum class HighlightKind : std::uint8_t
{
    Keyword,
    TypeName,
    String,
    Rawcode,
    Number,
    Comment,
    Directive,
    ObjectArray, // one of the arrays the generated code keeps its objects in
};

struct HighlightSpan
{
    int start = 0; // UTF-16 units of the line
    int length = 0;
    HighlightKind kind = HighlightKind::Keyword;
    friend bool operator==(const HighlightSpan &, const HighlightSpan &) = default;
};

// The coloured stretches of one line, in order, from the lexer's tokens; the
// state is what the line before left open and becomes what this one leaves.
// An identifier spelled exactly as one of arrayNames is an ObjectArray.
QList<HighlightSpan> HighlightVjassLine(QStringView line, VjassLineState &state,
                                        const QStringList &arrayNames = {});

// The background of both code views, and the colour of each kind on it.
QColor CodeBackground();
// The editor's current line is drawn on this.
QColor CurrentLineBackground();
QColor HighlightColor(HighlightKind kind);
// The WCAG contrast ratio of two colours, from 1 to 21.
double ContrastRatio(const QColor &a, const QColor &b);

// The lexer's state at the start of any line of a text that does not change,
// kept at every kSpacing-th line as the lines are first reached, so that a
// view scrolled far lexes at most kSpacing - 1 lines before the first it
// draws, and the way there once.
class VjassStateCache
{
public:
    static constexpr int kSpacing = 64;

    void clear() { m_checkpoints.assign(1, VjassLineState()); }
    // lineAt(i) gives line i as a QStringView.
    template <typename LineAt> VjassLineState stateAt(int line, LineAt lineAt);
    // Lines lexed to answer so far, for the tests and the benchmark.
    qint64 linesLexed() const { return m_linesLexed; }

private:
    std::vector<VjassLineState> m_checkpoints{VjassLineState()};
    std::vector<VjassToken> m_tokens;
    qint64 m_linesLexed = 0;
};

template <typename LineAt> VjassLineState VjassStateCache::stateAt(int line, LineAt lineAt)
{
    const int wanted = line / kSpacing;
    int at = std::min(wanted, int(m_checkpoints.size()) - 1);
    VjassLineState state = m_checkpoints[std::size_t(at)];
    for (int l = at * kSpacing; l < line; ++l) {
        m_tokens.clear();
        LexVjassLine(lineAt(l), state, m_tokens);
        ++m_linesLexed;
        if ((l + 1) % kSpacing == 0 && (l + 1) / kSpacing == int(m_checkpoints.size()))
            m_checkpoints.push_back(state);
    }
    return state;
}

} // namespace vell
