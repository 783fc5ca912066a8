#pragma once

#include "AnsiString.h"

#include <exception>
#include <string>

// The platform's exception classes. A message is kept as Unicode (UTF-8) so
// that a path the system could not spell in code page 932 is still shown as the
// file manager shows it; messages the system itself composes arrive as CP932.
class Exception : public std::exception {
public:
    explicit Exception(const AnsiString& message);
    ~Exception() override;

    // The message in the system's code page (characters it lacks become "?").
    AnsiString Message() const;
    // The message as the user reads it.
    const std::string& MessageUtf8() const { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }

protected:
    struct Utf8 {
        std::string text;
    };
    explicit Exception(Utf8 message);

private:
    std::string message_;
};

// A stream could not deliver the bytes its reader asked for.
class EReadError : public Exception {
public:
    EReadError();
};

// A file could not be opened for reading; the path is named as given.
class EFOpenError : public Exception {
public:
    explicit EFOpenError(const std::string& path);
};

// A file could not be created or replaced; the path is named as given.
class EFCreateError : public Exception {
public:
    explicit EFCreateError(const std::string& path);
};

// Bytes written to a file did not all reach it (full disk, quota, I/O error).
class EWriteError : public Exception {
public:
    explicit EWriteError(const std::string& path);
};

// A bitmap file whose content the bitmap reader does not accept.
class EInvalidGraphic : public Exception {
public:
    EInvalidGraphic();
};

// A file name whose extension names no picture kind the loader knows.
class EInvalidGraphicFormat : public Exception {
public:
    explicit EInvalidGraphicFormat(const std::string& extension);
};

// A picture too large for a cell to accept, judged from its header.
class EPictureTooLarge : public Exception {
public:
    EPictureTooLarge(long long width, long long height);
};

// A file larger than the largest picture file a cell accepts.
class EFileTooLarge : public Exception {
public:
    explicit EFileTooLarge(const std::string& path);
};

// A fatal error of the JPEG library, carrying the library's message code.
class EJPEG : public Exception {
public:
    explicit EJPEG(int messageCode);
    int MessageCode() const { return code_; }

private:
    int code_;
};

// Memory for a picture could not be had.
class EOutOfMemory : public Exception {
public:
    EOutOfMemory();
};
