// The Mail command: the board as the attachment of a new message.
#include "MainWindow1.h"

void TMainForm1::M1Click(TObject*) {}
