#pragma once

#include <QDialog>

class QPushButton;

// The About box "О программе".
class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);

    // Hides the box if open and shows it again in front.
    void closeAndShow();

    QPushButton *OKButton;

public slots:
    void OKButtonClick();
};
