// TfrmDisclaim: the disclaimer dialog. A new one is made for each showing (see
// TfrmMain::btnDisclaimClick).
#pragma once

#include <QDialog>

class TBevelPanel;
class TExplorerButton;
class QLabel;

class TfrmDisclaim : public QDialog {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 224;
    static constexpr int ClientHeight = 176;

    explicit TfrmDisclaim(QWidget* parent = nullptr);

    TBevelPanel* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    TExplorerButton* btnOK = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
