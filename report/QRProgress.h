// The progress window of report layout and printing: a message, a bar and Cancel, which sets
// the page store's cancel flag.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class TQRProgress : public QDialog {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 400;
    static constexpr int ClientHeight = 140;

    // `maximum` is the number of steps the work takes (at least 1).
    TQRProgress(const QString& caption, const QString& message, int maximum,
                QWidget* parent = nullptr);

    // Advances the position by one step; the bar moves only when the position passes another
    // twentieth of the maximum, so it is redrawn at most about 20 times.
    void Step();
    int Position() const { return m_position; }
    int Maximum() const { return m_maximum; }
    // The bar's step: the maximum / 20, at least 1.
    int BarStep() const { return m_barStep; }

    QLabel* Message() const { return m_message; }
    QProgressBar* Bar() const { return m_bar; }
    QPushButton* CancelButton() const { return m_cancel; }

    // Escape and the Cancel button both cancel; the window stays until its owner frees it.
    void reject() override;

private:
    QLabel* m_message = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    int m_maximum = 1;
    int m_barStep = 1;
    int m_position = 0;
};
