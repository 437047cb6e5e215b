#include "canvas/code_output_window.h"

#include "codegen/module_generator.h"
#include "codegen/preview_page.h"
#include "model/program_dir.h"
#include "components/window_drag.h"
#include "model/component_table.h"

#include "ui_code_output_window.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>
#include <QUrl>

namespace Plumbrook {

namespace {

CodeOutputWindow::UrlOpener &urlOpener()
{
    static CodeOutputWindow::UrlOpener opener = [](const QUrl &url) { QDesktopServices::openUrl(url); };
    return opener;
}

void putOnClipboard(const QString &text)
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

} // namespace

CodeOutputWindow::CodeOutputWindow(const ComponentTable *table, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , ui(new Ui::CodeOutputWindow)
    , mTable(table)
{
    ui->setupUi(this);
    WindowDrag::install(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(size());
    // The templates indent with tabs; narrow stops keep the markup readable.
    ui->编辑框1->setTabStopDistance(ui->编辑框1->fontMetrics().horizontalAdvance(u' ') * 4);
    connect(ui->超级按钮1, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->超级按钮2, &QPushButton::clicked, this, &CodeOutputWindow::generateAndCopy);
    connect(ui->超级按钮3, &QPushButton::clicked, this, &CodeOutputWindow::copy);
    connect(ui->超级按钮4, &QPushButton::clicked, this, &CodeOutputWindow::preview);
}

CodeOutputWindow::~CodeOutputWindow()
{
    delete ui;
}

void CodeOutputWindow::setUrlOpener(UrlOpener opener)
{
    urlOpener() = opener ? std::move(opener)
                         : UrlOpener([](const QUrl &url) { QDesktopServices::openUrl(url); });
}

QString CodeOutputWindow::previewFilePath()
{
    return ProgramDir::filePath(QStringLiteral("yl.html"));
}

void CodeOutputWindow::setShrinkField(const QString &text)
{
    ui->编辑框2->setText(text);
}

QString CodeOutputWindow::codeText() const
{
    // The box keeps lines, not line-break characters; the module code's
    // breaks are CR LF.
    QString text = ui->编辑框1->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

void CodeOutputWindow::generateAndCopy()
{
    ui->超级按钮2->setEnabled(false);
    const QString code = mTable ? ModuleGenerator(*mTable).generate(ui->编辑框2->text()) : QString();
    ui->超级按钮2->setEnabled(true);
    putOnClipboard(code);
    ui->编辑框1->setPlainText(code);
    // Told, not stopped: the code is on the clipboard whatever the checks find.
    runChecks();
}

void CodeOutputWindow::runChecks()
{
    if (!mTable)
        return;
    const QVector<DesignFinding> findings = mChecks ? mChecks() : DesignChecks::run(*mTable);
    ui->标签_检查->setText(DesignChecks::summary(DesignChecks::count(findings)));
}

QString CodeOutputWindow::checkSummary() const
{
    return ui->标签_检查->text();
}

void CodeOutputWindow::copy()
{
    putOnClipboard(codeText());
}

void CodeOutputWindow::preview()
{
    const QString path = previewFilePath();
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(PreviewPage::bytes(codeText(), mTable ? PreviewPage::layoutOf(*mTable) : PreviewPage::Layout()));
    file.close();
    urlOpener()(QUrl::fromLocalFile(path));
}

} // namespace Plumbrook
