#include "components/editor_window.h"

#include "model/text_ops.h"
#include "model/carousel_settings.h"
#include "model/colour_conversion.h"
#include "components/colour_picker_button.h"
#include "components/editor_host.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_operations.h"
#include "model/kind_table.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace Plumbrook {

EditorWindow::EditorWindow(EditorHost *host, int row, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
    , mHost(host)
    , mRow(row)
{
    if (host) {
        mId = host->document()->table()->cell(row, ComponentTable::Id);
        // An editor outliving the design it writes to would write into freed memory.
        connect(host, &QObject::destroyed, this, &QObject::deleteLater);
    }
}

EditorWindow::~EditorWindow() = default;

ComponentTable *EditorWindow::table() const
{
    return mHost ? mHost->document()->table() : nullptr;
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
        if (field.kind == FieldKind::Colour && field.picker)
            connectPicker(field);
    }
    dock();
    load();
}

void EditorWindow::dock()
{
    if (mHost)
        move(mHost->editorPlace(size()));
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

void EditorWindow::connectPicker(const Field &field)
{
    auto *button = findChild<ColourPickerButton *>(QString::fromUtf8(field.picker));
    QLineEdit *edit = lineEdit(QString::fromUtf8(field.control));
    if (!button || !edit)
        return;
    const QString picker = QString::fromUtf8(field.picker);
    connect(button, &ColourPickerButton::colourPicked, this,
            [this, picker](int value) { pickColourValue(picker, value); });
    // Opening at the colour the field names, so that OK at once changes nothing.
    button->setDialogColourSource([edit] { return ColourPickerButton::valueOfText(edit->text()); });
    if (field.targetColumn < 0) {
        connect(edit, &QLineEdit::textChanged, button, [button](const QString &text) {
            if (const std::optional<int> value = ColourPickerButton::valueOfText(text))
                button->setColour(*value);
        });
    }
}

void EditorWindow::readField(int row, const Field &field)
{
    const QString name = QString::fromUtf8(field.control);
    const QString text = table()->cell(row, field.column);
    switch (field.kind) {
    case FieldKind::Text:
        if (QLineEdit *edit = lineEdit(name))
            edit->setText(text);
        break;
    case FieldKind::Colour:
        if (QLineEdit *edit = lineEdit(name))
            edit->setText(text);
        if (auto *button = findChild<ColourPickerButton *>(QString::fromUtf8(field.picker))) {
            // An own value is kept beside the text (empty gives 0, black); otherwise the
            // picker shows what the text names, or black when it names no colour.
            if (field.targetColumn >= 0)
                button->setColour(TextOps::toInt(table()->cell(row, field.targetColumn)));
            else
                button->setColour(ColourPickerButton::valueOfText(text).value_or(0));
        }
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
        // Undoing the save shows the component as it looks now.
        mHost->rememberShown(mId);
        DesignOperations::edit(mHost->document(), table()->cell(row, ComponentTable::Id), [this](int row) {
            for (const Field &field : mFields)
                writeField(row, field);
            saveExtra(row);
        });
        startPreview(row);
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
        if (field.kind == FieldKind::Colour && field.targetColumn >= 0) {
            if (auto *button = findChild<ColourPickerButton *>(QString::fromUtf8(field.picker)))
                table()->setCell(row, field.targetColumn, QString::number(button->colour()));
        }
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

void EditorWindow::startPreview(int row)
{
    const QStringList cells = table()->rowCells(row);
    const KindTable::KindInfo *kind = KindTable::find(cells.value(ComponentTable::Kind));
    if (!kind || kind->preview == KindTable::PreviewSource::None)
        return;
    // An emptied address is fetched like any other and leaves the object without a picture.
    const QString url = KindTable::previewUrl(cells, [this, row](const QString &key) {
        return CarouselSettings::valueOf(*table(), CarouselSettings::numberOf(*table(), row), key);
    });
    mHost->showPreview(mId, url, kind->name);
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

void EditorWindow::pickColourValue(const QString &pickerName, int value)
{
    for (const Field &field : mFields) {
        if (field.kind != FieldKind::Colour || !field.picker
            || QString::fromUtf8(field.picker) != pickerName)
            continue;
        if (QLineEdit *edit = lineEdit(QString::fromUtf8(field.control)))
            edit->setText(ColourConversion::colourText(value));
    }
}

} // namespace Plumbrook
