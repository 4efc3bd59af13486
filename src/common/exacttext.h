#pragma once

#include <QString>
#include <QTextCursor>

namespace vell {

// The cursor's selection exactly as the document holds it, with '\n' between
// lines. Qt's plain-text conversion (the default copy, and
// QTextDocumentFragment::toPlainText) turns no-break spaces into ordinary
// ones, which code and user text must keep.
inline QString ExactSelectedText(const QTextCursor &cursor)
{
    QString text = cursor.selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace vell
