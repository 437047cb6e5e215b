#pragma once

#include <QByteArray>
#include <QStringList>

class QTemporaryDir;

namespace Plumbrook {
class FileMenu;
class MainWindow;
}

namespace Plumbrook::Test {

class TemporaryProgramDir;

// The bytes of a file; empty when it cannot be read.
QByteArray contents(const QString &path);
// Every preview of the file tests comes from here: a picture whose size tells the URL's length.
QByteArray fakeFetch(const QString &url);

// A shown designer window whose file dialog answers from a list, with folders of its own
// for the program, its per-user files and the user's design files.
class FileMenuFixture
{
protected:
    void open();
    void close();
    MainWindow *newWindow(bool centred = true);
    // One component of every kind, half of them selected and moved, some cells edited.
    void buildDesign();

    TemporaryProgramDir *mProgramDir = nullptr;
    QTemporaryDir *mData = nullptr;
    QTemporaryDir *mFiles = nullptr;
    MainWindow *mWindow = nullptr;
    FileMenu *mMenu = nullptr;
    QStringList mChosen;   // answers of the file dialog, first first
};

} // namespace Plumbrook::Test
