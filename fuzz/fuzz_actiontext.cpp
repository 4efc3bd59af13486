// Action lines: any line, as a button's action list in a project file holds
// it. Words split at spaces outside quotes and hold no quotes; the first word
// ends at the first space; a line shown by the actions dialog, when shown
// again, stays the same line with the same caption.

#include "common/cp1251.h"
#include "common/textfile.h"
#include "fuzzcheck.h"
#include "model/actiontext.h"

#include <cstddef>
#include <cstdint>

using namespace vell;

namespace {

void checkWords(const QString &line)
{
    const QString first = FirstWord(line);
    FUZZ_CHECK(line.startsWith(first));
    FUZZ_CHECK(!first.contains(u' '));
    if (first.size() < line.size())
        FUZZ_CHECK_EQUAL(line[first.size()], QChar(u' '));

    // The spaces outside quotes separate the words; the words are the rest of
    // the line without its quotes.
    int separators = 0;
    bool quoted = false;
    QString rest;
    for (const QChar c : line) {
        if (c == u'"')
            quoted = !quoted;
        else if (c == u' ' && !quoted)
            ++separators;
        else
            rest += c;
    }
    QString words;
    for (int n = 0; n <= separators; ++n) {
        const QString word = WordAt(line, n);
        FUZZ_CHECK(!word.contains(u'"'));
        words += word;
    }
    FUZZ_CHECK_EQUAL(words, rest);
    FUZZ_CHECK(WordAt(line, separators + 1).isEmpty());
    FUZZ_CHECK(WordAt(line, separators + 100).isEmpty());
    if (!line.contains(u'"'))
        FUZZ_CHECK_EQUAL(WordAt(line, 0), first);
}

void checkView(const QString &line)
{
    const ActionView view = ViewOfLine(line);
    FUZZ_CHECK(view.kind == KindOfLine(line));
    switch (view.kind) {
    case ActionKind::None:
        FUZZ_CHECK(FirstWord(line) != QLatin1String("ObjShow") &&
                   FirstWord(line) != QLatin1String("echo"));
        FUZZ_CHECK(view.line.isEmpty() && view.caption.isEmpty());
        FUZZ_CHECK_EQUAL(view.icon, 0);
        return;
    case ActionKind::ShowHide:
        FUZZ_CHECK_EQUAL(FirstWord(line), QStringLiteral("ObjShow"));
        FUZZ_CHECK_EQUAL(view.icon, kShowHideIcon);
        FUZZ_CHECK_EQUAL(view.caption.startsWith(QStringLiteral("Показать ")),
                         IsShowFlag(WordAt(line, 1)));
        FUZZ_CHECK(view.caption.endsWith(QStringLiteral(" объект с именем ") + WordAt(line, 2)));
        // The shown line keeps the flag's meaning and the name.
        FUZZ_CHECK_EQUAL(IsShowFlag(WordAt(view.line, 1)), IsShowFlag(WordAt(line, 1)));
        FUZZ_CHECK_EQUAL(WordAt(view.line, 2), WordAt(line, 2));
        break;
    case ActionKind::Message:
        FUZZ_CHECK_EQUAL(FirstWord(line), QStringLiteral("echo"));
        FUZZ_CHECK_EQUAL(view.icon, kMessageIcon);
        FUZZ_CHECK_EQUAL(view.line, MessageLine(WordAt(line, 1)));
        FUZZ_CHECK_EQUAL(WordAt(view.line, 1), WordAt(line, 1));
        break;
    }
    const ActionView again = ViewOfLine(view.line);
    FUZZ_CHECK(again.kind == view.kind);
    FUZZ_CHECK_EQUAL(again.line, view.line);
    FUZZ_CHECK_EQUAL(again.caption, view.caption);
    FUZZ_CHECK_EQUAL(again.icon, view.icon);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // Each line as a project file holds it, and the whole input as one line.
    const QStringList lines = SplitTextLines(bytes);
    for (const QString &line : lines.mid(0, 64)) {
        checkWords(line);
        checkView(line);
    }
    const QString whole = DecodeCp1251(bytes);
    checkWords(whole);
    checkView(whole);
    return 0;
}
