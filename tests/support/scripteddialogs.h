#pragma once

#include "common/gui/dialogs.h"

#include <QList>
#include <QStringList>

#include <deque>

// Answers the program's boxes and dialogs from queues filled by a test, and
// records what was asked. An empty queue answers Cancel / nothing.
class ScriptedDialogs : public vell::DialogProvider
{
public:
    ScriptedDialogs() { vell::setDialogProvider(this); }
    ~ScriptedDialogs() override { vell::setDialogProvider(nullptr); }

    QStringList errors;
    QStringList messages;
    QStringList questions;
    QList<QColor> colorDialogInitial;
    QList<bool> colorDialogWhiteCustom;
    QStringList fileFilters;

    std::deque<vell::Answer> answers;
    std::deque<std::optional<QColor>> colors;
    std::deque<QString> fileNames;
    // Number boxes: what each asked and offered, and the answers to give.
    QStringList numberLabels;
    QList<int> numberValues;
    std::deque<std::optional<int>> numbers;

    void error(QWidget *, const QString &text) override { errors.append(text); }
    void message(QWidget *, const QString &text) override { messages.append(text); }
    vell::Answer confirm(QWidget *, const QString &text) override { return next(text); }
    vell::Answer inform(QWidget *, const QString &text) override { return next(text); }
    vell::Answer ask(QWidget *, const QString &text) override
    {
        return next(text) == vell::Answer::Yes ? vell::Answer::Yes : vell::Answer::No;
    }
    std::optional<QColor> chooseColor(QWidget *, QColor initial, bool white) override
    {
        colorDialogInitial.append(initial);
        colorDialogWhiteCustom.append(white);
        if (colors.empty())
            return std::nullopt;
        auto c = colors.front();
        colors.pop_front();
        return c;
    }
    QString saveFileName(QWidget *, const QString &filter) override { return nextFile(filter); }
    QString openFileName(QWidget *, const QString &filter) override { return nextFile(filter); }
    std::optional<int> askNumber(QWidget *, const QString &, const QString &label,
                                 int value) override
    {
        numberLabels.append(label);
        numberValues.append(value);
        if (numbers.empty())
            return std::nullopt;
        const auto n = numbers.front();
        numbers.pop_front();
        return n;
    }

private:
    vell::Answer next(const QString &text)
    {
        questions.append(text);
        if (answers.empty())
            return vell::Answer::Cancel;
        const vell::Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    QString nextFile(const QString &filter)
    {
        fileFilters.append(filter);
        if (fileNames.empty())
            return {};
        QString f = fileNames.front();
        fileNames.pop_front();
        return f;
    }
};
