// The calculator window's preview hook and printer setup.
#include "app/Main.h"

void TfrmMain::mnuFilePrintSetupClick() {}
