#pragma once

#include "AnsiString.h"

#include <string>
#include <string_view>

// Conversion between the system's code page 932 text and UTF-8, through the
// code page 932 tables (NEC rows included: "①" is 87 40). Characters that
// have no counterpart become "?" so that a message is never lost whole.
std::string Cp932ToUtf8(std::string_view cp932);
AnsiString Utf8ToCp932(std::string_view utf8);

// True when the byte starts a double-byte character of code page 932.
bool IsCp932LeadByte(unsigned char byte);
