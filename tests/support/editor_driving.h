#pragma once

#include <QByteArray>
#include <QColor>
#include <QPoint>
#include <QSize>
#include <QStringList>

#include "support/test_support.h"

#include <functional>
#include <memory>
#include <optional>

class QComboBox;
class QLineEdit;
class QWidget;

namespace Plumbrook {
class MainWindow;
}

namespace Plumbrook::Test {

// "列名=值" pairs naming a row's cells.
using Cells = QStringList;
// Steps as a user takes them: "编辑框1:text" types into a box of the editor,
// "组合框1#2" chooses entry 2 of a list with the keyboard, "@编辑框_宽:text" types
// into a box of the main window.
using Steps = QStringList;

void typeInto(QLineEdit *edit, const QString &text);
void choose(QComboBox *combo, int index);
void runSteps(QWidget *editor, const Steps &steps, QWidget *mainWindow = nullptr);
void pressButton(QWidget *window, const QString &name);

// A component made by the palette's own creation, then given the cells.
int addComponent(MainWindow *main, const QString &kind, const Cells &cells = {});
QWidget *openEditor(MainWindow *main, int row);

// A PNG of one colour.
QByteArray png(const QColor &colour, const QSize &size);
QByteArray png(const QColor &colour, int size = 6);

// How a fixture wants each of its designer windows made.
struct DesignerOptions
{
    // Runs on every new window before it is shown, given the program folder.
    std::function<void(MainWindow *window, const QString &programDir)> beforeShow;
    // Where the window is put; none leaves it where it places itself.
    std::optional<QPoint> position = QPoint(40, 30);
};

// A shown designer window in a temporary program directory. Going away, it closes
// the editors and waits for their preview downloads and background workers before the window.
class DesignerWindow
{
public:
    explicit DesignerWindow(DesignerOptions options = {});
    ~DesignerWindow();
    MainWindow *window() const { return mWindow.get(); }
    QString dirPath() const { return mDir.path(); }

    // The window closed and a new one made in the same folder, as the program's next run.
    MainWindow *reopen();
    // Closes the window early; whether the work it and its editors started had ended.
    bool closeWindow();

private:
    void makeWindow();

    DesignerOptions mOptions;
    TemporaryProgramDir mDir;
    std::unique_ptr<MainWindow> mWindow;
};

} // namespace Plumbrook::Test
