#pragma once

#include "components/editor_host.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

class QComboBox;
class QLineEdit;

namespace Plumbrook {

class ComponentTable;

// The part every component editor shares: frame, docking, the current row,
// loading and saving a declarative field table, open-mode targets, colour
// pickers and the preview picture.
//
// A kind's editor is a subclass that
//   1. calls its uic class's setupUi(this) on a layout that holds `标签1` (title),
//      `超级按钮1` (close), `外形框1` (frame) and `超级按钮2` (save) plus its fields;
//   2. calls setUp() with its field table, e.g.
//          setUp({{"编辑框1", ComponentTable::Picture},
//                 {"组合框1", ComponentTable::BgColor, FieldKind::OpenMode,
//                  ComponentTable::Other}});
//      setUp() titles, docks and loads the window;
//   3. optionally overrides the hooks below.
//
// Load copies the row into the fields (then afterLoad()); "保存" writes the fields
// in table order, then saveExtra(), then starts the download of the kind's preview
// picture from what the row now holds (when it names one) and closes the window unless
// setKeepOpenAfterSave(true). The close button closes without writing.
class EditorWindow : public QWidget
{
    Q_OBJECT

public:
    enum class FieldKind {
        Text,      // QLineEdit: stored as typed (or through Field::store)
        Choice,    // QComboBox: stored as the index in decimal, loaded with TextOps::toInt
        OpenMode,  // Choice whose save also writes "_blank"/"_self" to targetColumn
        Colour,    // QLineEdit with a ColourPickerButton `picker` that writes "#RRGGBB";
                   // the picker shows the field's colour, or with targetColumn keeps a
                   // value of its own there (decimal) that typing does not move
    };

    struct Field {
        const char *control;                      // objectName in the layout
        int column;                               // ComponentTable column
        FieldKind kind = FieldKind::Text;
        int targetColumn = -1;                    // OpenMode: link target; Colour: picker value
        const char *picker = nullptr;             // Colour: objectName of the picker button
        QString (*store)(const QString &) = nullptr;  // Text: turns the typed text into the cell
    };

    EditorWindow(EditorHost *host, int row, QWidget *parent = nullptr);
    ~EditorWindow() override;

    EditorHost *host() const { return mHost; }
    ComponentTable *table() const;
    // The row the editor was opened for; "保存" writes here whatever is selected.
    int row() const { return mRow; }
    // Id of the edited component, which receives the preview picture.
    QString componentId() const { return mId; }

    void load();
    // The "保存" button's operation.
    void save();

    // "_blank" for the first open mode (index 0), "_self" for any other index.
    static QString linkTarget(int index);

    QLineEdit *lineEdit(const QString &name) const;
    QComboBox *comboBox(const QString &name) const;

protected:
    void setUp(std::vector<Field> fields);
    void setKeepOpenAfterSave(bool keep) { mKeepOpen = keep; }

    // Locks a preset-filled field: read-only on the default window colour; an
    // unlocked field is editable on white.
    static void setFieldLocked(QLineEdit *edit, bool locked);

    virtual void afterLoad() {}
    // Kind-specific writes after the field table, in the kind's order.
    virtual void saveExtra(int row) { Q_UNUSED(row) }

private:
    void writeField(int row, const Field &field);
    void startPreview(int row);
    void readField(int row, const Field &field);
    void connectPicker(const Field &field);
    // A colour value (0x00BBGGRR) picked with the picker button `pickerName`.
    void pickColourValue(const QString &pickerName, int value);
    void dock();
    int resolveRow() const;

    QPointer<EditorHost> mHost;
    int mRow;
    QString mId;
    std::vector<Field> mFields;
    bool mKeepOpen = false;
};

} // namespace Plumbrook
