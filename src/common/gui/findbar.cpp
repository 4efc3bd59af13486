#include "common/gui/findbar.h"

#include "common/gui/dialogs.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

using namespace vell;

FindBar::FindBar(Target target, QWidget *parent) : QWidget(parent), m_target(std::move(target))
{
    setObjectName(QStringLiteral("FindBar"));
    Needle = new QLineEdit(this);
    Needle->setObjectName(QStringLiteral("Needle"));
    Needle->setClearButtonEnabled(true);
    MatchCase = new QCheckBox(QStringLiteral("Учитывать регистр"), this);
    MatchCase->setObjectName(QStringLiteral("MatchCase"));
    WholeWord = new QCheckBox(QStringLiteral("Слово целиком"), this);
    WholeWord->setObjectName(QStringLiteral("WholeWord"));
    Count = new QLabel(this);
    Count->setObjectName(QStringLiteral("Count"));
    Wrapped = new QLabel(this);
    Wrapped->setObjectName(QStringLiteral("Wrapped"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("Найти:"), this));
    layout->addWidget(Needle, 1);
    layout->addWidget(MatchCase);
    layout->addWidget(WholeWord);
    layout->addWidget(Count);
    layout->addWidget(Wrapped);

    Needle->installEventFilter(this);
    // Typing looks again from where the selection starts, so the match
    // grows with the word.
    connect(Needle, &QLineEdit::textEdited, this, [this] {
        m_counted = false;
        find(false, true);
    });
    for (QCheckBox *box : {MatchCase, WholeWord}) {
        connect(box, &QCheckBox::toggled, this, [this] {
            m_counted = false;
            find(false, true);
        });
    }
}

FindOptions FindBar::options() const
{
    return {MatchCase->isChecked(), WholeWord->isChecked()};
}

void FindBar::open()
{
    const auto [from, to] = m_target.selection();
    if (from < to) {
        const QString selected = m_target.text().mid(from, to - from);
        if (!selected.contains(QLatin1Char('\n')) && selected != Needle->text()) {
            Needle->setText(selected);
            m_counted = false;
        }
    }
    emit opened();
    Needle->setFocus();
    Needle->selectAll();
    if (!m_counted)
        showCount(QString());
}

void FindBar::findNext()
{
    if (Needle->text().isEmpty())
        open();
    else
        find(false, false);
}

void FindBar::findPrevious()
{
    if (Needle->text().isEmpty())
        open();
    else
        find(true, false);
}

void FindBar::closeBar()
{
    emit closed();
}

void FindBar::find(bool backward, bool fromSelectionStart)
{
    const QString text = m_target.text();
    const QString needle = Needle->text();
    if (needle.isEmpty()) {
        Count->clear();
        Wrapped->clear();
        return;
    }
    const auto [from, to] = m_target.selection();
    const FindHit hit =
        FindInText(text, needle, backward || fromSelectionStart ? from : to, backward, options());
    if (hit.start >= 0)
        m_target.select(hit.start, hit.start + needle.size());
    Wrapped->setText(!hit.wrapped ? QString()
                     : backward   ? QStringLiteral("Поиск продолжен с конца")
                                : QStringLiteral("Поиск продолжен с начала"));
    showCount(text);
}

void FindBar::showCount(const QString &known)
{
    if (m_counted)
        return;
    const QString needle = Needle->text();
    if (needle.isEmpty()) {
        Count->clear();
        return;
    }
    const QString text = known.isNull() ? m_target.text() : known;
    Count->setText(MatchCountText(CountInText(text, needle, options())));
    m_counted = true;
}

bool FindBar::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == Needle && e->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(e);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ShiftModifier)
                findPrevious();
            else
                findNext();
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void FindBar::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        closeBar();
        return;
    }
    QWidget::keyPressEvent(e);
}

FindBar::MenuItems FindBar::addMenuItems(QMenu *menu)
{
    MenuItems items{menu->addAction(QStringLiteral("Найти…"), this, &FindBar::open),
                    menu->addAction(QStringLiteral("Найти далее"), this, &FindBar::findNext),
                    menu->addAction(QStringLiteral("Найти ранее"), this, &FindBar::findPrevious)};
    items.find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    items.next->setShortcut(QKeySequence(Qt::Key_F3));
    items.previous->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    return items;
}

std::optional<int> AskGoToLine(QWidget *parent, int lineCount, int caretLine)
{
    const std::optional<int> number = vell::dialogs().askNumber(
        parent, QStringLiteral("Перейти к строке"),
        QStringLiteral("Номер строки (1–%1):").arg(lineCount), caretLine + 1);
    if (!number)
        return std::nullopt;
    return vell::LineForNumber(*number, lineCount);
}
