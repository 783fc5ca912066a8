// The Save command: the board as a JPEG file where the user chooses.
#include "MainWindow1.h"

void TMainForm1::Save1Click(TObject*) {}
