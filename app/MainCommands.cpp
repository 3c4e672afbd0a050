// The calculator window's help commands and its about and disclaimer boxes.
#include "app/Main.h"

void TfrmMain::btnAboutClick() {}
void TfrmMain::btnDisclaimClick() {}
void TfrmMain::mnuHelpContentsClick() {}
void TfrmMain::mnuHelpSearchClick() {}
void TfrmMain::mnuHelpHowClick() {}
