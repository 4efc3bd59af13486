#pragma once

#include <QColor>
#include <QString>

#include <optional>

class QWidget;

namespace vell {

// The answer to a question box; closing a box counts as Cancel.
enum class Answer
{
    Yes,
    No,
    Cancel
};

// Every modal box and dialog the windows open goes through one provider, so
// tests can answer them without a person (see ScriptedDialogs in the tests).
class DialogProvider
{
public:
    virtual ~DialogProvider() = default;

    // Error box with an OK button.
    virtual void error(QWidget *parent, const QString &text);
    // Plain message box with an OK button, captioned with the application title.
    virtual void message(QWidget *parent, const QString &text);
    // Confirmation box (Yes, No, Cancel).
    virtual Answer confirm(QWidget *parent, const QString &text);
    // Question box with Yes and No only (closing it is No).
    virtual Answer ask(QWidget *parent, const QString &text);
    // Information box (Yes, No, Cancel).
    virtual Answer inform(QWidget *parent, const QString &text);
    // Colour dialog preset to `initial`; nothing when cancelled. With
    // `whiteCustomColors` its sixteen custom colours start white.
    virtual std::optional<QColor> chooseColor(QWidget *parent, QColor initial,
                                              bool whiteCustomColors);
    // File dialogs with one filter such as "Vell project (*.vlp)"; an empty
    // result means the user cancelled.
    virtual QString saveFileName(QWidget *parent, const QString &filter);
    virtual QString openFileName(QWidget *parent, const QString &filter);
    // A whole number typed into a box that starts with `value`; nothing when
    // cancelled. Any int is taken: the caller decides what one too large or
    // too small means.
    virtual std::optional<int> askNumber(QWidget *parent, const QString &title,
                                         const QString &label, int value);
};

// Save as: the save dialog's name with `withExtension` applied. When a file
// of that name exists, `replaceQuestion` is asked in an information box: Yes
// takes the name, No opens the dialog again, Cancel gives up. Nothing when
// the user gave up or cancelled a dialog. The boxes go to `provider`, or to
// the provider in use when it is nullptr.
std::optional<QString> chooseSaveName(QWidget *parent, const QString &filter,
                                      const QString &replaceQuestion,
                                      QString (*withExtension)(const QString &),
                                      DialogProvider *provider = nullptr);

// The provider in use; the real dialogs unless a test installed another.
DialogProvider &dialogs();
// Installs a provider (not owned); nullptr restores the real dialogs.
void setDialogProvider(DialogProvider *provider);

} // namespace vell
