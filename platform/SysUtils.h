#pragma once

#include "AnsiString.h"

#include <string>

// The extension of a native path, "." included: the text from the last "."
// of its file name to the end, or "" when the file name has no ".". A "." in
// a folder name does not count. Multi-byte characters are never split: in
// UTF-8 no byte of one equals "." or "/".
std::string ExtractFileExt(const std::string& path);

// Compares two texts ignoring the case of Latin letters; 0 when they match.
int AnsiCompareText(const std::string& a, const std::string& b);

// True when a file, not a folder, exists at the native path.
bool FileExists(const std::string& path);

// Removes a file; false when it could not be removed.
bool DeleteFileA(const std::string& path);

// The desktop's default beep.
void MessageBeep(unsigned type);
// How many beeps have sounded since the program started, for tests.
int MessageBeepCount();
