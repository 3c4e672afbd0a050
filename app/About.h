// TAboutBox: the About box, with the product picture, a word about the maker and a link to the
// maker's web site. A new box is made for each showing (see TfrmMain::btnAboutClick).
#pragma once

#include <QDialog>

class TBevelPanel;
class TExplorerButton;
class TURLLabel;
class QLabel;

class TAboutBox : public QDialog {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 332;
    static constexpr int ClientHeight = 306;

    explicit TAboutBox(QWidget* parent = nullptr);

    TBevelPanel* Panel1 = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* Comments = nullptr;
    QLabel* lblVisit = nullptr;
    TURLLabel* URLLabel1 = nullptr;
    TExplorerButton* OKButton = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
