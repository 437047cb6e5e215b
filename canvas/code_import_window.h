#pragma once

#include <QWidget>

#include <functional>

namespace Ui {
class CodeImportWindow;
}

namespace Plumbrook {

class MainWindow;

// Takes pasted or file-read module code and makes it the current design.
class CodeImportWindow : public QWidget
{
    Q_OBJECT

public:
    // Asks for the code file to read; an empty answer cancels. Tests put their own in.
    using Chooser = std::function<QString()>;

    explicit CodeImportWindow(MainWindow *main);
    ~CodeImportWindow() override;

    static void setChooser(Chooser chooser);
    QString code() const;
    void setCode(const QString &code);

public slots:
    // "从文件…": the file's text in UTF-8, GBK or GB18030 replaces the box's.
    bool readFile(const QString &path);
    void chooseFile();
    // "导入": the design the code was made from replaces the current one.
    bool importCode();

private:
    Ui::CodeImportWindow *ui;
    MainWindow *mMain;
};

} // namespace Plumbrook
