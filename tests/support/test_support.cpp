#include "support/test_support.h"

#include "components/program_dir.h"

#include <QDir>

namespace Plumbrook::Test {

TemporaryProgramDir::TemporaryProgramDir()
{
    ProgramDir::setOverride(mDir.path());
}

TemporaryProgramDir::~TemporaryProgramDir()
{
    ProgramDir::setOverride(QString());
}

QString testDataPath(const QString &relative)
{
    return QDir(QStringLiteral(PLUMBROOK_TEST_DATA)).filePath(relative);
}

} // namespace Plumbrook::Test
