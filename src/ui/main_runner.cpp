#include "main_window.h"

void TfrmMain::btnStartClick() {}
