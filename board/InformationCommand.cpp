// The information page command.
#include "MainWindow1.h"

void TMainForm1::N4Click(TObject*) {}
