#include "app/vellgen.h"

#include "codegen/designinput.h"
#include "common/labelfont.h"
#include "common/systemreason.h"
#include "common/textfile.h"
#include "common/vellerror.h"
#include "model/projectfile.h"
#include "model/settingsfile.h"
#include "project/designcheck.h"
#include "project/project.h"

#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIODevice>

#include <cerrno>
#include <exception>
#include <future>
#include <memory>
#include <new>
#include <optional>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vell {

namespace {

const QString kHelp = QStringLiteral(
    "Использование: vellgen ПРОЕКТ.vlp [--settings ФАЙЛ.fms] [--output ФАЙЛ] [--check]\n"
    "Пишет код vJass интерфейса проекта: тот же текст, что показывает F3 в Vell Creator,\n"
    "в кодировке Windows-1251 со строками через CR LF.\n"
    "\n"
    "  --settings ФАЙЛ  файл настроек (по умолчанию vellsettings.fms в рабочей папке,\n"
    "                   а без него настройки по умолчанию)\n"
    "  --output ФАЙЛ    записать код в файл, а не в стандартный вывод (\"-\" - в него же;\n"
    "                   в канал или устройство код пишется прямо, без замены файла)\n"
    "  --check          только проверить проект: по строке на находку\n"
    "                   \"ФАЙЛ:СТРОКА: error|warning: сообщение\"\n"
    "  -h, --help       эта справка\n"
    "  -v, --version    версия программы\n"
    "\n"
    "Код выхода: 0 - готово (при --check: ошибок нет), 1 - ошибка или проверка нашла\n"
    "ошибки, 2 - неверные аргументы.\n");

const QString kCJassOnly =
    QStringLiteral("в настройках выбран CJass, а код пишется только для vJass");

// Stops the run: the status and the line for the error stream.
struct Stop
{
    int status;
    QString message;
};

[[noreturn]] void fail(const QString &message)
{
    throw Stop{kVellgenFailed, message};
}

[[noreturn]] void usage(const QString &message)
{
    throw Stop{kVellgenUsage, message};
}

// What the command line asks for.
struct Arguments
{
    QStringList files;
    std::optional<QString> settings;
    std::optional<QString> output;
    bool check = false;
    bool help = false;
    bool version = false;
};

// Options take two dashes or one ("--output F", "-output F", "--output=F");
// "--" ends the options and "-" alone is a name. Qt's own options
// ("-platform xcb") are unknown here like any other.
Arguments parseArguments(const QStringList &arguments)
{
    Arguments a;
    struct Option
    {
        QStringList names;
        std::optional<QString> *value;
        bool *set;
    };
    const Option options[] = {
        {{QStringLiteral("settings")}, &a.settings, nullptr},
        {{QStringLiteral("output")}, &a.output, nullptr},
        {{QStringLiteral("check")}, nullptr, &a.check},
        {{QStringLiteral("h"), QStringLiteral("help")}, nullptr, &a.help},
        {{QStringLiteral("v"), QStringLiteral("version")}, nullptr, &a.version},
    };
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &word = arguments[i];
        if (optionsEnded || word == u"-" || !word.startsWith(u'-')) {
            a.files.append(word);
            continue;
        }
        if (word == u"--") {
            optionsEnded = true;
            continue;
        }
        const qsizetype equals = word.indexOf(u'=');
        const QString written = equals < 0 ? word : word.left(equals);
        const QString name = written.mid(written.startsWith(u"--") ? 2 : 1);
        const Option *option = nullptr;
        for (const Option &o : options) {
            if (o.names.contains(name))
                option = &o;
        }
        if (!option) {
            usage(QStringLiteral("неизвестный параметр «%1» (справка: vellgen --help)")
                      .arg(ShortQuote(written)));
        }
        if (option->set) {
            if (equals >= 0)
                usage(QStringLiteral("параметр «%1» не принимает значения").arg(written));
            *option->set = true;
        } else if (equals >= 0) {
            *option->value = word.mid(equals + 1);
        } else if (i + 1 < arguments.size()) {
            *option->value = arguments[++i];
        } else {
            usage(QStringLiteral("после «%1» нет значения").arg(written));
        }
    }
    return a;
}

QString atLine(const QString &path, int line, const QString &message)
{
    return path + u':' + QString::number(line) + QStringLiteral(": ") + message;
}

// The settings as the designer would start with them. `read` is set to
// whether a file was read.
Settings readSettings(const QString &path, bool given, bool &read)
{
    // Without a file of its own the designer starts from the defaults; a
    // file named on the command line must be there.
    const StartupSettings settings = ReadStartupSettings(
        path, given ? SettingsSource::Named : SettingsSource::DesignerFileIfRegular);
    read = settings.fromFile;
    if (settings.failed)
        fail(settings.errorLine > 0 ? atLine(path, settings.errorLine, settings.error)
                                    : settings.error);
    // Another first line: the defaults, silently.
    return settings.settings;
}

// The line (from 1) of the settings file that holds the setting: where
// SettingsToLines writes a value that no other line holds.
int settingLine(DesignFinding::Setting setting)
{
    using Setting = DesignFinding::Setting;
    QString Settings::*const field = setting == Setting::ButtonVar    ? &Settings::buttonVar
                                     : setting == Setting::PictureVar ? &Settings::pictureVar
                                     : setting == Setting::TextVar    ? &Settings::textVar
                                                                      : &Settings::unitVar;
    Settings marked;
    marked.*field = QStringLiteral("\n");
    return int(SettingsToLines(marked).indexOf(marked.*field)) + 1;
}

// Prepares the labels' font on a thread of its own. Without a GUI
// application there is no font; a project with texts then fails when they
// are measured.
std::future<void> prepareFontMeanwhile()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return {};
    try {
        return std::async(std::launch::async, PrepareLabelFont);
    } catch (const std::system_error &) {
        // No thread to be had: the font loads when first used.
        return {};
    }
}

// From this size on a project holds texts as a rule, and reading it takes
// about as long as loading the labels' font.
constexpr qsizetype kLargeProject = qsizetype(1) << 20;

// Reads the project. With `font`, a large one has the labels' font prepared
// meanwhile, into `font`.
ProjectReadResult readProject(const QString &path, ProjectFields fields,
                              std::future<void> *font = nullptr)
{
    QByteArray bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const VellError &e) {
        fail(e.message());
    }
    if (font && bytes.size() >= kLargeProject)
        *font = prepareFontMeanwhile();
    ProjectReadResult read = ReadProjectBytes(bytes, fields);
    switch (read.outcome) {
    case ProjectReadResult::Outcome::Complete:
        break;
    case ProjectReadResult::Outcome::Empty:
        fail(path + QStringLiteral(": ") + read.error);
    case ProjectReadResult::Outcome::WrongKey:
        fail(atLine(path, 1, read.error));
    case ProjectReadResult::Outcome::Failed:
        fail(atLine(path, read.failedLine, read.error));
    }
    return read;
}

// The reading on a thread of its own, or, without one to be had, when its
// result is asked for.
std::future<ProjectReadResult> readMeanwhile(const QString &path, ProjectFields fields)
{
    const auto read = [path, fields] {
        return readProject(path, fields);
    };
    try {
        return std::async(std::launch::async, read);
    } catch (const std::system_error &) {
        return std::async(std::launch::deferred, read);
    }
}

// What a run makes of the project.
struct Made
{
    explicit Made(GeneratorInput &&in) : input(std::move(in)) {}
    GeneratorInput input;
    QByteArray code;
    ProjectReadResult read;
};

// What a check of the project makes.
struct Checked
{
    ProjectReadResult read;
    QList<DesignFinding> findings;
};

void write(QIODevice &device, const QByteArray &bytes)
{
    // A file (standard output too) buffers: only its flush tells whether
    // the bytes got out, on a full disk say.
    auto *file = qobject_cast<QFileDevice *>(&device);
    errno = 0;
    if (device.write(bytes) != bytes.size() || (file && !file->flush())) {
        fail(QStringLiteral("не удалось записать вывод: ") +
             FileDeviceReason(errno, file ? file->error() : QFileDevice::WriteError));
    }
}

// A pipe or a character device (/dev/null, a terminal) is written to as it
// is, as by any command-line tool: it has no place a new file could take.
#ifdef Q_OS_UNIX
bool isStraight(const QString &path)
{
    struct stat info
    {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 &&
           (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode));
}

void writeStraight(const QString &path, const QByteArray &bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        fail(cannotCreateMessage(path, SystemReason(errno)));
    struct stat info
    {};
    int error = ::fstat(fd, &info) != 0 ? errno : 0;
    // Put there since it was looked at: nothing is written over a file.
    const bool straight = error == 0 && (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode));
    for (qsizetype done = 0; straight && error == 0 && done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n >= 0)
            done += n;
        else if (errno != EINTR)
            error = errno;
    }
    if (::close(fd) != 0 && error == 0 && errno != EINTR)
        error = errno;
    if (error != 0)
        fail(cannotCreateMessage(path, SystemReason(error)));
    if (!straight)
        fail(cannotCreateMessage(path, NotRegularFileReason()));
}
#else
// A device (NUL, CON) or a named pipe: there, but neither file nor folder.
bool isStraight(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isFile() && !info.isDir();
}

void writeStraight(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::ExistingOnly) ||
        file.write(bytes) != bytes.size() || !file.flush())
        fail(cannotCreateMessage(path, FileDeviceReason(errno, file.error())));
}
#endif

struct ReadFile
{
    QString path;
    std::optional<FileId> id;
    QString kind;
};

// "-" is standard output. A pipe or a character device is written straight;
// anything else goes through WriteFileBytes, which replaces a regular file
// only once the code is complete and refuses the rest (a folder, a socket,
// a block device). A file that was read for this run (by any path or link)
// is never replaced with the code.
void writeOutput(const QString &path, const QByteArray &code, QIODevice &out,
                 const QList<ReadFile> &readFiles)
{
    if (path == u"-") {
        write(out, code);
        return;
    }
    if (isStraight(path)) {
        writeStraight(path, code);
        return;
    }
    if (const std::optional<FileId> id = FileIdOf(path)) {
        for (const ReadFile &f : readFiles) {
            if (f.id == id) {
                QString which = f.kind;
                if (f.path != path)
                    which += QStringLiteral(" «%1»").arg(ShortQuote(f.path));
                fail(QStringLiteral("«%1» - это %2: код поверх него не пишется")
                         .arg(ShortQuote(path), which));
            }
        }
    }
    try {
        WriteFileBytes(path, code);
    } catch (const VellError &e) {
        fail(e.message());
    }
}

// The code for the input as the code window's text is stored.
QByteArray codeBytes(const GeneratorInput &input)
{
    GeneratorResult result = GenerateInterfaceCode(input, GeneratorOutput::Cp1251);
    if (!result.ok())
        throw VellError(result.error);
    return std::move(result.bytes);
}

int run(const QStringList &arguments, QIODevice &out, VellgenProcess *process)
{
    const Arguments a = parseArguments(arguments);
    if (a.help) {
        write(out, kHelp.toUtf8());
        return kVellgenOk;
    }
    if (a.version) {
        write(out, QByteArrayLiteral("vellgen " VELL_VERSION "\n"));
        return kVellgenOk;
    }
    if (a.files.size() != 1) {
        usage(QStringLiteral("нужен ровно один файл проекта (справка: vellgen --help)"));
    }
    if (a.check && a.output)
        usage(QStringLiteral("--check ничего не пишет в файл: --output с ним не нужен"));

    const QString projectPath = a.files.first();
    const QString settingsPath = a.settings.value_or(kSettingsFileName);
    // The check reads every field; the code needs fewer, and the labels'
    // font.
    const ProjectFields fields = a.check ? ProjectFields::All : ProjectFields::ForCode;
    // In a program of its own, the project is read on a second thread while
    // this one makes the application (and, for a large project, loads the
    // labels' font). Its errors still come after those of the settings.
    std::future<ProjectReadResult> reading;
    if (process)
        reading = readMeanwhile(projectPath, fields);
    if (process && process->makeApplication)
        process->makeApplication();
    bool settingsRead = false;
    const Settings settings = readSettings(settingsPath, a.settings.has_value(), settingsRead);
    std::future<void> font;
    ProjectReadResult read;
    if (reading.valid()) {
        if (settings.vjass && !a.check && QFileInfo(projectPath).size() >= kLargeProject &&
            qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            PrepareLabelFont();
        read = reading.get();
    } else {
        read = readProject(projectPath, fields, settings.vjass && !a.check ? &font : nullptr);
    }

    if (a.check) {
        auto checked = std::make_shared<Checked>();
        checked->findings = CheckDesign(read.data, settings);
        QString text;
        for (const DesignFinding &f : checked->findings) {
            if (f.setting != DesignFinding::Setting::None && settingsRead) {
                DesignFinding inFile = f;
                inFile.line = settingLine(f.setting);
                text += FindingFileLine(settingsPath, inFile);
            } else {
                text += FindingFileLine(projectPath, f);
            }
            text += u'\n';
        }
        write(out, text.toUtf8());
        const bool failed = HasErrors(checked->findings);
        checked->read = std::move(read);
        // As with the code: what the check made goes with the process.
        if (process)
            process->leftOver = checked;
        return failed ? kVellgenFailed : kVellgenOk;
    }

    if (!settings.vjass) {
        fail(settingsPath + QStringLiteral(": ") + kCJassOnly);
    }
    // Generated from the data read, as the designer would after opening
    // it, without building the project.
    if (font.valid())
        font.get();
    auto made = std::make_shared<Made>(GeneratorInputFor(read.data, settings));
    try {
        made->code = codeBytes(made->input);
    } catch (const VellError &e) {
        fail(projectPath + QStringLiteral(": ") + e.message());
    }
    made->read = std::move(read);
    // The process ends with the run: what it made is not given back piece
    // by piece.
    if (process)
        process->leftOver = made;
    if (!a.output) {
        write(out, made->code);
        return kVellgenOk;
    }
    QList<ReadFile> readFiles{{projectPath, FileIdOf(projectPath), QStringLiteral("файл проекта")}};
    if (settingsRead)
        readFiles.append({settingsPath, FileIdOf(settingsPath), QStringLiteral("файл настроек")});
    writeOutput(*a.output, made->code, out, readFiles);
    return kVellgenOk;
}

} // namespace

QByteArray GeneratedCodeBytes(const Project &project)
{
    if (!project.settings().vjass)
        throw VellError(kCJassOnly);
    return codeBytes(GeneratorInputFor(project));
}

int RunVellgen(const QStringList &arguments, QIODevice &out, QIODevice &err,
               VellgenProcess *process)
{
    QString message;
    int status = kVellgenFailed;
    try {
        return run(arguments, out, process);
    } catch (const Stop &stop) {
        status = stop.status;
        message = stop.message;
    } catch (const std::bad_alloc &) {
        message = SystemReason(ENOMEM);
    } catch (const std::exception &e) {
        // Text measurement without a GUI application, say.
        message = QString::fromUtf8(e.what());
    }
    // One line, whatever a file name or a quoted text holds.
    message.replace(u'\r', u' ').replace(u'\n', u' ');
    err.write(QStringLiteral("vellgen: ").toUtf8() + message.toUtf8() + '\n');
    return status;
}

} // namespace vell
