#pragma once

#include <cerrno>
#include <unistd.h>

// An open file descriptor, closed on every way out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and tells whether everything written has reached the file.
    bool SyncAndClose()
    {
        const int fd = fd_;
        fd_ = -1;
        const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
        return ::close(fd) == 0 && synced;
    }

private:
    int fd_;
};
