#include "canvas/code_import_window.h"

#include "canvas/file_menu.h"
#include "canvas/main_window.h"
#include "codegen/code_reader.h"
#include "components/window_drag.h"

#include "ui_code_import_window.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace Plumbrook {

namespace {

CodeImportWindow::Chooser &chooser()
{
    static CodeImportWindow::Chooser choose;
    return choose;
}

} // namespace

CodeImportWindow::CodeImportWindow(MainWindow *main)
    : QWidget(main, Qt::Window | Qt::FramelessWindowHint)
    , ui(new Ui::CodeImportWindow)
    , mMain(main)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(size());
    WindowDrag::install(this);
    ui->编辑框1->setTabStopDistance(ui->编辑框1->fontMetrics().horizontalAdvance(u' ') * 4);
    connect(ui->超级按钮1, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->超级按钮2, &QPushButton::clicked, this, &CodeImportWindow::importCode);
    connect(ui->超级按钮3, &QPushButton::clicked, this, &CodeImportWindow::chooseFile);
}

CodeImportWindow::~CodeImportWindow()
{
    delete ui;
}

void CodeImportWindow::setChooser(Chooser choose)
{
    chooser() = std::move(choose);
}

QString CodeImportWindow::code() const
{
    return ui->编辑框1->toPlainText();
}

void CodeImportWindow::setCode(const QString &code)
{
    ui->编辑框1->setPlainText(code);
}

void CodeImportWindow::chooseFile()
{
    const QString path = chooser()
        ? chooser()()
        : QFileDialog::getOpenFileName(this, QStringLiteral("从文件读入代码"), QString(),
                                       QStringLiteral("模块代码 (*.html *.htm *.txt);;所有文件 (*)"));
    if (!path.isEmpty())
        readFile(path);
}

bool CodeImportWindow::readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        mMain->showStatus(QStringLiteral("文件无法读取：") + file.errorString());
        return false;
    }
    const std::optional<QString> text = CodeReader::decode(file.readAll());
    if (!text) {
        mMain->showStatus(QStringLiteral("文件无法读取：不是 UTF-8、GBK 或 GB18030 编码的文本"));
        return false;
    }
    setCode(*text);
    mMain->showStatus(QStringLiteral("已读入：") + QFileInfo(path).fileName());
    return true;
}

bool CodeImportWindow::importCode()
{
    if (!mMain->fileMenu()->importCode(code()))
        return false;
    close();
    return true;
}

} // namespace Plumbrook
