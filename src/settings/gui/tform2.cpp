#include "settings/gui/tform2.h"

#include "common/gui/dialogs.h"
#include "common/gui/onelineedit.h"
#include "common/vellerror.h"
#include "model/settingsfile.h"
#include "project/project.h"
#include "settings/gui/colorswatch.h"
#include "usercode/gui/tform3.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace vell;

namespace {

QVBoxLayout *pageLayout(QWidget *page)
{
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    return layout;
}

} // namespace

TForm2::TForm2(Project &project, QWidget *parent) : QDialog(parent), m_project(project)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Настройки"));
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(false);
    setFixedSize(353, 254);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(PageControl1);

    // Colours.
    auto *colorsPage = new QWidget;
    auto *colorsGroup = new QGroupBox(QStringLiteral("Настройка цветов"));
    auto *colorsGrid = new QGridLayout(colorsGroup);
    colorsGrid->setVerticalSpacing(4);
    BtnColor = new ColorSwatch(Qt::white);
    PicColor = new ColorSwatch(Qt::white);
    SelectColorBorder = new ColorSwatch(Qt::black);
    SelectColor = new ColorSwatch(Qt::white);
    const std::pair<ColorSwatch *, QString> rows[] = {
        {BtnColor, QStringLiteral("Цвет кнопки")},
        {PicColor, QStringLiteral("Цвет картинки")},
        {SelectColorBorder, QStringLiteral("Цвет контура выделения")},
        {SelectColor, QStringLiteral("Цвет выбора текста")},
    };
    const char *swatchNames[] = {"BtnColor", "PicColor", "SelectColorBorder", "SelectColor"};
    int row = 0;
    for (const auto &[swatch, caption] : rows) {
        swatch->setObjectName(QLatin1String(swatchNames[row]));
        colorsGrid->addWidget(new QLabel(caption), row, 0);
        colorsGrid->addWidget(swatch, row, 1);
        ++row;
    }
    colorsGrid->setColumnStretch(0, 1);
    auto *colorsLayout = pageLayout(colorsPage);
    colorsLayout->addWidget(colorsGroup);
    colorsLayout->addStretch();
    PageControl1->addTab(colorsPage, QStringLiteral("Цвета"));

    connect(BtnColor, &ColorSwatch::pressed, this,
            [this] { pickColor(BtnColor, &Settings::buttonColor); });
    connect(PicColor, &ColorSwatch::pressed, this,
            [this] { pickColor(PicColor, &Settings::pictureColor); });
    connect(SelectColorBorder, &ColorSwatch::pressed, this,
            [this] { pickColor(SelectColorBorder, &Settings::selectionBorderColor); });
    connect(SelectColor, &ColorSwatch::pressed, this,
            [this] { pickColor(SelectColor, &Settings::selectedTextColor); });

    // Compilation.
    auto *compilePage = new QWidget;
    auto *compileGroup = new QGroupBox(QStringLiteral("Настройка компиляции"));
    auto *compileLayout = new QVBoxLayout(compileGroup);
    compileLayout->setContentsMargins(6, 0, 6, 2);
    compileLayout->setSpacing(2);

    auto *language = new QGroupBox(QStringLiteral("Язык компиляции"));
    auto *languageLayout = new QHBoxLayout(language);
    languageLayout->setContentsMargins(6, 0, 6, 0);
    onVJass = new QRadioButton(QStringLiteral("VJass"));
    onVJass->setObjectName(QStringLiteral("onVJass"));
    onCJass = new QRadioButton(QStringLiteral("CJass"));
    onCJass->setObjectName(QStringLiteral("onCJass"));
    onCJass->setEnabled(false);
    onVJass->setChecked(true);
    languageLayout->addWidget(onVJass);
    languageLayout->addWidget(onCJass);
    languageLayout->addStretch();

    UseUserCode = new QCheckBox(QStringLiteral("Включить код пользователя"));
    UseUserCode->setObjectName(QStringLiteral("UseUserCode"));
    UseUserCode->setChecked(true);
    UserCodeOpen = new QPushButton(QStringLiteral("Открыть код"));
    UserCodeOpen->setObjectName(QStringLiteral("UserCodeOpen"));
    UserCodeOpen->setAutoDefault(false);

    compileLayout->addWidget(language);
    compileLayout->addWidget(UseUserCode);
    compileLayout->addWidget(UserCodeOpen, 0, Qt::AlignLeft);

    auto *names = new QFormLayout;
    names->setRowWrapPolicy(QFormLayout::DontWrapRows);
    names->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    names->setVerticalSpacing(1);
    names->setHorizontalSpacing(6);
    QLineEdit **edits[] = {&ButtonVar, &PictureVar, &TextVar, &UnitVar};
    const char *editNames[] = {"ButtonVar", "PictureVar", "TextVar", "UnitVar"};
    const QString captions[] = {QStringLiteral("Название переменной кнопки"),
                                QStringLiteral("Название переменной изображения"),
                                QStringLiteral("Название переменной текста"),
                                QStringLiteral("Название переменной юнита")};
    QString Settings::*const fields[] = {&Settings::buttonVar, &Settings::pictureVar,
                                         &Settings::textVar, &Settings::unitVar};
    const Settings defaults;
    for (int i = 0; i < 4; ++i) {
        // Names go into the settings file, one a line.
        auto *edit = new OneLineEdit(defaults.*fields[i]);
        edit->setObjectName(QLatin1String(editNames[i]));
        *edits[i] = edit;
        names->addRow(captions[i], edit);
        const auto field = fields[i];
        connect(edit, &QLineEdit::textChanged, this, [this, field](const QString &text) {
            changed([&](Settings &s) { s.*field = text; });
        });
    }
    compileLayout->addLayout(names);
    compileLayout->addStretch();
    auto *compilePageLayout = pageLayout(compilePage);
    compilePageLayout->setContentsMargins(4, 2, 4, 2);
    compilePageLayout->addWidget(compileGroup);
    PageControl1->addTab(compilePage, QStringLiteral("Компиляция"));

    // The two buttons toggle together; one signal per switch is enough.
    connect(onVJass, &QRadioButton::toggled, this,
            [this](bool on) { changed([on](Settings &s) { s.vjass = on; }); });
    connect(UseUserCode, &QCheckBox::toggled, this, [this](bool on) {
        UserCodeOpen->setEnabled(on);
        changed([on](Settings &s) { s.useUserCode = on; });
    });
    connect(UserCodeOpen, &QPushButton::clicked, this, [this] {
        if (m_editor)
            m_editor->closeAndShow();
    });

    // Program.
    auto *programPage = new QWidget;
    auto *savingGroup = new QGroupBox(QStringLiteral("Сохранение проектов"));
    auto *savingLayout = new QVBoxLayout(savingGroup);
    SaveUserCode = new QCheckBox(QStringLiteral("Сохранять код пользователя"));
    SaveUserCode->setObjectName(QStringLiteral("SaveUserCode"));
    SaveUserCode->setChecked(true);
    savingLayout->addWidget(SaveUserCode);
    IsBorderMove = new QCheckBox(QStringLiteral("Использовать рамку объекта при движении"));
    IsBorderMove->setObjectName(QStringLiteral("IsBorderMove"));
    IsBorderMove->setChecked(true);
    auto *programLayout = pageLayout(programPage);
    programLayout->addWidget(savingGroup);
    programLayout->addWidget(IsBorderMove);
    programLayout->addStretch();
    PageControl1->addTab(programPage, QStringLiteral("Программа"));

    connect(SaveUserCode, &QCheckBox::toggled, this,
            [this](bool on) { changed([on](Settings &s) { s.saveUserCode = on; }); });
    connect(IsBorderMove, &QCheckBox::toggled, this,
            [this](bool on) { changed([on](Settings &s) { s.borderMove = on; }); });

    FormCreate();
}

void TForm2::FormCreate()
{
    const StartupSettings read =
        ReadStartupSettings(kSettingsFileName, SettingsSource::DesignerFile);
    m_project.setSettings(read.settings);
    applyToControls(read.settings);
    if (read.failed) {
        // The swatches keep their first look then, whatever was read.
        dialogs().error(this, read.error);
        return;
    }
    paintSwatches();
}

void TForm2::applyToControls(const Settings &s)
{
    m_loading = true;
    // The disabled "CJass" can be selected only this way.
    if (s.vjass)
        onVJass->setChecked(true);
    else
        onCJass->setChecked(true);
    UseUserCode->setChecked(s.useUserCode);
    UserCodeOpen->setEnabled(s.useUserCode);
    ButtonVar->setText(s.buttonVar);
    PictureVar->setText(s.pictureVar);
    TextVar->setText(s.textVar);
    UnitVar->setText(s.unitVar);
    SaveUserCode->setChecked(s.saveUserCode);
    IsBorderMove->setChecked(s.borderMove);
    m_loading = false;
}

void TForm2::paintSwatches()
{
    const Settings &s = settings();
    BtnColor->setColor(s.buttonColor);
    PicColor->setColor(s.pictureColor);
    SelectColor->setColor(s.selectedTextColor);
    SelectColorBorder->setColor(s.selectionBorderColor);
}

const Settings &TForm2::settings() const
{
    return m_project.settings();
}

void TForm2::pickColor(ColorSwatch *swatch, QColor Settings::*color)
{
    const std::optional<QColor> chosen = dialogs().chooseColor(this, settings().*color, true);
    if (!chosen)
        return;
    swatch->setColor(*chosen);
    changed([&](Settings &s) { s.*color = *chosen; });
}

void TForm2::changed(const std::function<void(Settings &)> &change)
{
    if (m_loading)
        return;
    Settings s = m_project.settings();
    change(s);
    m_project.setSettings(s);
}

void TForm2::setUserCodeWindow(TForm3 *editor)
{
    m_editor = editor;
}

bool TForm2::writeFile()
{
    try {
        WriteSettingsFile(kSettingsFileName, settings());
        return true;
    } catch (const VellError &e) {
        dialogs().error(this, e.message());
        return false;
    }
}

void TForm2::closeEvent(QCloseEvent *event)
{
    if (writeFile())
        event->accept();
    else
        event->ignore();
}

void TForm2::reject()
{
    // Escape closes like the close button, through the file write.
    close();
}

bool TForm2::closeAndShow()
{
    // A hidden dialog gets no close event: the file is written all the same.
    if (isVisible() ? !close() : !writeFile())
        return false;
    show();
    raise();
    activateWindow();
    return true;
}

void TForm2::storeAtExit()
{
    if (isVisible())
        writeFile();
}

void TForm2::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        const QRect area = parentWidget() ? parentWidget()->window()->frameGeometry()
                                          : screen()->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
}
