#pragma once

#include "Graphics.h"

#include <QFont>

// The Qt font for a font setting. Faces of the Windows desktop that this
// desktop lacks are mapped onto close substitutes once, at start-up.
QFont ToQFont(const TFont& font);
void RegisterFontSubstitutes();
