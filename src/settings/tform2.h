#pragma once

#include "settings/settings.h"

#include <QColor>
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class TForm3;

namespace vell {
class ColorSwatch;
}

// The settings dialog. The settings live in its controls and are read from
// there whenever needed; the file is read on creation and written on every
// close.
class TForm2 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm2(QWidget *parent = nullptr);

    vell::Settings settings() const;
    // Close handling (writes the file), then show in front; false when the
    // file could not be written, and the dialog is then not shown.
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

signals:
    void settingsChanged();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void applyToControls(const vell::Settings &s);
    void paintSwatches();
    void pickColor(vell::ColorSwatch *swatch, QColor &color);
    bool writeFile();
    void changed();

    // The colours the four colour dialogs hold; the swatches only show them.
    QColor m_buttonColor;
    QColor m_pictureColor;
    QColor m_selectedTextColor;
    QColor m_selectionBorderColor;
    TForm3 *m_editor = nullptr;
    bool m_loading = false;
    bool m_placed = false;
};
