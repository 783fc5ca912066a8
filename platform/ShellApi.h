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

// Opens a document or address with the desktop's default program, detached
// ("OPEN" is the only operation). The address is text of the system's code
// page. Returns a value above 32 when the program could be started.
long ShellExecuteA(HWND owner, const char* operation, const char* file, const char* parameters,
                   const char* directory, int showCommand);

// The full path of the running program's file, in the system's code page.
AnsiString GetModuleFileNameA();
