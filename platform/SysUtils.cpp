#include "SysUtils.h"

#include <QApplication>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

std::string ExtractFileExt(const std::string& path)
{
    const auto at = path.find_last_of("./");
    if (at == std::string::npos || path[at] != '.')
        return std::string();
    return path.substr(at);
}

int AnsiCompareText(const std::string& a, const std::string& b)
{
    const int c = ::strcasecmp(a.c_str(), b.c_str());
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DeleteFileA(const std::string& path)
{
    return ::unlink(path.c_str()) == 0;
}

namespace {
int beeps = 0;
} // namespace

void MessageBeep(unsigned)
{
    ++beeps;
    QApplication::beep();
}

int MessageBeepCount()
{
    return beeps;
}
