// The about box: the program icon, its name and version, shown modeless and centred on the screen.
#pragma once

#include <QDialog>
#include <QPixmap>

class QLabel;
class QPushButton;

namespace linkwright {

// The program's icon, a driving wheel with its coupling rod, drawn at the given size in pixels.
QPixmap ProgramIconPixmap(int size);

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Help > About: shown (not modally) in the middle of the screen.
    void ShowAbout();

public slots:
    void OKButtonClick();

private:
    void CentreOnScreen();

    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Comments = nullptr;
    QLabel* Copyright = nullptr;
    QPushButton* OKButton = nullptr;
};

} // namespace linkwright
