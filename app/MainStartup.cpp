// The calculator window's start-up, settings file, error trap and close.
#include "app/Main.h"
#include "calc/Errors.h"
#include "controls/Aligrid.h"
#include "controls/ExplBtn.h"
#include "controls/FnpNumericEdit.h"
#include "controls/NumEdit.h"
#include "controls/NumberFormats.h"
#include "loan/StoredInputs.h"
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
    ReadIniValues();
    // What a save cut short by the end of the process left behind; a minute old at least, so
    // that a save in progress in another running copy is never touched.
    ProfileFile(m_iniFileName).RemoveLeftovers(60);
    edtPurchasePrice->SetValue(m_last.price);
    edtDownPaymentPercent->SetValue(m_last.downPercent);
    edtTerm->SetValue(m_last.term);
    edtInterest->SetValue(m_last.interest);

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
    m_trap.emplace([this](QObject* sender, const std::exception& e) { AppOnException(sender, e); });
    // A stored "ON" calculates now; its errors go to the trap like any handler's.
    Application::Guard(this, [this] { InitialAutoCalcStatus(); });

    if (m_autoCalc == AutoCalc::On) {
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
    m_last = TStoredInputs();
    m_autoCalc = AutoCalc::Off;
    m_keptAutoCalc.clear();
    ProfileFile ini(m_iniFileName);
    QString problem;
    const ProfileFile::Status status = ini.Check(&problem);
    if (status != ProfileFile::Status::Ok && status != ProfileFile::Status::Missing) {
        ReportSettingsProblem(problem + "\n\nTallyhorn starts with its defaults and cannot save "
                                        "your values.");
        return;
    }
    // A missing key is the default value, whatever the locale. A stored value that is not a
    // number makes the window start with its default inputs, and the user is told which text
    // was wrong.
    TStoredInputs::TNotANumber wrong;
    m_last = TStoredInputs::ReadValues(ini, &wrong);
    if (!wrong.key.isEmpty()) {
        if (Application* app = Application::instance())
            app->ShowDefaultException(wrong.message);
        return;
    }
    const QString autoCalc = ini.ReadString(TStoredInputs::Section, "AutoCalc", "OFF");
    if (autoCalc == "ON") {
        m_autoCalc = AutoCalc::On;
    } else if (autoCalc != "OFF") {
        m_autoCalc = AutoCalc::Kept;
        m_keptAutoCalc = autoCalc;
    }
}

QString TfrmMain::StoredAutoCalc() const
{
    switch (m_autoCalc) {
    case AutoCalc::On: return QStringLiteral("ON");
    case AutoCalc::Kept: return m_keptAutoCalc;
    case AutoCalc::Off: break;
    }
    return QStringLiteral("OFF");
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
    if (!ini.WriteStrings(TStoredInputs::Section, entries))
        ReportSettingsProblem(QStringLiteral("Tallyhorn cannot save its settings in \"%1\": your "
                                             "last values will not be remembered.")
                                  .arg(m_iniFileName));
}

void TfrmMain::SaveIniValues()
{
    QList<ProfileFile::Entry> entries = m_last.Entries(Regional::Current());
    entries.append({"AutoCalc", StoredAutoCalc()});
    WriteIniValues(entries);
}

void TfrmMain::AppOnException(QObject* sender, const std::exception& e)
{
    Screen::SetCursor(TCursor::crDefault);
    if (dynamic_cast<const calc::EMathError*>(&e)) {
        ShowInformation("Results of this calculation cannot be determined\n\r"
                        "using the values you have entered.\n\r\n\r"
                        "Please try again with different values.");
        Reset(sender);
        m_last = {edtPurchasePrice->Value(), edtInterest->Value(), edtTerm->Value(),
                  edtDownPaymentPercent->Value()};
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
    m_calc.Supersede(); // a running calculation stops at its next message pass
    Application::Guard(this, [this] { HelpViewer::Help(m_helpFile, hcQuit); });
    Application::Guard(this, [this] { SaveIniValues(); });
    m_trap.reset();
    event->accept();
}

void TfrmMain::btnExitClick()
{
    close();
}
