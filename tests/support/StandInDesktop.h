#pragma once

#include <QString>
#include <QTemporaryDir>
#include <string>
#include <utility>
#include <vector>

// Environment variables set for a test and put back as they were when it goes.
class ScopedEnvironment {
public:
    ScopedEnvironment() = default;
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    // An empty value unsets the variable.
    void Set(const std::string& name, const QString& value);

private:
    std::vector<std::pair<std::string, QString>> saved_; // a null value: was unset
};

// A desktop of the test's own in a temporary home: its XDG folders, no
// desktop environment named, a display for xdg-utils to see (they ask the
// desktop's handlers only where there is one), and stand-in programs that
// record the address they are started with.
class StandInDesktop {
public:
    StandInDesktop();

    QString Path(const QString& relative) const { return home_.filePath(relative); }
    // Writes a file, making nothing of its folders.
    static void Write(const QString& path, const QString& text);
    // Makes the recorder the default handler of addresses of this scheme.
    void RegisterHandler(const QString& scheme);
    // Where the handler of a scheme writes the address it was given.
    QString Recorded(const QString& scheme) const { return Path(scheme + QStringLiteral(".txt")); }
    // The recorded address, once the handler has written it; empty after a
    // generous wait.
    QString WaitForAddress(const QString& scheme) const;
    // A shell script in the home's bin folder, to put on the PATH.
    QString Script(const QString& name, const QString& body);
    ScopedEnvironment& Environment() { return environment_; }

private:
    QTemporaryDir home_;
    ScopedEnvironment environment_;
};
