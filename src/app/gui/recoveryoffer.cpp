#include "app/gui/recoveryoffer.h"

#include "app/gui/tform1.h"
#include "common/gui/dialogs.h"
#include "project/project.h"
#include "project/recovery.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTimer>

namespace vell {

namespace {

// The widest a path stands in the question, in the box's font.
constexpr int kPathWidth = 600;

// A path as the question shows it: on one line, its middle left out when it
// is wider than kPathWidth.
QString shownPath(const QString &path)
{
    QString shown = QFontMetrics(QApplication::font("QMessageBox"))
                        .elidedText(QDir::toNativeSeparators(path), Qt::ElideMiddle, kPathWidth);
    // The box breaks its lines at spaces.
    shown.replace(u' ', QChar(0x00A0));
    return shown;
}

// While it lives, the box that asks `question` gets the whole path as its
// details (the boxes themselves take only a text).
class PathDetails : public QObject
{
public:
    PathDetails(QString question, QString path)
        : m_question(std::move(question)), m_path(std::move(path))
    {
        if (!m_path.isEmpty())
            qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Polish || event->type() == QEvent::Show) {
            auto *box = qobject_cast<QMessageBox *>(watched);
            if (box && box->text() == m_question && box->detailedText().isEmpty())
                box->setDetailedText(m_path);
        }
        return false;
    }

private:
    QString m_question;
    QString m_path;
};

QString question(const OrphanCopy &copy, const RecoveryCopyRead &read, const Settings &settings)
{
    QString text = QStringLiteral("Найдена несохраненная работа от %1 (%2). Восстановить?")
                       .arg(copy.written().toString(QStringLiteral("dd.MM.yyyy HH:mm")),
                            read.fileName.isEmpty() ? QStringLiteral("Новый проект")
                                                    : shownPath(read.fileName));
    if (!copy.claimed())
        text += QStringLiteral("\n\nПапка для копий сейчас не принимает запись, поэтому копия "
                               "остается в ней, пока ее не удастся удалить.");
    const std::array<QString, 3> current{settings.buttonVar, settings.pictureVar, settings.textVar};
    if (read.arrayNames != current) {
        text += QStringLiteral("\n\nИмена массивов в копии: %1, %2, %3; в настройках: %4, %5, %6. "
                               "Настройки не меняются.")
                    .arg(read.arrayNames[0], read.arrayNames[1], read.arrayNames[2], current[0],
                         current[1], current[2]);
    }
    return text;
}

} // namespace

void OfferRecoveryCopies(TForm1 &form, RecoveryKeeper &keeper, const QString &folder)
{
    RecoveryOfferSteps steps;
    steps.ask = [&form](const OrphanCopy &copy, const RecoveryCopyRead &read) {
        const QString text = question(copy, read, form.project().settings());
        const PathDetails details(text, QDir::toNativeSeparators(read.fileName));
        switch (dialogs().confirm(&form, text)) {
        case Answer::Yes:
            return RecoveryChoice::Restore;
        case Answer::No:
            return RecoveryChoice::Discard;
        case Answer::Cancel:
            break;
        }
        return RecoveryChoice::KeepAll;
    };
    steps.restore = [&form](ProjectReadResult project, const QString &fileName) {
        form.restoreProject(std::move(project), fileName);
    };
    steps.unreadable = [&form](const QString &copy, const QString &error, const QString &notMoved) {
        const QString path = QDir::toNativeSeparators(copy);
        dialogs().error(&form,
                        QStringLiteral("Несохраненную работу из «%1» восстановить нельзя: %2. ")
                                .arg(path, error) +
                            (notMoved.isEmpty()
                                 ? QStringLiteral("Копия отложена как «%1.damaged».").arg(path)
                                 : QStringLiteral("Отложить копию не удалось: %1.").arg(notMoved)));
    };
    steps.notRemoved = [&form](const QString &copy, const QString &reason) {
        dialogs().error(&form, QStringLiteral("Не удалось удалить копию «%1»: %2.")
                                   .arg(QDir::toNativeSeparators(copy), reason));
    };
    OfferOrphanCopies(keeper, folder, steps);
}

namespace {

// Shows a message over the window once the window is shown.
class WhenShown : public QObject
{
public:
    WhenShown(QWidget &window, QString text) : QObject(&window), m_text(std::move(text))
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            auto *window = static_cast<QWidget *>(watched);
            window->removeEventFilter(this);
            QTimer::singleShot(0, window,
                               [window, text = m_text] { dialogs().message(window, text); });
            deleteLater();
        }
        return false;
    }

private:
    QString m_text;
};

} // namespace

void ReportUnkeptCopies(TForm1 &form, RecoveryKeeper &keeper)
{
    QObject::connect(
        &keeper, &RecoveryKeeper::copyNotKept, &form, [&form, &keeper](const QString &reason) {
            const QString text = QStringLiteral("Копия для восстановления не сохраняется: %1. Она "
                                                "будет сохраняться, как только папка \"%2\" снова "
                                                "примет запись.")
                                     .arg(reason, QDir::toNativeSeparators(keeper.folder()));
            if (form.isVisible())
                dialogs().message(&form, text);
            else
                new WhenShown(form, text);
        });
}

} // namespace vell
