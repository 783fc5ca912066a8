#include "CellTable.h"

const std::array<TCellEntry, 9> Cells = {{
    {"左上", &TMainForm1::Shape1, &TMainForm1::Image1, &TMainForm1::Label1},
    {"上", &TMainForm1::Shape2, &TMainForm1::Image2, &TMainForm1::Label2},
    {"右上", &TMainForm1::Shape3, &TMainForm1::Image3, &TMainForm1::Label3},
    {"左", &TMainForm1::Shape4, &TMainForm1::Image4, &TMainForm1::Label4},
    {"中央", &TMainForm1::Shape5, &TMainForm1::Image5, &TMainForm1::Label5},
    {"右", &TMainForm1::Shape6, &TMainForm1::Image6, &TMainForm1::Label6},
    {"左下", &TMainForm1::Shape7, &TMainForm1::Image7, &TMainForm1::Label7},
    {"下", &TMainForm1::Shape8, &TMainForm1::Image8, &TMainForm1::Label8},
    {"右下", &TMainForm1::Shape9, &TMainForm1::Image9, &TMainForm1::Label9},
}};
