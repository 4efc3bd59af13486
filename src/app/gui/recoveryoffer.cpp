#include "app/gui/recoveryoffer.h"

#include "app/gui/dialogs.h"
#include "app/gui/tform1.h"
#include "project/project.h"
#include "project/recovery.h"

#include <QDir>

namespace vell {

namespace {

QString question(const OrphanCopy &copy, const RecoveryCopyRead &read, const Settings &settings)
{
    QString text = QStringLiteral("Найдена несохраненная работа от %1 (%2). Восстановить?")
                       .arg(copy.written().toString(QStringLiteral("dd.MM.yyyy HH:mm")),
                            read.fileName.isEmpty() ? QStringLiteral("Новый проект")
                                                    : QDir::toNativeSeparators(read.fileName));
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
    std::vector<OrphanCopy> copies = ClaimOrphanCopies(folder);
    for (OrphanCopy &copy : copies) {
        RecoveryCopyRead read = copy.read();
        if (!read.ok()) {
            const QString path = QDir::toNativeSeparators(copy.path());
            const QString notMoved = copy.setAside();
            dialogs().error(
                &form, QStringLiteral("Несохраненную работу из «%1» восстановить нельзя: %2. ")
                               .arg(path, read.error) +
                           (notMoved.isEmpty()
                                ? QStringLiteral("Копия отложена как «%1.damaged».").arg(path)
                                : QStringLiteral("Отложить копию не удалось: %1.").arg(notMoved)));
            continue;
        }
        switch (dialogs().confirm(&form, question(copy, read, form.project().settings()))) {
        case Answer::Yes:
            form.restoreProject(std::move(read.project), read.fileName);
            // The work lives on in this designer's copy before the old one
            // goes; if it cannot be written, the old one stays.
            keeper.writeNow();
            keeper.waitIdle();
            if (keeper.lastError().isEmpty())
                copy.remove();
            return;
        case Answer::No:
            copy.remove();
            break;
        case Answer::Cancel:
            return;
        }
    }
}

} // namespace vell
