#include "FileBytes.h"

#include "Exceptions.h"
#include "FileDescriptor.h"
#include "PictureLimits.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::vector<unsigned char> ReadFileBytes(const std::string& path)
{
    // Non-blocking so that a pipe or device that merely has a picture's name
    // never hangs the window; it is refused below as not a regular file.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0)
        throw EFOpenError(path);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        throw EFOpenError(path);
    if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > kMaxPictureFileBytes)
        throw EFileTooLarge(path);
    std::vector<unsigned char> bytes(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw EReadError();
        done += static_cast<size_t>(n);
    }
    return bytes;
}
