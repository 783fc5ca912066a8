#pragma once

#include <string>

// Text in the system's ANSI code page (Windows code page 932), byte for byte.
// Conversion to and from Unicode happens only inside the platform layer.
using AnsiString = std::string;
