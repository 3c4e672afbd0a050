// The calculator window: inputs, read-only results, the APR table, toolbar, menus and the
// fixed-fees panel. Construction (layout, names, captions) is in Main.cpp; the calculation flow
// in MainCalc.cpp (its generations in CalcGenerations); start-up, the settings file and the
// error trap in MainStartup.cpp.
#pragma once

#include "app/CalcGenerations.h"
#include "calc/LoanModel.h"
#include "calc/Offers.h"
#include "loan/StoredInputs.h"
#include "platform/Application.h"
#include "platform/Maker.h"
#include "platform/ProfileFile.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <array>
#include <exception>
#include <memory>
#include <optional>

class TExplorerButton;
class TQRAPRChart;
class TFnpNumericEdit;
class TNumEdit;
class TRadioGroup;
class TStatusLine;
class TStringAlignGrid;
class TfrmPreview;
class TQRPreviewHook;
class TURL;
class TWebFileInfo;
class QFrame;

class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Size of the client area below the menu bar, in pixels.
    static constexpr int ClientWidth = 612;
    static constexpr int ClientHeight = 412;
    static constexpr int GridTop = 162;

    // The loan formulas, through which every calculation of the window goes; they delegate to
    // calc/ (rates: see calc/LoanMath.h). CalcSimpleAPR passes pending window messages on
    // during its steps; inside a calculation that a newer one has replaced, it stops.
    virtual double CalcPayment(int n, double principal, double monthlyRate) const;
    virtual double CalcPVofOne(int n, double rate) const;
    virtual double CalcSimpleAPR(int n, double amountFinanced, double payment);
    virtual double CalcIR(int n, double principal, double payment) const;

    // Calculation flow.
    void CalcAPRTable(QObject* trigger);
    void CleanGrid();
    void SetAutoCalcStatus(QObject* sender);
    void InitialAutoCalcStatus();
    void Reset(QObject* sender);
    void AllowPrinting();
    void DisallowPrinting();
    void FormResize();
    void DisplayHint(const QString& hint);

    // Fixed fees.
    void CalculateFixedFees();
    void AddFixedFees();
    void btnCloseFixedFeesClick();
    // While the fixed-fees panel shows, the controls it covers are hidden: no tab stops, and
    // nothing a screen reader reads; they come back as they were when it closes.
    void CoverFieldsUnderFees();

    // Start-up, settings file and error trap.
    void FormCreate();
    void SaveIniValues();
    void AppOnException(QObject* sender, const std::exception& e);
    void ApplicationActivate();
    QString IniFileName() const { return m_iniFileName; }
    QString HelpFile() const { return m_helpFile; }

    // Commands.
    void btnExitClick();
    void btnPrintClick();
    // File > Loan Summary...: the dialog of the loan's disclosure figures and schedule.
    void mnuFileLoanSummaryClick();
    // File > Compare Offers...: two to four offers side by side, kept in the settings file.
    void mnuFileCompareOffersClick();
    // Before a command that reads the fields: a field being edited takes its text as leaving
    // it would (its exit runs, and the calculation that starts), and the focus stays there.
    // False when the field refused the text (its message said why): the command does not run.
    bool CommitFieldBeingEdited();
    void btnAboutClick();
    void btnDisclaimClick();
    void ShowUpdate();
    void mnuFilePrintSetupClick();
    void MyPreview();
    void mnuHelpContentsClick();
    void mnuHelpSearchClick();
    void mnuHelpHowClick();
    // Opens the help topic with the given context number (the print preview's is 35).
    void HelpContext(int context);

    // True while a table build is running (a newer request restarts it).
    bool BuildRunning() const { return m_calc.BuildRunning(); }
    // During a calculation, pending window messages are processed at most this often (ms;
    // 15 unless set).
    void SetMessageInterval(int ms) { m_calc.MessageInterval = ms; }

    // The AutoCalc switch. A stored text other than "ON" or "OFF" is Kept: the window builds no
    // table and writes the text back unchanged until the switch is used, which turns it Off.
    enum class AutoCalc { Off, On, Kept };
    AutoCalc AutoCalcState() const { return m_autoCalc; }

    // The inputs of the last calculation (at start, those read from the settings file); the
    // close saves them.
    const TStoredInputs& LastValues() const { return m_last; }

    // The APR chart, fed from this window's controls; made on first use.
    TQRAPRChart& Chart();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Controls, by their documented names; tests find them by object name.
    QWidget* pnlToolbar = nullptr;
    QWidget* pnlCalculator = nullptr;
    TExplorerButton* btnPrint = nullptr;
    TExplorerButton* btnPrinterSetup = nullptr;
    TExplorerButton* btnReset = nullptr;
    TExplorerButton* btnDisclaim = nullptr;
    TExplorerButton* btnUpdate = nullptr;
    TExplorerButton* btnHelp = nullptr;
    TExplorerButton* btnCalculate = nullptr;
    TExplorerButton* btnAutoCalcStatus = nullptr;
    TExplorerButton* btnExit = nullptr;

    TNumEdit* edtPurchasePrice = nullptr;
    TFnpNumericEdit* edtDownPaymentPercent = nullptr;
    TFnpNumericEdit* edtTerm = nullptr;
    TFnpNumericEdit* edtInterest = nullptr;
    QPushButton* btnCalcFixed = nullptr;
    TRadioGroup* rgLoan = nullptr;
    TRadioGroup* rgFixed = nullptr;
    TNumEdit* edtLoan = nullptr;
    TNumEdit* edtPayment = nullptr;
    TNumEdit* edtFixedFees = nullptr;
    TNumEdit* edtDownPayment = nullptr;
    TFnpNumericEdit* edtAPR = nullptr;

    QFrame* pnlFixedFees = nullptr;
    QLabel* lblTitle = nullptr;
    TNumEdit* edtOriginationFees = nullptr;
    TNumEdit* edtPoints = nullptr;
    TNumEdit* edtPrepaidMortgageInterest = nullptr;
    TNumEdit* edtMortgageInsurancePremiums = nullptr;
    TNumEdit* edtBuydownFunds = nullptr;
    TNumEdit* edtFloodCheckFee = nullptr;
    TNumEdit* edtTaxServicingFee = nullptr;
    TNumEdit* edtOtherFees = nullptr;
    TNumEdit* edtTotal = nullptr;
    QPushButton* btnCloseFixedFees = nullptr;

    TStringAlignGrid* grdAPR = nullptr;
    TStatusLine* StatusBar1 = nullptr;

    QMenu* mnuFile = nullptr;
    QMenu* mnuPreferences = nullptr;
    QMenu* Internet1 = nullptr;
    QMenu* mnuInternetWeb = nullptr;
    QMenu* mnuInternetEmail = nullptr;
    QMenu* mnuHelp = nullptr;
    QMenu* mnuPop = nullptr;
    QAction* mnuFileReset = nullptr;
    QAction* mnuFileCalculate = nullptr;
    QAction* mnuFilePrintSetup = nullptr;
    QAction* mnuFilePrint = nullptr;
    QAction* mnuFileLoanSummary = nullptr;
    QAction* mnuFileCompareOffers = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuPreferencesAutoCalc = nullptr;
    QAction* mnuInternetWebHome = nullptr;
    QAction* mnuInternetApplicationPage = nullptr;
    QAction* mnuInternetFreeware = nullptr;
    QAction* mnuInternetWebSuggest = nullptr;
    QAction* mnuInternetEmailSuggest = nullptr;
    QAction* mnuInternetEmailSupport = nullptr;
    QAction* mnuHelpContents = nullptr;
    QAction* SearchforHelpOn1 = nullptr;
    QAction* HowtoUseHelp1 = nullptr;
    QAction* mnuHelpUpdate = nullptr;
    QAction* mnuHelpDisclaimer = nullptr;
    QAction* mnuHelpAbout = nullptr;
    QAction* mnuPopPrint = nullptr;
    QAction* mnuPopAbout = nullptr;
    QAction* mnuPopExit = nullptr;

    TURL* UrlHome = nullptr;
    TURL* UrlApplication = nullptr;
    TURL* UrlFreeware = nullptr;
    TURL* UrlSuggest = nullptr;
    TURL* UrlEmailSuggest = nullptr;
    TURL* UrlEmailSupport = nullptr;

    // The update information component (the update centre asks it).
    TWebFileInfo* WebFileInfo = nullptr;

    void CreateMenus();
    void CreateToolbar(QWidget* client);
    void CreateCalculatorPanel(QWidget* client);
    void CreateFixedFeesPanel(QWidget* panel);
    void CreateGrid(QWidget* client);
    // Accessible names for screen readers: each field named by its caption (the caption's buddy),
    // the panels, groups and table by what they hold (app/MainAccessibility.cpp).
    void NameControls();
    void ConnectHandlers();
    QLabel* AddLabel(QWidget* parent, const QString& caption, int left, int top, int width = 0);
    void ShowAutoCalcLook(bool on);
    // The four inputs whose exit is a recalculation trigger, and that trigger.
    std::array<QWidget*, 4> InputFields() const;
    void InputExit(QObject* field);
    static calc::AprTableFormats TableFormats();
    void Announce(const calc::LoanModel& model, bool table);
    // The window's four formula methods, for the table builder.
    calc::LoanFormulas Formulas();
    // The model's inputs as the fields and increment groups hold them.
    calc::LoanInputs ModelInputs() const;
    static char Separator(); // the decimal separator the numbers are read with
    void ShowStartResults();
    void MarkUserCase();
    void WriteIniValue(const QString& key, const QString& value);
    void WriteIniValues(const QList<ProfileFile::Entry>& entries);
    void ReadIniValues();
    // The AutoCalc state as the settings file keeps it ("ON", "OFF" or the kept text).
    QString StoredAutoCalc() const;
    void ReportSettingsProblem(const QString& text);
    void OpenUrl(TURL* url);
    void CreateWebFileInfo();
    QString UpdateHomeURL() const;
    void InstallPreview();
    // A new offer to compare: the window's loan, term, rate and fees.
    calc::Offer WindowOffer() const;
    void SaveOffers(const std::vector<calc::Offer>& offers);
    // The eight fee fields, in the order their amounts are added.
    std::array<TNumEdit*, 8> FeeFields() const;

    // The inputs a calculation reads, to tell whether the results and the table still belong
    // to the inputs the fields hold now.
    struct LoanInputs {
        double price, percent, term, interest, fees;
        int loanStep, feeStep;
        bool operator==(const LoanInputs&) const = default;
    };
    LoanInputs CurrentInputs() const;
    bool ChartCurrent() const;

    TQRAPRChart* m_chart = nullptr;
    std::optional<LoanInputs> m_resultInputs; // of the last completed calculation
    std::optional<LoanInputs> m_tableInputs;  // of the last completed table build
    std::optional<calc::LoanModel> m_model;   // of the last calculation's results
    bool m_reporting = false;                 // inside btnPrintClick
    // The modal commands whose dialog is running (each refuses to start again meanwhile).
    enum ModalCommand {
        ModalAbout,
        ModalDisclaimer,
        ModalPrintSetup,
        ModalUpdate,
        ModalLoanSummary,
        ModalCompareOffers,
        ModalCount
    };
    std::array<bool, ModalCount> m_modalBusy{};

    QWidget* m_client = nullptr;
    TfrmPreview* m_frmPreview = nullptr;
    std::unique_ptr<TQRPreviewHook> m_previewHook;
    // AppOnException as the application's exception handler, from FormCreate to the close.
    std::optional<TExceptionHook> m_trap;
    QString m_iniFileName;
    QString m_helpFile;
    bool m_settingsProblemShown = false;
    TCalcGenerations m_calc;
    AutoCalc m_autoCalc = AutoCalc::Off;
    QString m_keptAutoCalc; // the stored text, while m_autoCalc is Kept
    TStoredInputs m_last;
    QString m_announced;        // the figures the status line last announced
    bool m_exitByMouse = false; // the last input to lose the focus lost it to a mouse press
    // The controls the fixed-fees panel hid, while it shows.
    std::optional<QList<QPointer<QWidget>>> m_underFees;
};
