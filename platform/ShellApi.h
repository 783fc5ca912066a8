#pragma once

#include "AnsiString.h"
#include "Types.h"

// Files dropped from the desktop. A window registered with DragAcceptFiles
// receives a WM_DROPFILES message through its Dispatch once a drop of local
// files onto it has ended; WParam is the drop's handle, which the receiver
// releases with DragFinish. Paths are the bytes the system gave, whole.
void DragAcceptFiles(HWND window, BOOL accept);
// With index 0xFFFFFFFF: the number of files. With a null buffer: the length
// of file index's path without its terminating zero. Otherwise copies the path
// into the buffer, cut to size - 1 bytes and terminated, and returns the
// number of bytes copied.
UINT DragQueryFileA(HDROP drop, UINT index, char* buffer, UINT size);
void DragFinish(HDROP drop);

inline constexpr int SW_SHOW = 5;
