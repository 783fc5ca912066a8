#include "MailProvider.h"

#include "Mapi.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QWidget>
#include <cstdlib>
#include <sys/stat.h>
#include <vector>

namespace {

// How long xdg-email may take before its compose window counts as shown.
constexpr int kHandOverSeconds = 4;

QString CacheFolder()
{
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && *cache == '/')
        return QFile::decodeName(cache);
    return QDir::homePath() + QStringLiteral("/.cache");
}

// The provider's own outbox: one private folder per hand-over, each holding
// the attachment under its own name, removed a day after.
QString NewOutboxEntry()
{
    const QString outbox = CacheFolder() + QStringLiteral("/mosaica/outbox");
    if (!QDir().mkpath(outbox))
        return QString();
    ::chmod(QFile::encodeName(outbox).constData(), 0700);
    const QDateTime dayAgo = QDateTime::currentDateTime().addDays(-1);
    for (const QFileInfo& entry : QDir(outbox).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (entry.lastModified() < dayAgo)
            QDir(entry.absoluteFilePath()).removeRecursively();
    }
    QByteArray pattern = QFile::encodeName(outbox + QStringLiteral("/XXXXXX"));
    if (!::mkdtemp(pattern.data()))
        return QString();
    return QFile::decodeName(pattern);
}

// Keeps the windows painting but deaf to input while the mail program
// starts, as under a modal dialog.
class InputBlock {
public:
    InputBlock()
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isEnabled()) {
                w->setEnabled(false);
                disabled_.emplace_back(w);
            }
        }
    }
    ~InputBlock()
    {
        for (const QPointer<QWidget>& w : disabled_) {
            if (w)
                w->setEnabled(true);
        }
    }
    InputBlock(const InputBlock&) = delete;
    InputBlock& operator=(const InputBlock&) = delete;

private:
    std::vector<QPointer<QWidget>> disabled_;
};

} // namespace

bool MailProviderPresent()
{
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-email")).isEmpty())
        return false;
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("x-scheme-handler/mailto")});
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished(1000);
        return false;
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
           !query.readAllStandardOutput().trimmed().isEmpty();
}

unsigned HandOverToMailProgram(const std::string& subjectUtf8, const std::string& attachmentPath)
{
    const QString source = QFile::decodeName(QByteArray::fromStdString(attachmentPath));
    const QString entry = NewOutboxEntry();
    if (entry.isEmpty())
        return MAPI_E_ATTACHMENT_OPEN_FAILURE;
    const QString copy = entry + QLatin1Char('/') + QFileInfo(source).fileName();
    if (!QFile::copy(source, copy)) {
        QDir(entry).removeRecursively();
        return MAPI_E_ATTACHMENT_OPEN_FAILURE;
    }

    auto* process = new QProcess();
    process->start(QStringLiteral("xdg-email"),
                   {QStringLiteral("--utf8"), QStringLiteral("--subject"),
                    QString::fromStdString(subjectUtf8), QStringLiteral("--attach"), copy});
    if (!process->waitForStarted(5000)) {
        delete process;
        QDir(entry).removeRecursively();
        return MAPI_E_FAILURE;
    }
    {
        const InputBlock block;
        QElapsedTimer clock;
        clock.start();
        while (process->state() != QProcess::NotRunning && clock.elapsed() < kHandOverSeconds * 1000) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            process->waitForFinished(20);
        }
    }
    if (process->state() != QProcess::NotRunning) {
        // Still running: the compose window is up. It goes on by itself.
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return SUCCESS_SUCCESS;
    }
    const bool ok = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
    delete process;
    if (!ok) {
        QDir(entry).removeRecursively();
        return MAPI_E_FAILURE;
    }
    return SUCCESS_SUCCESS;
}
