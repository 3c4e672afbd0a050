// The calculator window's help commands and its about and disclaimer boxes.
#include "app/About.h"
#include "app/Disclaim.h"
#include "app/Main.h"
#include "app/ModalDialog.h"
#include "platform/HelpViewer.h"

void TfrmMain::btnAboutClick()
{
    ShowModalDialog(this, std::make_unique<TAboutBox>());
}

void TfrmMain::btnDisclaimClick()
{
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
