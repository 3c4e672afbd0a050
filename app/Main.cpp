#include "app/Main.h"

#include "calc/LoanMath.h"
#include "platform/Application.h"

#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("frmMain");
    setWindowTitle("Tallyhorn, 1.0");
    // A fixed single border with the system menu and the minimise button only.
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QFont font("Arial");
    font.setPixelSize(11);
    setFont(font);

    m_client = new QWidget(this);
    m_client->setObjectName("client");
    m_client->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(m_client);
    menuBar();
    adjustSize();
    setFixedSize(sizeHint());
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

double TfrmMain::CalcPayment(int n, double principal, double monthlyRate) const
{
    return calc::CalcPayment(n, principal, monthlyRate);
}

double TfrmMain::CalcPVofOne(int n, double rate) const
{
    return calc::CalcPVofOne(n, rate);
}

double TfrmMain::CalcSimpleAPR(int n, double amountFinanced, double payment) const
{
    return calc::CalcSimpleAPR(n, amountFinanced, payment, &Application::ProcessMessages);
}

double TfrmMain::CalcIR(int n, double principal, double payment) const
{
    return calc::CalcIR(n, principal, payment);
}
