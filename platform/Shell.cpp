#include "ShellApi.h"

#include "Cp932.h"

#include <QProcess>
#include <QString>
#include <strings.h>
#include <unistd.h>
#include <vector>

long ShellExecuteA(HWND, const char* operation, const char* file, const char*, const char*, int)
{
    if (!operation || ::strcasecmp(operation, "OPEN") != 0 || !file)
        return 0;
    // An argument vector, never a shell: the address may hold "&" and spaces.
    const QString address = QString::fromStdString(Cp932ToUtf8(file));
    const bool started = QProcess::startDetached(QStringLiteral("xdg-open"), {address});
    return started ? 42 : 2;
}

AnsiString GetModuleFileNameA()
{
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return AnsiString();
        if (static_cast<size_t>(n) < buffer.size())
            return Utf8ToCp932(std::string_view(buffer.data(), static_cast<size_t>(n)));
        buffer.resize(buffer.size() * 2);
    }
}
