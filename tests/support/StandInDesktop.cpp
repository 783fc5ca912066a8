#include "StandInDesktop.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cstdlib>
#include <gtest/gtest.h>

ScopedEnvironment::~ScopedEnvironment()
{
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
        if (it->second.isNull())
            unsetenv(it->first.c_str());
        else
            setenv(it->first.c_str(), it->second.toUtf8().constData(), 1);
    }
}

void ScopedEnvironment::Set(const std::string& name, const QString& value)
{
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? QString::fromUtf8(old) : QString());
    if (value.isEmpty())
        unsetenv(name.c_str());
    else
        setenv(name.c_str(), value.toUtf8().constData(), 1);
}

StandInDesktop::StandInDesktop()
{
    EXPECT_TRUE(home_.isValid());
    QDir root(home_.path());
    for (const char* folder : {"config", "data/applications", "cache", "bin"})
        root.mkpath(QString::fromLatin1(folder));
    environment_.Set("XDG_CONFIG_HOME", Path("config"));
    environment_.Set("XDG_DATA_HOME", Path("data"));
    environment_.Set("XDG_DATA_DIRS", Path("data"));
    environment_.Set("XDG_CACHE_HOME", Path("cache"));
    for (const char* name : {"XDG_CURRENT_DESKTOP", "DE", "MAILER", "BROWSER"})
        environment_.Set(name, QString());
    environment_.Set("DISPLAY", QStringLiteral(":99"));
}

void StandInDesktop::Write(const QString& path, const QString& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
}

QString StandInDesktop::Script(const QString& name, const QString& body)
{
    const QString path = Path(QStringLiteral("bin/") + name);
    Write(path, QStringLiteral("#!/bin/sh\n") + body + QLatin1Char('\n'));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

void StandInDesktop::RegisterHandler(const QString& scheme)
{
    const QString recorder =
        Script(scheme + QStringLiteral("-handler.sh"), "printf '%s' \"$1\" > '" + Recorded(scheme) + "'");
    const QString entry = scheme + QStringLiteral("-handler.desktop");
    // The desktop finds a handler by its entry alone, even without a default
    // named for the scheme.
    Write(Path("data/applications/") + entry,
          "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" + recorder +
              " %u\nMimeType=x-scheme-handler/" + scheme + ";\n");
    Write(Path("config/mimeapps.list"),
          "[Default Applications]\nx-scheme-handler/" + scheme + "=" + entry + "\n");
}

QString StandInDesktop::WaitForAddress(const QString& scheme) const
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000) {
        QFile f(Recorded(scheme));
        if (f.exists() && f.open(QIODevice::ReadOnly)) {
            const QByteArray text = f.readAll();
            if (!text.isEmpty())
                return QString::fromUtf8(text);
        }
        QThread::msleep(50);
    }
    return QString();
}
