#pragma once

#include "codegen/design_checks.h"

#include <QWidget>

#include <functional>

class QUrl;

namespace Ui {
class CodeOutputWindow;
}

namespace Plumbrook {

class ComponentTable;

// Shows the generated module code and copies it to the clipboard or previews it in the browser.
class CodeOutputWindow : public QWidget
{
    Q_OBJECT

public:
    using UrlOpener = std::function<void(const QUrl &url)>;

    explicit CodeOutputWindow(const ComponentTable *table, QWidget *parent = nullptr);
    ~CodeOutputWindow() override;

    // How "预览" hands the preview file to the browser; tests record instead.
    static void setUrlOpener(UrlOpener opener);
    static QString previewFilePath();

    // The code box's text with CR LF line breaks, as the clipboard receives it
    // and the preview page holds it.
    QString codeText() const;
    // The 向上收缩 field's text, empty unless the design names an amount.
    void setShrinkField(const QString &text);
    // How "生成并复制" checks the design; unset: the checks without picture sizes.
    void setChecks(std::function<QVector<DesignFinding>()> checks) { mChecks = std::move(checks); }
    // "N 个错误，M 个提醒" of the last checks.
    QString checkSummary() const;

public slots:
    // Checks the design and shows how many findings there are, without holding anything back.
    void runChecks();
    void generateAndCopy();
    void copy();
    void preview();

private:
    Ui::CodeOutputWindow *ui;
    const ComponentTable *mTable;
    std::function<QVector<DesignFinding>()> mChecks;
};

} // namespace Plumbrook
