// The calculator window's start-up, settings file, error trap and close.
#include "app/Main.h"
#include "app/StoredInputs.h"
#include "calc/Errors.h"
#include "controls/Aligrid.h"
#include "controls/ExplBtn.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "controls/NumberFormats.h"
#include "platform/Application.h"
#include "platform/HelpViewer.h"
#include "platform/MessageBox.h"
#include "platform/ProfileFile.h"
#include "platform/ProgramFolder.h"
#include "platform/Regional.h"
#include "platform/ScreenCursor.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <cstdio>
#include <unistd.h>

namespace {
const char* const section = "LastValues";
const QColor yellow(255, 255, 0);

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}


} // namespace

void TfrmMain::FormCreate()
{
    const SettingsLocation location = ChooseSettingsFile("TorvIni.ini");
    m_iniFileName = location.path;
    if (location.passedOver == ProfileFile::Status::Unreadable)
        ReportSettingsProblem(QStringLiteral("The settings file \"%1\" beside the program cannot "
                                             "be read. Tallyhorn keeps your values in \"%2\" "
                                             "instead.")
                                  .arg(Shown(location.beside), Shown(location.path)));
    else if (location.passedOver == ProfileFile::Status::NotText)
        ReportSettingsProblem(QStringLiteral("The settings file \"%1\" beside the program is not "
                                             "a text file. Tallyhorn leaves it as it is and keeps "
                                             "your values in \"%2\" instead.")
                                  .arg(Shown(location.beside), Shown(location.path)));
    else if (location.distrust != SettingsLocation::Distrust::None)
        ReportSettingsProblem(QStringLiteral("The settings file \"%1\" beside the program %2. "
                                             "Tallyhorn leaves it as it is and keeps your values "
                                             "in \"%3\" instead.")
                                  .arg(Shown(location.beside), DistrustText(location.distrust),
                                       Shown(location.path)));
    LastPrice = LastInterest = LastTerm = LastDownPercent = 0;
    AutoCalcStatus = "OFF";

    ReadIniValues();
    // What a save cut short by the end of the process left behind; a minute old at least, so
    // that a save in progress in another running copy is never touched.
    ProfileFile(m_iniFileName).RemoveLeftovers(60);
    edtPurchasePrice->SetValue(LastPrice);
    edtDownPaymentPercent->SetValue(LastDownPercent);
    edtTerm->SetValue(LastTerm);
    edtInterest->SetValue(LastInterest);

    // Placeholders until the first table is built.
    grdAPR->SetCells(0, 0, "Loan / Fees");
    const TFormatSettings& settings = Regional::Current();
    for (int row = 1; row <= 11; ++row)
        grdAPR->SetCells(0, row,
                         NumberFormats::CurrencyText(94000 + 1000.0 * row, 10, 0, settings));
    for (int col = 1; col <= 7; ++col)
        grdAPR->SetCells(col, 0, NumberFormats::CurrencyText(1000.0 * (col - 1), 10, 0, settings));

    Application* app = Application::instance();
    // The error trap is in place before the first calculation can run.
    if (app)
        app->SetOnException(
            [this](QObject* sender, const std::exception& e) { AppOnException(sender, e); });
    // A stored "ON" calculates now; its errors go to the trap like any handler's.
    Application::Guard(this, [this] { InitialAutoCalcStatus(); });

    if (AutoCalcStatus == "ON") {
        AllowPrinting();
        btnAutoCalcStatus->SetHint("Click to turn off AutoCalc");
    } else {
        DisallowPrinting();
        btnAutoCalcStatus->SetHint("Click to turn on AutoCalc");
    }
    MarkUserCase();

    if (app) {
        connect(app, &Application::Activated, this,
                [this] { Application::Guard(this, [this] { ApplicationActivate(); }); });
        connect(app, &Application::HintChanged, this, [this](const QString& hint) {
            Application::Guard(this, [this, hint] { DisplayHint(hint); });
        });
        app->SetHintPause(300);
    }
    m_helpFile = ProgramFolder() + "torv.hlp";
    HelpViewer::SetApplicationHelpFile(m_helpFile);
    for (int col = 0; col <= 7; ++col)
        grdAPR->SetColWidths(col, 75);
    Screen::SetCursor(TCursor::crDefault);
}

void TfrmMain::ReadIniValues()
{
    ProfileFile ini(m_iniFileName);
    QString problem;
    const ProfileFile::Status status = ini.Check(&problem);
    const bool usable = status == ProfileFile::Status::Ok || status == ProfileFile::Status::Missing;
    if (!usable)
        ReportSettingsProblem(problem + "\n\nTallyhorn starts with its defaults and cannot save "
                                        "your values.");

    // A missing key is the designed value, whatever the locale. A stored value that is not a
    // number makes the window start with its designed inputs, and the user is told which text
    // was wrong.
    const TFormatSettings& settings = Regional::Current();
    struct Key {
        const char* name;
        double fallback;
        double* field;
    };
    const Key keys[] = {{"Price", 100000, &LastPrice},
                        {"Interest", 8.75, &LastInterest},
                        {"Term", 30, &LastTerm},
                        {"DownPercent", 0, &LastDownPercent}};
    for (const Key& key : keys) {
        const std::optional<QString> text =
            usable ? ini.ReadValue(section, key.name) : std::nullopt;
        try {
            *key.field = text ? TStoredInputs::StoredNumber(*text, settings) : key.fallback;
        } catch (const calc::EConvertError& e) {
            LastPrice = 100000;
            LastInterest = 8.75;
            LastTerm = 30;
            LastDownPercent = 0;
            AutoCalcStatus = "OFF";
            if (Application* app = Application::instance())
                app->ShowDefaultException(QString::fromStdString(e.what()));
            return;
        }
    }
    if (usable)
        AutoCalcStatus = ini.ReadString(section, "AutoCalc", "OFF");
}

void TfrmMain::ReportSettingsProblem(const QString& text)
{
    if (m_settingsProblemShown)
        return;
    m_settingsProblemShown = true;
    MessageBox(text,
               Application::instance() ? Application::instance()->Title()
                                       : QStringLiteral("Tallyhorn"),
               MessageIcon::Warning, MessageButtons::Ok);
}

void TfrmMain::WriteIniValue(const QString& key, const QString& value)
{
    WriteIniValues({{key, value}});
}

void TfrmMain::WriteIniValues(const QList<ProfileFile::Entry>& entries)
{
    ProfileFile ini(m_iniFileName);
    if (!ini.WriteStrings(section, entries))
        ReportSettingsProblem(QStringLiteral("Tallyhorn cannot save its settings in \"%1\": your "
                                             "last values will not be remembered.")
                                  .arg(m_iniFileName));
}

void TfrmMain::SaveIniValues()
{
    const TFormatSettings& settings = Regional::Current();
    WriteIniValues({{"Price", NumberFormats::GeneralText(LastPrice, settings)},
                    {"Interest", NumberFormats::GeneralText(LastInterest, settings)},
                    {"Term", NumberFormats::GeneralText(LastTerm, settings)},
                    {"DownPercent", NumberFormats::GeneralText(LastDownPercent, settings)},
                    {"AutoCalc", AutoCalcStatus}});
}

void TfrmMain::AppOnException(QObject* sender, const std::exception& e)
{
    Screen::SetCursor(TCursor::crDefault);
    if (dynamic_cast<const calc::EMathError*>(&e)) {
        ShowInformation("Results of this calculation cannot be determined\n\r"
                        "using the values you have entered.\n\r\n\r"
                        "Please try again with different values.");
        Reset(sender);
        LastPrice = edtPurchasePrice->Value();
        LastInterest = edtInterest->Value();
        LastTerm = edtTerm->Value();
        LastDownPercent = edtDownPaymentPercent->Value();
        SaveIniValues();
    } else {
        std::fprintf(stderr, "tallyhorn: %s\n", e.what());
        ShowInformation("An unidentified error has occurred.");
    }
}

void TfrmMain::ApplicationActivate()
{
    if (QWidget* active = QApplication::activeWindow())
        active->raise();
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    ++m_generation; // a running calculation stops at its next message pass
    m_buildRunning = false;
    Application::Guard(this, [this] { HelpViewer::Help(m_helpFile, hcQuit); });
    Application::Guard(this, [this] { SaveIniValues(); });
    if (Application* app = Application::instance())
        app->SetOnException({});
    event->accept();
}

void TfrmMain::btnExitClick()
{
    close();
}
