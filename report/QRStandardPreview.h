// The engine's own preview window, used when no preview hook is installed: the stored pages
// at full size, one at a time, with page buttons, Print and Close.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QWidget;

class TQRStandardPreview : public QDialog {
    Q_OBJECT

public:
    explicit TQRStandardPreview(QWidget* parent = nullptr);

    // Shows the page store's pages modally; returns when the user closes the window.
    static void Show();

private:
    void UpdatePage();

    QWidget* m_sheet = nullptr;
    QLabel* m_indicator = nullptr;
    QPushButton* m_previous = nullptr;
    QPushButton* m_next = nullptr;
};
