#pragma once

#include <string>
#include <vector>

// Puts bytes into the file at a path so that afterwards the file either holds
// all of them or still holds what it held before: they are written to a new
// file beside it, which then takes the old one's place, keeping its
// permissions; a symbolic link is followed to its target. Where the folder
// does not allow a new file, or the file has other hard links, the file is
// rewritten in place instead (the bytes are all at hand by then).
//
// A file that cannot be created or replaced (a missing or write-protected
// folder, a folder or a write-protected file of that name, an invalid name)
// raises EFCreateError; bytes that do not all reach the disk (a full disk, a
// quota) raise EWriteError; either names the path as given, and leaves no
// partial file where there was none.
void ReplaceFileContents(const std::string& path, const std::vector<unsigned char>& bytes);

// Write permission as the user expects it: a file or folder whose mode grants
// nobody write access counts as write-protected, even for the superuser.
bool PathWritable(const std::string& path);

// A seam for tests: makes the next file replacement fail at one step.
enum class FileFault { None, Create, Write, Rename, Close };
void ArmFileFault(FileFault step);
