// The progress window of report layout and printing: a message, a bar and Cancel, which sets
// the page store's cancel flag.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

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

    // Advances the position by one step; the bar's value moves only when the position passes
    // another twentieth of the maximum, and the bar shows it at most every RedrawInterval ms
    // (a newer value waits for the interval's end).
    void Step();
    static constexpr qint64 RedrawInterval = 100;
    // The value the bar shows, or shows once the interval ends.
    int Value() const { return m_value; }
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
    int m_value = 0;
    QElapsedTimer m_drawn;
    QTimer m_redraw;
    void ShowValue();
};
