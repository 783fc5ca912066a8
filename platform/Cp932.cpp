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

std::string Convert(std::string_view in, const char* from, const char* to)
{
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
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // An unmappable or broken sequence: mark it and go on with the rest.
            out.push_back('?');
            const size_t skip = (errno == EILSEQ && srcLeft > 1 && from[0] == 'C' &&
                                 IsCp932LeadByte(static_cast<unsigned char>(*src)))
                                    ? 2
                                    : 1;
            if (from[0] == 'U') {
                // Skip one whole UTF-8 character.
                size_t n = 1;
                while (n < srcLeft && (static_cast<unsigned char>(src[n]) & 0xC0) == 0x80)
                    ++n;
                src += n;
                srcLeft -= n;
            } else {
                src += skip;
                srcLeft -= skip;
            }
            iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

} // namespace

std::string Cp932ToUtf8(std::string_view cp932)
{
    return Convert(cp932, "CP932", "UTF-8");
}

AnsiString Utf8ToCp932(std::string_view utf8)
{
    return Convert(utf8, "UTF-8", "CP932");
}

bool IsCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
