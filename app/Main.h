// The calculator window.
#pragma once

#include <QMainWindow>

class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TfrmMain(QWidget* parent = nullptr);

    // The loan formulas; the window only delegates to calc/.
    double CalcPayment(int n, double principal, double monthlyRate) const;
    double CalcPVofOne(int n, double rate) const;
    double CalcSimpleAPR(int n, double amountFinanced, double payment) const;
    double CalcIR(int n, double principal, double payment) const;

    // Size of the client area below the menu bar.
    static constexpr int ClientWidth = 612;
    static constexpr int ClientHeight = 412;

    QWidget* Client() const { return m_client; }

private:
    QWidget* m_client = nullptr;
};
