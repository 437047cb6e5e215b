#pragma once

#include <QString>
#include <QTemporaryDir>

namespace Plumbrook::Test {

// Points the program's directory at a fresh temporary folder for one test.
class TemporaryProgramDir
{
public:
    TemporaryProgramDir();
    ~TemporaryProgramDir();
    QString path() const { return mDir.path(); }

private:
    QTemporaryDir mDir;
};

QString testDataPath(const QString &relative);

} // namespace Plumbrook::Test
