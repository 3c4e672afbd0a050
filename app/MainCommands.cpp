// The calculator window's help commands and its about and disclaimer boxes.
#include "app/About.h"
#include "app/Disclaim.h"
#include "app/Main.h"
#include "app/ModalDialog.h"
#include "platform/HelpViewer.h"
#include "platform/LoopGuard.h"

// The modal commands refuse to start again while their own dialog runs: its message loop can
// still deliver the command (an accelerator, a posted click) to this window.
void TfrmMain::btnAboutClick()
{
    const TReentryGuard entry(this, m_modalBusy[ModalAbout]);
    if (entry.Entered())
        ShowModalDialog(this, std::make_unique<TAboutBox>());
}

void TfrmMain::btnDisclaimClick()
{
    const TReentryGuard entry(this, m_modalBusy[ModalDisclaimer]);
    if (entry.Entered())
        ShowModalDialog(this, std::make_unique<TfrmDisclaim>());
}

void TfrmMain::mnuHelpContentsClick()
{
    HelpViewer::Help(m_helpFile, hcContents);
}

void TfrmMain::mnuHelpSearchClick()
{
    HelpViewer::Help(m_helpFile, hcPartialKey);
}

void TfrmMain::mnuHelpHowClick()
{
    HelpViewer::Help(m_helpFile, hcHelpOnHelp);
}

void TfrmMain::HelpContext(int context)
{
    HelpViewer::Help(m_helpFile, hcContext, context);
}
