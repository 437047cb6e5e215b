#pragma once

#include "model/program_dir.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <optional>

namespace Plumbrook {
class ComponentTable;
class FileMenu;
}

namespace Plumbrook::Test {

// Points the program's directory at a fresh temporary folder for one test.
class TemporaryProgramDir
{
public:
    TemporaryProgramDir();
    ~TemporaryProgramDir();
    QString path() const { return mDir.path(); }

private:
    std::optional<ProgramDir::Location> mPrevious;
    QTemporaryDir mDir;
};

QString testDataPath(const QString &relative);

// Lets posted work and deferred deletes run, as the event loop would between two user actions.
void settle();

// The module code of `table`, with fixed digits where the generator takes random ones.
QString generated(const ComponentTable &table, const QString &shrink = QStringLiteral("auto"));

// Saves as "保存" does and waits for the write; whether the file was written.
bool saveAndWait(FileMenu *menu, const QString &path);

// What a program run to its end left behind.
struct ProgramRun
{
    int exitCode = -1;   // also when it crashed or did not end in time
    QByteArray out;
    QByteArray err;
};
// Runs the command-line generator built beside the tests.
ProgramRun runModulegen(const QStringList &arguments, int msecs = 60000);

#ifndef Q_OS_WIN
// Runs `work` as on a full disk: no file may grow past `bytes` bytes meanwhile.
void withFileSizeLimit(qint64 bytes, const std::function<void()> &work);
#endif

// Writes `bytes` into a file of `dir`; the file's path.
QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes);

} // namespace Plumbrook::Test
