#pragma once

#include "MainWindow1.h"

#include <array>

// One cell of the board: its position key and its three controls.
struct TCellEntry {
    const char* Key;
    TShape* TMainForm1::*Shape;
    TImage* TMainForm1::*Image;
    TShadowLabel* TMainForm1::*Label;
};

// The nine cells, numbered 1 to 9 row by row from the top left.
extern const std::array<TCellEntry, 9> Cells;
