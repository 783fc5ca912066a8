#pragma once

#include <cstdint>

// Plain value types the platform hands to the system: colours, rectangles,
// handles, messages and shortcut values.

// A colour as 0x00BBGGRR.
using TColor = std::uint32_t;
inline constexpr TColor clWhite = 0x00FFFFFF;
inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clSilver = 0x00C0C0C0;
inline constexpr TColor clWindowText = 0x80000008; // a system colour: black here

inline constexpr int GetRValue(TColor c)
{
    return static_cast<int>(c & 0xFF);
}
inline constexpr int GetGValue(TColor c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
inline constexpr int GetBValue(TColor c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}
inline constexpr TColor RGB(int r, int g, int b)
{
    return static_cast<TColor>(r & 0xFF) | (static_cast<TColor>(g & 0xFF) << 8) |
           (static_cast<TColor>(b & 0xFF) << 16);
}

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
};

inline TRect Rect(int left, int top, int right, int bottom)
{
    return TRect{left, top, right, bottom};
}

using UINT = unsigned int;
using BOOL = int;
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// Opaque handles: a window of the platform and a drop of files.
struct HWND__;
using HWND = HWND__*;
struct HDROP__;
using HDROP = HDROP__*;

struct TMessage {
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    LRESULT Result = 0;
};

inline constexpr UINT WM_DROPFILES = 0x233;

// Keyboard state that accompanies a mouse event.
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };
using TShiftState = unsigned;

// A menu shortcut as a 16-bit value: the low byte is the virtual-key code,
// 0x2000 adds Shift, 0x4000 Ctrl, 0x8000 Alt.
using TShortCut = std::uint16_t;
inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
