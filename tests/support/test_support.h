#pragma once

#include <QString>
#include <QTemporaryDir>

namespace Plumbrook {
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
    QTemporaryDir mDir;
};

QString testDataPath(const QString &relative);

// Saves as "保存" does and waits for the write; whether the file was written.
bool saveAndWait(FileMenu *menu, const QString &path);

} // namespace Plumbrook::Test
