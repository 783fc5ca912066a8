#include "FileReplace.h"

#include "Exceptions.h"
#include "FileDescriptor.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

FileFault armed = FileFault::None;

// True once for the step a test armed.
bool Faulted(FileFault step)
{
    if (armed != step)
        return false;
    armed = FileFault::None;
    return true;
}

// Closes the file, as the fault seam allows.
bool Closed(FileDescriptor& file)
{
    const bool closed = file.SyncAndClose();
    return !Faulted(FileFault::Close) && closed;
}

// Removes a new file again unless it was put in place.
class NewFile {
public:
    explicit NewFile(std::string path) : path_(std::move(path)) {}
    ~NewFile()
    {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;
    const std::string& path() const { return path_; }
    void Keep() { path_.clear(); }

private:
    std::string path_;
};

bool WriteAll(int fd, const std::vector<unsigned char>& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        if (Faulted(FileFault::Write)) {
            errno = ENOSPC;
            return false;
        }
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows symbolic links to the file they name, which may not exist yet.
std::string Target(const std::string& path)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n <= 0)
            return current;
        link.resize(static_cast<size_t>(n));
        current = link.front() == '/' ? link : FolderOf(current) + "/" + link;
    }
    return current;
}

bool Writable(const std::string& path, const struct stat& st)
{
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(path.c_str(), W_OK) == 0;
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

void ArmFileFault(FileFault step)
{
    armed = step;
}

bool PathWritable(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && Writable(path, st);
}

void ReplaceFileContents(const std::string& path, const std::vector<unsigned char>& bytes)
{
    const std::string target = Target(path);
    const std::string folder = FolderOf(target);
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    if (existed && (!S_ISREG(old.st_mode) || !Writable(target, old)))
        throw EFCreateError(path);
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0 || !S_ISDIR(dir.st_mode))
        throw EFCreateError(path);
    const bool folderWritable = Writable(folder, dir);
    if (!existed && !folderWritable)
        throw EFCreateError(path);

    if (folderWritable && !(existed && old.st_nlink > 1)) {
        // Beside the target, then renamed over it in one step.
        const auto slash = target.find_last_of('/');
        std::string pattern =
            folder + "/." + target.substr(slash == std::string::npos ? 0 : slash + 1) + ".XXXXXX";
        const int fd = Faulted(FileFault::Create) ? -1 : ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd < 0)
            throw EFCreateError(path);
        FileDescriptor file(fd);
        NewFile fresh(pattern);
        ::fchmod(fd, existed ? (old.st_mode & 07777) : NewFileMode());
        // Another owner cannot be kept by an ordinary user; the file is then
        // theirs, as with any program that saves this way.
        if (existed)
            (void)!::fchown(fd, old.st_uid, old.st_gid);
        if (!WriteAll(fd, bytes) || !Closed(file))
            throw EWriteError(path);
        if (Faulted(FileFault::Rename) || ::rename(fresh.path().c_str(), target.c_str()) != 0)
            throw EFCreateError(path);
        fresh.Keep();
        return;
    }

    // The folder takes no new file, or the file has other names: rewrite it
    // where it is.
    const int fd =
        Faulted(FileFault::Create) ? -1 : ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        throw EFCreateError(path);
    FileDescriptor file(fd);
    if (!WriteAll(fd, bytes) || !Closed(file))
        throw EWriteError(path);
}
