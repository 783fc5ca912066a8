// The five badge modes of the cells.
#include "MainWindow1.h"

void TMainForm1::N6Click(TObject*) {}
void TMainForm1::N7Click(TObject*) {}
void TMainForm1::N10Click(TObject*) {}
void TMainForm1::N11Click(TObject*) {}
void TMainForm1::N8Click(TObject*) {}
