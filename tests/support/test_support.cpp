#include "support/test_support.h"

#include "canvas/file_menu.h"
#include "components/program_dir.h"

#include <QDir>
#include <QSignalSpy>

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

bool saveAndWait(FileMenu *menu, const QString &path)
{
    QSignalSpy written(menu, &FileMenu::designWritten);
    menu->saveTo(path);
    menu->finishWrites();
    return written.size() == 1 && written.at(0).at(0).toString() == path && written.at(0).at(1).toBool();
}

} // namespace Plumbrook::Test
