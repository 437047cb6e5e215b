#pragma once

#include <QByteArray>
#include <QStringList>

#include <memory>

class QTemporaryDir;

namespace Plumbrook {
class FileMenu;
class MainWindow;
}

namespace Plumbrook::Test {

class DesignerWindow;

// The bytes of a file; empty when it cannot be read.
QByteArray contents(const QString &path);
// Every preview of the file tests comes from here: a picture whose size tells the URL's length.
QByteArray fakeFetch(const QString &url);

// A shown designer window whose file dialog answers from a list, with folders of its own
// for the program, its per-user files and the user's design files.
class FileMenuFixture
{
public:
    FileMenuFixture();
    ~FileMenuFixture();

protected:
    void open();
    void close();
    // The window closed and made again on the same folders, as the program's next run.
    MainWindow *reopen(bool centred = true);
    // One component of every kind, half of them selected and moved, some cells edited.
    void buildDesign();

    std::unique_ptr<DesignerWindow> mDesigner;
    QTemporaryDir *mData = nullptr;
    QTemporaryDir *mFiles = nullptr;
    MainWindow *mWindow = nullptr;
    FileMenu *mMenu = nullptr;
    QStringList mChosen;   // answers of the file dialog, first first
    // Answers to the menu's questions by button index, first first; the second button
    // ("不保存", "取消") when none is left. The questions asked and the last one's buttons.
    QList<int> mAnswers;
    QStringList mAsked;
    QStringList mAskedButtons;

private:
    void centre();
};

} // namespace Plumbrook::Test
