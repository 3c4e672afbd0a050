// The calculator window's update centre command.
#include "app/Main.h"

void TfrmMain::ShowUpdate() {}
