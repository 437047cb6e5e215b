#include "support/test_support.h"

#include "canvas/file_menu.h"
#include "codegen/module_generator.h"
#include "model/program_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>

#ifndef Q_OS_WIN
#include <csignal>
#include <sys/resource.h>
#endif

namespace Plumbrook::Test {

TemporaryProgramDir::TemporaryProgramDir()
    : mPrevious(ProgramDir::currentOverride())
{
    ProgramDir::setOverride(mDir.path());
}

TemporaryProgramDir::~TemporaryProgramDir()
{
    // A folder set before this one, by a fixture around it, is the program's again.
    if (mPrevious)
        ProgramDir::setOverride(mPrevious->writable, mPrevious->bundled);
    else
        ProgramDir::setOverride(QString());
}

QString testDataPath(const QString &relative)
{
    return QDir(QStringLiteral(PLUMBROOK_TEST_DATA)).filePath(relative);
}

void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QString generated(const ComponentTable &table, const QString &shrink)
{
    GenerationSources sources;
    sources.randomDigit = [] { return 4; };
    return ModuleGenerator(table, sources).generate(shrink);
}

bool saveAndWait(FileMenu *menu, const QString &path)
{
    QSignalSpy written(menu, &FileMenu::designWritten);
    menu->saveTo(path);
    menu->finishWrites();
    return written.size() == 1 && written.at(0).at(0).toString() == path && written.at(0).at(1).toBool();
}

ProgramRun runModulegen(const QStringList &arguments, int msecs)
{
    QProcess process;
    process.start(QStringLiteral(PLUMBROOK_BIN_DIR "/modulegen"), arguments);
    if (!process.waitForFinished(msecs))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

#ifndef Q_OS_WIN
void withFileSizeLimit(qint64 bytes, const std::function<void()> &work)
{
    // A write past the limit fails instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = rlim_t(bytes);
    setrlimit(RLIMIT_FSIZE, &limit);
    work();
    setrlimit(RLIMIT_FSIZE, &saved);
}
#endif

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

} // namespace Plumbrook::Test
