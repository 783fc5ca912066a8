#include "Cp932.h"

#include <cerrno>
#include <iconv.h>
#include <memory>
#include <stdexcept>

namespace {

struct IconvCloser {
    void operator()(iconv_t cd) const { iconv_close(cd); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

// Length of the character that starts at p, in the source encoding, so that
// an unmappable character is skipped whole.
size_t CharacterLength(const char* p, size_t left, bool fromCp932)
{
    if (fromCp932)
        return IsCp932LeadByte(static_cast<unsigned char>(*p)) && left > 1 ? 2 : 1;
    size_t n = 1;
    while (n < left && (static_cast<unsigned char>(p[n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

std::string Convert(std::string_view in, bool fromCp932)
{
    const char* from = fromCp932 ? "CP932" : "UTF-8";
    const char* to = fromCp932 ? "UTF-8" : "CP932";
    IconvHandle cd(iconv_open(to, from));
    if (cd.get() == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    std::string out;
    char buffer[256];
    // iconv takes a non-const input pointer though it never writes through it.
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        const size_t rc = iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // An unmappable or broken character: marked, and the rest goes on.
            out.push_back('?');
            const size_t skip = CharacterLength(src, srcLeft, fromCp932);
            src += skip;
            srcLeft -= skip;
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

} // namespace

std::string Cp932ToUtf8(std::string_view cp932)
{
    return Convert(cp932, true);
}

AnsiString Utf8ToCp932(std::string_view utf8)
{
    return Convert(utf8, false);
}

bool IsCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
