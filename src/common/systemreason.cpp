#include "common/systemreason.h"

#include <cerrno>

namespace vell {

QString SystemReason(int errnum)
{
    switch (errnum) {
    case ENOSPC:
        return QStringLiteral("на диске нет места");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("на диске нет места: исчерпана дисковая квота");
#endif
    case EACCES:
    case EPERM:
        return QStringLiteral("нет прав доступа");
    case EROFS:
        return QStringLiteral("файловая система только для чтения");
    case ENOENT:
        return QStringLiteral("нет такого файла или папки");
    case EISDIR:
        return QStringLiteral("это папка");
    case ENOTDIR:
        return QStringLiteral("часть пути не папка");
    case ENAMETOOLONG:
        return QStringLiteral("слишком длинное имя файла");
    case ELOOP:
        return QStringLiteral("слишком много символических ссылок подряд");
    case EFBIG:
        return QStringLiteral("файл слишком большой для файловой системы");
    case EIO:
        return QStringLiteral("ошибка ввода-вывода");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("открыто слишком много файлов");
    case ENOMEM:
        return QStringLiteral("не хватает памяти");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("файл занят");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("устройство недоступно");
    case EPIPE:
        return QStringLiteral("канал закрыт читающей стороной");
    case EEXIST:
        return QStringLiteral("файл уже существует");
    case EINVAL:
        return QStringLiteral("недопустимая операция для этого файла");
    default:
        return QStringLiteral("системная ошибка с кодом %1").arg(errnum);
    }
}

QString NotRegularFileReason()
{
    return QStringLiteral("не обычный файл");
}

QString TooLargeReason(qint64 size, qint64 limit)
{
    return QStringLiteral("файл слишком большой (%1 байт; читается не больше %2)")
        .arg(size)
        .arg(limit);
}

QString FileDeviceReason(int errnum, QFileDevice::FileError error)
{
    if (errnum != 0)
        return SystemReason(errnum);
    switch (error) {
    case QFileDevice::ReadError:
        return QStringLiteral("ошибка чтения");
    case QFileDevice::WriteError:
        return QStringLiteral("ошибка записи");
    case QFileDevice::ResourceError:
        return QStringLiteral("не хватает ресурсов системы");
    case QFileDevice::PermissionsError:
        return SystemReason(EACCES);
    case QFileDevice::RenameError:
        return QStringLiteral("не удалось заменить файл");
    case QFileDevice::OpenError:
        return QStringLiteral("не удалось открыть файл");
    default:
        return QStringLiteral("неизвестная ошибка");
    }
}

} // namespace vell
