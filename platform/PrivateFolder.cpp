#include "PrivateFolder.h"

#include "Exceptions.h"
#include "FileReplace.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string& TestParent()
{
    static std::string parent;
    return parent;
}

std::string Parent()
{
    if (!TestParent().empty())
        return TestParent();
    for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
        const char* value = std::getenv(name);
        struct stat st {};
        if (value && *value == '/' && ::stat(value, &st) == 0 && S_ISDIR(st.st_mode))
            return value;
    }
    return "/tmp";
}

} // namespace

TPrivateFolder::TPrivateFolder()
{
    const std::string parent = Parent();
    std::string pattern = parent + "/mosaica-XXXXXX";
    if (!PathWritable(parent))
        throw EFCreateError(pattern);
    // mkdtemp makes the folder with mode 0700 under a name nobody else can
    // have taken.
    if (!::mkdtemp(pattern.data()))
        throw EFCreateError(pattern);
    path_ = pattern + "/";
}

TPrivateFolder::~TPrivateFolder()
{
    ::rmdir(path_.c_str());
}

void TPrivateFolder::SetParentForTests(const std::string& parent)
{
    TestParent() = parent;
}
