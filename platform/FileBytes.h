#pragma once

#include <string>
#include <vector>

// Reads a whole regular file. A file that cannot be opened, or is not a
// regular file (a folder, a pipe, a device), raises EFOpenError naming the
// path; one larger than the largest picture file a cell accepts raises
// EFileTooLarge; one that shrinks while it is read raises EReadError.
std::vector<unsigned char> ReadFileBytes(const std::string& path);
