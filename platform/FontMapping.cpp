#include "FontMapping.h"

#include "Cp932.h"

#include <QStringList>
#include <algorithm>

QFont ToQFont(const TFont& font)
{
    QFont result(QString::fromStdString(Cp932ToUtf8(font.Name())));
    // A negative height is the em height; a positive one the cell height,
    // of which the em is close to seven eighths in Japanese Gothic faces.
    const int h = font.Height();
    result.setPixelSize(h < 0 ? -h : std::max(1, h * 7 / 8));
    result.setBold((font.Style() & fsBold) != 0);
    result.setItalic((font.Style() & fsItalic) != 0);
    result.setUnderline((font.Style() & fsUnderline) != 0);
    result.setStrikeOut((font.Style() & fsStrikeOut) != 0);
    return result;
}

void RegisterFontSubstitutes()
{
    // IPAPGothic is proportional like the Windows face and has the circled
    // digits and the full-width letters.
    QFont::insertSubstitutions(QString::fromUtf8("ＭＳ Ｐゴシック"), QStringList()
                                                                         << QString::fromUtf8("IPAPGothic")
                                                                         << QString::fromUtf8("IPAGothic"));
}
