#pragma once

#include "model/settings.h"

#include <QColor>
#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class TForm3;

namespace vell {
class ColorSwatch;
class Project;
} // namespace vell

// The settings dialog: shows the project's settings and changes them the
// moment the user changes a control. The file is read on creation and
// written every time the dialog is closed or shown through its command.
class TForm2 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm2(vell::Project &project, QWidget *parent = nullptr);

    const vell::Settings &settings() const;
    // Writes the file (through the close handling when the dialog is open),
    // then shows the dialog in front; false when the file could not be
    // written, and the dialog is then not shown.
    bool closeAndShow();
    // Writes the file when the dialog is open, so that changes made while it
    // is still open at exit are kept.
    void storeAtExit();
    void setUserCodeWindow(TForm3 *editor);

    QTabWidget *PageControl1 = nullptr;
    vell::ColorSwatch *BtnColor = nullptr;
    vell::ColorSwatch *PicColor = nullptr;
    vell::ColorSwatch *SelectColorBorder = nullptr;
    vell::ColorSwatch *SelectColor = nullptr;
    QRadioButton *onVJass = nullptr;
    QRadioButton *onCJass = nullptr;
    QCheckBox *UseUserCode = nullptr;
    QPushButton *UserCodeOpen = nullptr;
    QLineEdit *ButtonVar = nullptr;
    QLineEdit *PictureVar = nullptr;
    QLineEdit *TextVar = nullptr;
    QLineEdit *UnitVar = nullptr;
    QCheckBox *SaveUserCode = nullptr;
    QCheckBox *IsBorderMove = nullptr;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void applyToControls(const vell::Settings &s);
    void paintSwatches();
    void pickColor(vell::ColorSwatch *swatch, QColor vell::Settings::*color);
    bool writeFile();
    // Stores a control's new value in the project's settings.
    void changed(const std::function<void(vell::Settings &)> &change);

    vell::Project &m_project;
    TForm3 *m_editor = nullptr;
    bool m_loading = false;
    bool m_placed = false;
};
