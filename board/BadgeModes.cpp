// The five badge modes: white or black digits, white or black letters, or no
// badges. The mode has no field of its own; it is the check marks of the five
// items together with the badges' captions, colour and visibility.
#include "CellTable.h"
#include "Graphics.h"
#include "MainWindow1.h"
#include "Menus.h"
#include "ShadowLabel.h"

#include <array>

namespace {

const std::array<const char*, 9> kDigits = {"①", "②", "③", "④", "⑤", "⑥", "⑦", "⑧", "⑨"};
const std::array<const char*, 9> kLetters = {"Ａ", "Ｂ", "Ｃ", "Ｄ", "Ｅ", "Ｆ", "Ｇ", "Ｈ", "Ｉ"};

// Marks the chosen item, clears the other four in menu order, then gives
// every badge its caption, shows it and sets its colour.
void ShowBadges(TMainForm1& form, TMenuItem* chosen, const std::array<const char*, 9>& captions,
                TColor colour)
{
    chosen->SetChecked(true);
    for (TMenuItem* item : {form.N6, form.N7, form.N10, form.N11, form.N8}) {
        if (item != chosen)
            item->SetChecked(false);
    }
    for (size_t n = 0; n < Cells.size(); ++n) {
        TShadowLabel* badge = form.*Cells[n].Label;
        badge->SetCaption(captions[n]);
        badge->SetVisible(true);
        badge->Font()->SetColor(colour);
    }
}

} // namespace

void TMainForm1::N6Click(TObject*)
{
    ShowBadges(*this, N6, kDigits, clWhite);
}
void TMainForm1::N7Click(TObject*)
{
    ShowBadges(*this, N7, kDigits, clBlack);
}
void TMainForm1::N10Click(TObject*)
{
    ShowBadges(*this, N10, kLetters, clWhite);
}
void TMainForm1::N11Click(TObject*)
{
    ShowBadges(*this, N11, kLetters, clBlack);
}

void TMainForm1::N8Click(TObject*)
{
    N8->SetChecked(true);
    for (TMenuItem* item : {N6, N7, N10, N11})
        item->SetChecked(false);
    for (const TCellEntry& cell : Cells)
        (this->*cell.Label)->SetVisible(false);
}
