#include "components/editor_window.h"

#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "codegen/text_ops.h"
#include "components/colour_conversion.h"
#include "components/preview_download.h"
#include "model/component_table.h"

#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace Plumbrook {

EditorWindow::EditorWindow(MainWindow *main, int row, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
    , mMain(main)
    , mRow(row)
{
    if (main) {
        mId = main->table()->cell(row, ComponentTable::Id);
        // An editor outliving the design it writes to would write into freed memory.
        connect(main, &QObject::destroyed, this, &QObject::deleteLater);
    }
}

EditorWindow::~EditorWindow() = default;

ComponentTable *EditorWindow::table() const
{
    return mMain ? mMain->table() : nullptr;
}

DesignCanvas *EditorWindow::canvas() const
{
    return mMain ? mMain->canvas() : nullptr;
}

QLineEdit *EditorWindow::lineEdit(const QString &name) const
{
    return findChild<QLineEdit *>(name);
}

QComboBox *EditorWindow::comboBox(const QString &name) const
{
    return findChild<QComboBox *>(name);
}

void EditorWindow::setUp(std::vector<Field> fields)
{
    mFields = std::move(fields);
    if (auto *title = findChild<QLabel *>(QStringLiteral("标签1")))
        setWindowTitle(title->text());
    if (auto *close = findChild<QPushButton *>(QStringLiteral("超级按钮1")))
        connect(close, &QPushButton::clicked, this, &QWidget::close);
    if (auto *saveButton = findChild<QPushButton *>(QStringLiteral("超级按钮2")))
        connect(saveButton, &QPushButton::clicked, this, &EditorWindow::save);
    for (const Field &field : mFields) {
        if (field.kind != FieldKind::Colour || !field.picker)
            continue;
        const QString picker = QString::fromUtf8(field.picker);
        if (auto *button = findChild<QPushButton *>(picker))
            connect(button, &QPushButton::clicked, this, [this, picker] { openColourDialog(picker); });
    }
    dock();
    load();
}

void EditorWindow::dock()
{
    if (!mMain)
        return;
    move(mMain->x() + mMain->width() - width() - 5, mMain->y() + 52);
}

int EditorWindow::resolveRow() const
{
    const ComponentTable *t = table();
    if (!t)
        return -1;
    // The row index is what the editor was opened for; the id guards against
    // rows having moved up underneath it.
    if (mRow > 0 && mRow < t->count() && t->cell(mRow, ComponentTable::Id) == mId)
        return mRow;
    return mId.isEmpty() ? -1 : t->findRowById(mId);
}

void EditorWindow::load()
{
    const int row = resolveRow();
    if (row < 0)
        return;
    for (const Field &field : mFields)
        readField(row, field);
    afterLoad();
}

void EditorWindow::readField(int row, const Field &field)
{
    const QString name = QString::fromUtf8(field.control);
    const QString text = table()->cell(row, field.column);
    switch (field.kind) {
    case FieldKind::Text:
    case FieldKind::Colour:
        if (QLineEdit *edit = lineEdit(name))
            edit->setText(text);
        break;
    case FieldKind::Choice:
    case FieldKind::OpenMode:
        // An index outside the list leaves no entry chosen, as the list itself would.
        if (QComboBox *combo = comboBox(name))
            combo->setCurrentIndex(TextOps::toInt(text));
        break;
    }
}

void EditorWindow::save()
{
    const int row = resolveRow();
    if (row >= 0) {
        for (const Field &field : mFields)
            writeField(row, field);
        saveExtra(row);
        const QString url = previewUrl();
        if (!url.isEmpty() && canvas())
            PreviewDownload::start(canvas(), mId, url);
    }
    if (!mKeepOpen)
        close();
}

void EditorWindow::writeField(int row, const Field &field)
{
    const QString name = QString::fromUtf8(field.control);
    switch (field.kind) {
    case FieldKind::Text:
    case FieldKind::Colour:
        if (QLineEdit *edit = lineEdit(name))
            table()->setCell(row, field.column, field.store ? field.store(edit->text()) : edit->text());
        break;
    case FieldKind::Choice:
    case FieldKind::OpenMode:
        if (QComboBox *combo = comboBox(name)) {
            table()->setCell(row, field.column, QString::number(combo->currentIndex()));
            if (field.kind == FieldKind::OpenMode && field.targetColumn >= 0)
                table()->setCell(row, field.targetColumn, linkTarget(combo->currentIndex()));
        }
        break;
    }
}

QString EditorWindow::previewUrl() const
{
    if (mPreviewField.isEmpty())
        return {};
    const QLineEdit *edit = lineEdit(mPreviewField);
    return edit ? edit->text() : QString();
}

QString EditorWindow::linkTarget(int index)
{
    return index == 0 ? QStringLiteral("_blank") : QStringLiteral("_self");
}

void EditorWindow::setFieldLocked(QLineEdit *edit, bool locked)
{
    if (!edit)
        return;
    edit->setReadOnly(locked);
    edit->setStyleSheet(locked ? QStringLiteral("QLineEdit { background: #F0F0F0; }")
                               : QStringLiteral("QLineEdit { background: #FFFFFF; }"));
}

void EditorWindow::openColourDialog(const QString &pickerName)
{
    auto *dialog = new QColorDialog(this);
    dialog->setObjectName(QStringLiteral("颜色对话框"));
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QColorDialog::colorSelected, this,
            [this, pickerName](const QColor &colour) { pickColour(pickerName, colour); });
    dialog->open();
}

void EditorWindow::pickColour(const QString &pickerName, const QColor &colour)
{
    const int value = colour.red() | colour.green() << 8 | colour.blue() << 16;
    for (const Field &field : mFields) {
        if (field.kind != FieldKind::Colour || !field.picker
            || QString::fromUtf8(field.picker) != pickerName)
            continue;
        if (QLineEdit *edit = lineEdit(QString::fromUtf8(field.control)))
            edit->setText(ColourConversion::colourText(value));
    }
    colourPicked(pickerName, value);
}

} // namespace Plumbrook
