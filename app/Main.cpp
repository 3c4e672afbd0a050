// The calculator window's construction: every control with its name, place, caption and hint,
// in the order of the window's tab order and stacking.
#include "app/Main.h"

#include "Version.h"
#include "app/TableCopy.h"
#include "app/splash.h"
#include "calc/DefaultInputs.h"
#include "calc/LoanMath.h"
#include "controls/Aligrid.h"
#include "controls/Artwork.h"
#include "controls/ExplBtn.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "controls/StatusLine.h"
#include "controls/URL.h"
#include "platform/Application.h"
#include "platform/RadioGroup.h"
#include "report/QRPrinter.h"

#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <algorithm>

namespace {
const QColor yellow(255, 255, 0);

QFont ArialFont(int pixelSize, bool bold = false)
{
    QFont font("Arial");
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// A result: read-only and yellow; no tab stop, but a click gives it the focus.
void MakeReadOnlyResult(TKeyRoutedEdit* edit)
{
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);
    edit->SetColor(yellow);
}

TNumEdit* MoneyEdit(QWidget* parent, const char* name, int left, int top, int width, int height,
                    double min, double value)
{
    auto* edit = new TNumEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(left, top, width, height);
    edit->SetDecimals(2);
    edit->SetDigits(12);
    edit->SetUseRounding(true);
    edit->SetValidate(false);
    // The value first: raising the minimum later leaves the shown text as it is.
    edit->SetValue(value);
    edit->SetMin(min);
    return edit;
}

TFnpNumericEdit* RateEdit(QWidget* parent, const char* name, int left, int top, int decimals,
                          double min, double value)
{
    auto* edit = new TFnpNumericEdit(parent);
    edit->setObjectName(name);
    edit->setGeometry(left, top, 85, 22);
    edit->SetAlignment(taCenter);
    edit->SetDecimals(decimals);
    edit->SetMinValue(min);
    edit->SetValue(value);
    return edit;
}

TExplorerButton* ToolButton(QWidget* parent, const char* name, int left, const QString& image,
                            const QString& hint)
{
    auto* button = new TExplorerButton(parent);
    button->setObjectName(name);
    button->SetBitmap(LoadArtwork(image));
    button->SetOptions(boIconOnly | boShowBevel);
    button->SetHint(hint);
    button->SetShowHint(true);
    button->setGeometry(left, 3, 25, 24);
    return button;
}

QAction* MenuItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}
} // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent)
{
    InitAppResources();
    setObjectName("frmMain");
    setWindowTitle("Tallyhorn, " TALLYHORN_CAPTION_VERSION);
    // A fixed single border with the system menu and the minimise button: no maximise, which
    // a window of fixed size could not do.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(ArialFont(11));

    m_client = new QWidget(this);
    m_client->setObjectName("client");
    m_client->setFixedSize(ClientWidth, ClientHeight);
    setCentralWidget(m_client);

    CreateMenus();
    CreateWebFileInfo();
    CreateToolbar(m_client);
    CreateCalculatorPanel(m_client);
    CreateGrid(m_client);

    StatusBar1 = new TStatusLine(" Welcome to Velmora Software's Tallyhorn!", m_client);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBar1->setGeometry(0, ClientHeight - 19, ClientWidth, 19);
    StatusBar1->raise();
    NameControls();

    for (QWidget* w : {static_cast<QWidget*>(this), pnlToolbar, pnlCalculator,
                       static_cast<QWidget*>(pnlFixedFees), static_cast<QWidget*>(rgLoan),
                       static_cast<QWidget*>(rgFixed), static_cast<QWidget*>(grdAPR)}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& pos) { mnuPop->popup(w->mapToGlobal(pos)); });
    }
    m_client->installEventFilter(this);

    ConnectHandlers();
    InstallPreview(); // the hook only: the chart and the preview window are made on first use
    new TTableCopy(this, grdAPR); // Ctrl+C copies the table
    adjustSize();
    setFixedSize(sizeHint());
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    FormCreate();
}

TfrmMain::~TfrmMain()
{
    m_calc.Supersede();
}

void TfrmMain::CreateMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName("mnuMain");
    mnuFile = bar->addMenu("&File");
    mnuFile->setObjectName("mnuFile");
    mnuFileReset = MenuItem(mnuFile, "mnuFileReset", "&Reset");
    mnuFileReset->setEnabled(false);
    // The Calculate button's command, there while the button is (AutoCalc off).
    mnuFileCalculate = MenuItem(mnuFile, "mnuFileCalculate", "&Calculate");
    mnuFileCalculate->setShortcut(Qt::Key_F9);
    mnuFileCalculate->setShortcutContext(Qt::WindowShortcut);
    mnuFileCalculate->setVisible(false);
    mnuFileCalculate->setEnabled(false);
    mnuFile->addSeparator();
    mnuFilePrintSetup = MenuItem(mnuFile, "mnuFilePrintSetup", "Prin&t Setup...");
    mnuFilePrint = MenuItem(mnuFile, "mnuFilePrint", "&Print");
    // The desktop's print key opens the preview, from which the chart prints.
    mnuFilePrint->setShortcut(QKeySequence::Print);
    mnuFilePrint->setShortcutContext(Qt::WindowShortcut);
    mnuFilePrint->setEnabled(false);
    mnuFileLoanSummary = MenuItem(mnuFile, "mnuFileLoanSummary", "&Loan Summary...");
    mnuFileLoanSummary->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    mnuFileLoanSummary->setShortcutContext(Qt::WindowShortcut);
    mnuFileLoanSummary->setEnabled(false);
    // Needs no calculation of the window: always there.
    mnuFileCompareOffers = MenuItem(mnuFile, "mnuFileCompareOffers", "Compare &Offers...");
    mnuFile->addSeparator();
    mnuFileExit = MenuItem(mnuFile, "mnuFileExit", "E&xit");

    mnuPreferences = bar->addMenu("&Preferences");
    mnuPreferences->setObjectName("mnuPreferences");
    mnuPreferencesAutoCalc = MenuItem(mnuPreferences, "mnuPreferencesAutoCalc", "&AutoCalc Grid");
    mnuPreferencesAutoCalc->setCheckable(true);
    mnuPreferencesAutoCalc->setChecked(false);

    Internet1 = bar->addMenu("&Internet");
    Internet1->setObjectName("Internet1");
    mnuInternetWeb = Internet1->addMenu("&Velmora on the Web");
    mnuInternetWeb->setObjectName("mnuInternetWeb");
    mnuInternetWebHome = MenuItem(mnuInternetWeb, "mnuInternetWebHome", "&Home Page");
    mnuInternetApplicationPage =
        MenuItem(mnuInternetWeb, "mnuInternetApplicationPage", "&Tallyhorn Page");
    mnuInternetFreeware = MenuItem(mnuInternetWeb, "mnuInternetFreeware", "Velmora' Freeware Page");
    mnuInternetWeb->addSeparator();
    mnuInternetWebSuggest = MenuItem(mnuInternetWeb, "mnuInternetWebSuggest", "&Suggestion Box");
    mnuInternetEmail = Internet1->addMenu("Contact Velmora by &Email");
    mnuInternetEmail->setObjectName("mnuInternetEmail");
    mnuInternetEmailSuggest =
        MenuItem(mnuInternetEmail, "mnuInternetEmailSuggest", "&Send Suggestions");
    mnuInternetEmailSupport =
        MenuItem(mnuInternetEmail, "mnuInternetEmailSupport", "Contact &Tech Support");

    mnuHelp = bar->addMenu("&Help");
    mnuHelp->setObjectName("mnuHelp");
    mnuHelpContents = MenuItem(mnuHelp, "mnuHelpContents", "&Contents");
    mnuHelpContents->setShortcut(Qt::Key_F1);
    mnuHelpContents->setShortcutContext(Qt::WindowShortcut);
    mnuHelp->addSeparator();
    SearchforHelpOn1 = MenuItem(mnuHelp, "SearchforHelpOn1", "&Search for Help On...");
    HowtoUseHelp1 = MenuItem(mnuHelp, "HowtoUseHelp1", "&How to Use Help");
    mnuHelp->addSeparator();
    mnuHelpUpdate = MenuItem(mnuHelp, "mnuHelpUpdate", "Check for &Update ...");
    mnuHelp->addSeparator();
    mnuHelpDisclaimer = MenuItem(mnuHelp, "mnuHelpDisclaimer", "&Disclaimer...");
    mnuHelpAbout = MenuItem(mnuHelp, "mnuHelpAbout", "&About...");

    mnuPop = new QMenu(this);
    mnuPop->setObjectName("mnuPop");
    mnuPopPrint = MenuItem(mnuPop, "mnuPopPrint", "&Print Preview");
    mnuPopPrint->setEnabled(false);
    mnuPopAbout = MenuItem(mnuPop, "mnuPopAbout", "&About...");
    mnuPop->addSeparator();
    mnuPopExit = MenuItem(mnuPop, "mnuPopExit", "E&xit");

    auto url = [this](const char* name, TURLType type, const QString& address) {
        auto* u = new TURL(this);
        u->setObjectName(name);
        u->SetURLType(type);
        u->SetURL(address);
        return u;
    };
    const QString host = Maker::Host;
    UrlHome = url("UrlHome", utHttp, host + "/");
    UrlApplication = url("UrlApplication", utHttp, host + "/Torv/Torv.htm");
    UrlFreeware = url("UrlFreeware", utHttp, host + "/freeware.htm");
    UrlSuggest = url("UrlSuggest", utHttp, host + "/suggest.htm");
    UrlEmailSuggest = url("UrlEmailSuggest", utMailto, Maker::SuggestionsMailbox);
    UrlEmailSupport = url("UrlEmailSupport", utMailto, Maker::SupportMailbox);
}

void TfrmMain::CreateToolbar(QWidget* client)
{
    pnlToolbar = new QWidget(client);
    pnlToolbar->setObjectName("pnlToolbar");
    pnlToolbar->setGeometry(0, 0, ClientWidth, 30);

    btnPrint = ToolButton(pnlToolbar, "btnPrint", 8, "print_preview", " Print Preview ...");
    btnPrint->setEnabled(false);
    btnPrinterSetup =
        ToolButton(pnlToolbar, "btnPrinterSetup", 36, "printer_setup", " Printer Setup ...");
    btnReset = ToolButton(pnlToolbar, "btnReset", 63, "reset", " Reset");
    btnReset->setEnabled(false);
    btnDisclaim = ToolButton(pnlToolbar, "btnDisclaim", 91, "disclaimer", " Disclaimer ...");
    btnUpdate = ToolButton(pnlToolbar, "btnUpdate", 118, "update", " Check for Updates ...");
    btnHelp = ToolButton(pnlToolbar, "btnHelp", 146, "help", " Help ...");

    btnCalculate = new TExplorerButton(pnlToolbar);
    btnCalculate->setObjectName("btnCalculate");
    btnCalculate->SetBitmap(LoadArtwork("calculate"));
    btnCalculate->SetLayout(blBitmapLeft);
    btnCalculate->SetOptions(boShowBevel);
    btnCalculate->SetCaption("Calculate");
    btnCalculate->SetHint(" Click to update grid");
    btnCalculate->SetShowHint(true);
    btnCalculate->setGeometry(365, 3, 87, 24);
    btnCalculate->setVisible(false);

    btnAutoCalcStatus = new TExplorerButton(pnlToolbar);
    btnAutoCalcStatus->setObjectName("btnAutoCalcStatus");
    btnAutoCalcStatus->setFont(ArialFont(11, true));
    btnAutoCalcStatus->SetOptions(boShowBevel);
    btnAutoCalcStatus->SetCaption("AutoCalc Grid:  OFF");
    btnAutoCalcStatus->SetHint("Click to turn on AutoCalc");
    btnAutoCalcStatus->SetShowHint(true);
    btnAutoCalcStatus->setGeometry(459, 3, 114, 24);

    btnExit = ToolButton(pnlToolbar, "btnExit", 580, "exit", " Exit");
}

QLabel* TfrmMain::AddLabel(QWidget* parent, const QString& caption, int left, int top, int width)
{
    auto* label = new QLabel(caption, parent);
    // A label given its width is not measured now: the hidden panel's labels then cost no text
    // layout until the panel is first shown.
    if (width > 0) {
        label->setGeometry(left, top, width, 15);
    } else {
        label->move(left, top);
        label->adjustSize();
    }
    return label;
}

void TfrmMain::CreateCalculatorPanel(QWidget* client)
{
    pnlCalculator = new QFrame(client);
    pnlCalculator->setObjectName("pnlCalculator");
    pnlCalculator->setGeometry(0, 30, ClientWidth, 132);
    QWidget* p = pnlCalculator;

    // Inputs, in tab order; each label stands 15 pixels above its field.
    AddLabel(p, "Purchase Price", 158, 7);
    edtPurchasePrice = MoneyEdit(p, "edtPurchasePrice", 158, 22, 85, 22, 1, DefaultInputs.price);
    AddLabel(p, "Percent Down", 158, 47);
    edtDownPaymentPercent =
        RateEdit(p, "edtDownPaymentPercent", 158, 62, 3, 0, DefaultInputs.downPercent);
    AddLabel(p, "Term in Years", 263, 47);
    edtTerm = RateEdit(p, "edtTerm", 263, 62, 0, 1, DefaultInputs.term);
    AddLabel(p, "Interest Rate", 263, 87);
    edtInterest = RateEdit(p, "edtInterest", 263, 102, 3, 0, DefaultInputs.interest);

    btnCalcFixed = new QPushButton(p);
    btnCalcFixed->setObjectName("btnCalcFixed");
    btnCalcFixed->setGeometry(437, 62, 22, 22);
    btnCalcFixed->setIcon(QPixmap::fromImage(TransparentImage(LoadArtwork("calculate"))));
    btnCalcFixed->setToolTip(" Click to itemize fixed fees ...");
    SetHint(btnCalcFixed, " Click to itemize fixed fees ...");

    const QStringList increments = {" 100",  " 250",  " 500",  " 1000", " 2000",
                                    " 2500", " 3000", " 4000", " 5000", " 7500"};
    AddLabel(p, "Purchase Price Increment:", 14, 18);
    rgLoan = new TRadioGroup(p);
    rgLoan->setObjectName("rgLoan");
    rgLoan->setGeometry(11, 29, 132, 95);
    AddLabel(p, "Fixed Fees Increment:", 480, 18);
    rgFixed = new TRadioGroup(p);
    rgFixed->setObjectName("rgFixed");
    rgFixed->setGeometry(466, 29, 135, 95);
    for (TRadioGroup* group : {rgLoan, rgFixed}) {
        group->SetColumns(2);
        group->SetItems(increments);
        group->SetItemIndex(3);
        group->setAutoFillBackground(true);
        QPalette silver = group->palette();
        silver.setColor(QPalette::Window, QColor(192, 192, 192));
        group->setPalette(silver);
    }
    SetHint(rgLoan, " Click the appropriate radio button to set purchase price increment");
    SetHint(rgFixed, " Click the appropriate radio button to set fixed fee increment.");

    // Results: read-only, yellow, not tab stops.
    AddLabel(p, "Loan Amount", 263, 7);
    edtLoan = MoneyEdit(p, "edtLoan", 263, 22, 85, 22, 1, 1);
    AddLabel(p, "Payment (P&I)", 367, 7);
    edtPayment = MoneyEdit(p, "edtPayment", 367, 22, 85, 22, 0, 1);
    AddLabel(p, "Total Fixed Fees", 367, 47);
    edtFixedFees = MoneyEdit(p, "edtFixedFees", 367, 62, 67, 22, 0, 0);
    AddLabel(p, "Down Payment", 158, 87);
    edtDownPayment = MoneyEdit(p, "edtDownPayment", 158, 102, 85, 22, 0, 1);
    AddLabel(p, "APR", 367, 87);
    edtAPR = RateEdit(p, "edtAPR", 367, 102, 3, 0, 0);
    for (TKeyRoutedEdit* e : std::initializer_list<TKeyRoutedEdit*>{
             edtLoan, edtPayment, edtFixedFees, edtDownPayment, edtAPR})
        MakeReadOnlyResult(e);

    CreateFixedFeesPanel(p);

    setTabOrder(edtPurchasePrice, edtDownPaymentPercent);
    setTabOrder(edtDownPaymentPercent, edtTerm);
    setTabOrder(edtTerm, edtInterest);
    setTabOrder(edtInterest, btnCalcFixed);
    // Each group is one stop: the tab key lands on its checked item.
    QWidget* previous = btnCalcFixed;
    for (TRadioGroup* group : {rgLoan, rgFixed})
        for (int i = 0; i < group->Items().size(); ++i) {
            setTabOrder(previous, group->Button(i));
            previous = group->Button(i);
        }
    setTabOrder(previous, edtOriginationFees);
}

void TfrmMain::CreateFixedFeesPanel(QWidget* panel)
{
    pnlFixedFees = new QFrame(panel);
    pnlFixedFees->setObjectName("pnlFixedFees");
    pnlFixedFees->setGeometry(7, 1, 598, 130);
    pnlFixedFees->setAutoFillBackground(true);
    QWidget* f = pnlFixedFees;

    lblTitle = new QLabel("Fixed Fees Entry", f);
    lblTitle->setObjectName("lblTitle");
    lblTitle->setFont(ArialFont(16, true));
    lblTitle->setGeometry(8, 6, 300, 20);
    lblTitle->installEventFilter(this);

    struct Fee {
        TNumEdit** edit;
        const char* name;
        const char* caption;
        int left, top;
    };
    const Fee fees[] = {
        {&edtOriginationFees, "edtOriginationFees", "Origination Fees", 17, 47},
        {&edtPoints, "edtPoints", "Points", 17, 89},
        {&edtPrepaidMortgageInterest, "edtPrepaidMortgageInterest", "Prepaid Interest", 135, 47},
        {&edtMortgageInsurancePremiums, "edtMortgageInsurancePremiums", "Insurance Premiums", 135,
         89},
        {&edtBuydownFunds, "edtBuydownFunds", "Buydown Funds", 253, 47},
        {&edtFloodCheckFee, "edtFloodCheckFee", "Flood Check Fee", 253, 89},
        {&edtTaxServicingFee, "edtTaxServicingFee", "Tax Servicing Fee", 371, 47},
        {&edtOtherFees, "edtOtherFees", "Other Fees", 371, 89},
    };
    QWidget* previous = nullptr;
    for (const Fee& fee : fees) {
        AddLabel(f, fee.caption, fee.left, fee.top - 15, 115);
        *fee.edit = MoneyEdit(f, fee.name, fee.left, fee.top, 93, 22, 0, 0);
        if (previous)
            setTabOrder(previous, *fee.edit);
        previous = *fee.edit;
    }
    QLabel* total = AddLabel(f, "TOTAL", 516, 32, 60);
    total->setFont(ArialFont(11, true));
    edtTotal = MoneyEdit(f, "edtTotal", 488, 47, 93, 23, 0, 0);
    edtTotal->setFont(ArialFont(12, true));
    MakeReadOnlyResult(edtTotal);

    btnCloseFixedFees = new QPushButton(" &OK", f);
    btnCloseFixedFees->setObjectName("btnCloseFixedFees");
    btnCloseFixedFees->setGeometry(488, 86, 92, 25);
    btnCloseFixedFees->setIcon(QPixmap::fromImage(TransparentImage(LoadArtwork("ok"))));
    SetHint(btnCloseFixedFees, "Click to close Fixed Fees Entry");
    setTabOrder(previous, btnCloseFixedFees);

    pnlFixedFees->raise();
    pnlFixedFees->hide();
    pnlFixedFees->installEventFilter(this); // covers the calculator's controls while shown
}

void TfrmMain::CreateGrid(QWidget* client)
{
    grdAPR = new TStringAlignGrid(client);
    grdAPR->setObjectName("grdAPR");
    grdAPR->SetColCount(calc::AprTableCols);
    grdAPR->SetRowCount(calc::AprTableRows);
    grdAPR->SetFixedCols(1);
    grdAPR->SetFixedRows(1);
    grdAPR->SetDefaultColWidth(75);
    grdAPR->SetDefaultRowHeight(18);
    grdAPR->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine);
    grdAPR->SetScrollBars(ssNone);
    grdAPR->setFocusPolicy(Qt::NoFocus);
    grdAPR->setEnabled(false);
    grdAPR->setFont(ArialFont(11));
    grdAPR->Font()->SetColor(Qt::black);
    grdAPR->SetAlignment(alCenter);
    grdAPR->SetEditable(false);
    grdAPR->SetShowCellHints(false);
    grdAPR->SetSelectedCellColor(yellow);
    grdAPR->SetSelectedFontColor(Qt::red);
    grdAPR->SetNextCellEdit(nc_leftup);
    grdAPR->SetNextCellTab(nc_leftup);
    grdAPR->SetAfterLastCellEdit(lc_stop);
    grdAPR->SetAfterLastCellTab(lc_stop);
    grdAPR->setGeometry(0, GridTop, ClientWidth, ClientHeight - GridTop);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        const auto inputs = InputFields();
        if (std::find(inputs.begin(), inputs.end(), watched) != inputs.end())
            m_exitByMouse = static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason;
    }
    if (watched == m_client && event->type() == QEvent::Resize)
        Application::Guard(this, [this] { FormResize(); });
    else if (watched == lblTitle && event->type() == QEvent::MouseButtonRelease)
        Application::Guard(this, [this] { btnAboutClick(); });
    else if (watched == pnlFixedFees &&
             (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        Application::Guard(this, [this] { CoverFieldsUnderFees(); });
    return QMainWindow::eventFilter(watched, event);
}

double TfrmMain::CalcPayment(int n, double principal, double monthlyRate) const
{
    return calc::CalcPayment(n, principal, monthlyRate);
}

double TfrmMain::CalcPVofOne(int n, double rate) const
{
    return calc::CalcPVofOne(n, rate);
}

double TfrmMain::CalcSimpleAPR(int n, double amountFinanced, double payment)
{
    return calc::CalcSimpleAPR(
        n, amountFinanced, payment, [this] { m_calc.MessagePass(); },
        [this](int count, double rate) { return CalcPVofOne(count, rate); });
}

double TfrmMain::CalcIR(int n, double principal, double payment) const
{
    return calc::CalcIR(n, principal, payment);
}
