#include "codegen/vellgen.h"

#include "codegen/designinput.h"
#include "common/textfile.h"
#include "common/vellerror.h"
#include "project/designcheck.h"
#include "project/project.h"
#include "project/projectfile.h"
#include "settings/settingsfile.h"

#include <QCommandLineParser>
#include <QFileDevice>
#include <QFileInfo>
#include <QIODevice>

#include <exception>

namespace vell {

namespace {

const QString kHelp = QStringLiteral(
    "Использование: vellgen ПРОЕКТ.vlp [--settings ФАЙЛ.fms] [--output ФАЙЛ] [--check]\n"
    "Пишет код vJass интерфейса проекта: тот же текст, что показывает F3 в Vell Creator,\n"
    "в кодировке Windows-1251 со строками через CR LF.\n"
    "\n"
    "  --settings ФАЙЛ  файл настроек (по умолчанию vellsettings.fms в рабочей папке,\n"
    "                   а без него настройки по умолчанию)\n"
    "  --output ФАЙЛ    записать код в файл, а не в стандартный вывод\n"
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

QString atLine(const QString &path, int line, const QString &message)
{
    return path + u':' + QString::number(line) + QStringLiteral(": ") + message;
}

// The settings as the designer would start with them.
Settings readSettings(const QString &path, bool given)
{
    // Without a file of its own the designer starts from the defaults; a
    // file named on the command line must be there.
    if (!given && !QFileInfo(path).isFile())
        return Settings();
    QStringList lines;
    try {
        lines = SplitTextLines(ReadFileBytes(path));
    } catch (const VellError &e) {
        fail(e.message());
    }
    const SettingsReadResult read = ReadSettingsLines(lines);
    if (read.outcome == SettingsReadResult::Outcome::Failed)
        fail(atLine(path, read.linesRead + 1, read.error));
    // Another first line: the defaults, silently.
    return read.settings;
}

ProjectReadResult readProject(const QString &path)
{
    QByteArray bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const VellError &e) {
        fail(e.message());
    }
    ProjectReadResult read = ReadProjectLines(SplitTextLines(bytes));
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

void write(QIODevice &device, const QByteArray &bytes)
{
    // A file (standard output too) buffers: only its flush tells whether
    // the bytes got out, on a full disk say.
    auto *file = qobject_cast<QFileDevice *>(&device);
    if (device.write(bytes) != bytes.size() || (file && !file->flush()))
        fail(QStringLiteral("не удалось записать вывод: ") + device.errorString());
}

int run(const QStringList &arguments, QIODevice &out)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption settingsOption(QStringLiteral("settings"), QString(),
                                            QStringLiteral("file"));
    const QCommandLineOption outputOption(QStringLiteral("output"), QString(), QStringLiteral("file"));
    const QCommandLineOption checkOption(QStringLiteral("check"));
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption versionOption(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOptions({settingsOption, outputOption, checkOption, helpOption, versionOption});
    if (!parser.parse(arguments))
        throw Stop{kVellgenUsage, parser.errorText()};
    if (parser.isSet(helpOption)) {
        write(out, kHelp.toUtf8());
        return kVellgenOk;
    }
    if (parser.isSet(versionOption)) {
        write(out, QByteArrayLiteral("vellgen " VELL_VERSION "\n"));
        return kVellgenOk;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) {
        throw Stop{kVellgenUsage,
                   QStringLiteral("нужен ровно один файл проекта (справка: vellgen --help)")};
    }
    const bool check = parser.isSet(checkOption);
    if (check && parser.isSet(outputOption))
        throw Stop{kVellgenUsage, QStringLiteral("--check ничего не пишет в файл: --output с ним не нужен")};

    const QString projectPath = files.first();
    const bool settingsGiven = parser.isSet(settingsOption);
    const QString settingsPath = settingsGiven ? parser.value(settingsOption) : kSettingsFileName;
    const Settings settings = readSettings(settingsPath, settingsGiven);
    const ProjectReadResult read = readProject(projectPath);

    if (check) {
        const QList<DesignFinding> findings = CheckDesign(read.data, settings);
        QByteArray text;
        for (const DesignFinding &f : findings)
            text += FindingFileLine(projectPath, f).toUtf8() + '\n';
        write(out, text);
        return HasErrors(findings) ? kVellgenFailed : kVellgenOk;
    }

    if (!settings.vjass) {
        fail(settingsPath + QStringLiteral(": ") + kCJassOnly);
    }
    Project project;
    project.setSettings(settings);
    ApplyProjectData(project, read);
    QByteArray code;
    try {
        code = GeneratedCodeBytes(project);
    } catch (const VellError &e) {
        fail(projectPath + QStringLiteral(": ") + e.message());
    }
    if (parser.isSet(outputOption)) {
        try {
            WriteFileBytes(parser.value(outputOption), code);
        } catch (const VellError &e) {
            fail(e.message());
        }
    } else {
        write(out, code);
    }
    return kVellgenOk;
}

} // namespace

QByteArray GeneratedCodeBytes(const Project &project)
{
    if (!project.settings().vjass)
        throw VellError(kCJassOnly);
    const GeneratorResult result = GenerateInterfaceCode(GeneratorInputFor(project));
    if (!result.ok())
        throw VellError(result.error);
    return JoinTextLines(result.lines());
}

int RunVellgen(const QStringList &arguments, QIODevice &out, QIODevice &err)
{
    QString message;
    int status = kVellgenFailed;
    try {
        return run(arguments, out);
    } catch (const Stop &stop) {
        status = stop.status;
        message = stop.message;
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
