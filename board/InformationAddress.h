#pragma once

#include "AnsiString.h"

// The host of the maker's information server. Until that server exists this
// is a reserved example name, so that no third party ever receives a
// user's request.
inline constexpr const char kInformationHost[] = "www.example.com";

// The information page's address for the program file at this path: the
// file name without folder and without its last extension, appended as it
// stands, nothing escaped.
AnsiString InformationAddress(const AnsiString& programPath);
