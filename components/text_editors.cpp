#include "components/text_editors.h"

#include "model/text_ops.h"
#include "components/editor_registry.h"
#include "components/editor_window.h"
#include "model/component_table.h"
#include "model/kind_table.h"

#include <QLabel>
#include <QRegularExpression>

#include "ui_countdown_editor.h"
#include "ui_search_editor.h"
#include "ui_text_editor.h"

namespace Plumbrook {

namespace {

using T = ComponentTable;
using K = EditorWindow::FieldKind;

// The picker's colour value as the label's text colour; the value is laid out 0x00BBGGRR.
void setLabelColour(QLabel *label, int value)
{
    const QColor colour(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
    // The label's look comes from a style sheet (its transparent background), which
    // would override a palette colour; only the colour declaration is replaced.
    static const QRegularExpression colourRule(QStringLiteral("(^|;)\\s*color\\s*:[^;]*;?"));
    QString sheet = label->styleSheet();
    sheet.replace(colourRule, QStringLiteral("\\1"));
    if (!sheet.trimmed().isEmpty() && !sheet.trimmed().endsWith(QLatin1Char(';')))
        sheet += QLatin1Char(';');
    sheet += QStringLiteral(" color: %1;").arg(colour.name());
    label->setStyleSheet(sheet.trimmed());
}

// Edits free text: its words, link, alignment, weight, font, size and colour.
class TextEditor : public EditorWindow
{
public:
    TextEditor(EditorHost *host, int row) : EditorWindow(host, row)
    {
        ui.setupUi(this);
        setUp({{"编辑框1", T::Picture},
               {"编辑框2", T::Link},
               {"组合框1", T::Text, K::Choice},
               {"组合框2", T::BgColor, K::Choice},
               {"编辑框3", T::Other},
               {"编辑框4", T::Other1},
               {"编辑框5", T::Other2},
               // The picker keeps its own value: a colour typed into 字色 does not move it.
               {"编辑框6", T::BgCode, K::Colour, T::Other4, "颜色选择器1"}});
    }

protected:
    void saveExtra(int row) override
    {
        static const char *const alignments[] = {"left", "center", "right"};
        const int index = ui.组合框1->currentIndex();
        const bool known = index >= 0 && index < int(std::size(alignments));
        table()->setCell(row, T::Other5, known ? QString::fromLatin1(alignments[index]) : QString());
    }

private:
    Ui::TextEditor ui;
};

// Edits the shop search box: placeholder, shop address, sizes and colours.
class SearchEditor : public EditorWindow
{
public:
    SearchEditor(EditorHost *host, int row) : EditorWindow(host, row)
    {
        ui.setupUi(this);
        setUp({{"编辑框1", T::Picture},
               {"编辑框2", T::Link, K::Text, -1, nullptr, &TextEditors::shopAddress},
               {"编辑框3", T::Text},
               {"编辑框4", T::BgColor},
               {"编辑框5", T::Other},
               {"编辑框6", T::Other1},
               {"编辑框7", T::Other2, K::Colour, -1, "颜色选择器1"},
               {"编辑框8", T::BgCode, K::Colour, -1, "颜色选择器2"},
               {"编辑框9", T::Other4, K::Colour, -1, "颜色选择器3"},
               {"编辑框10", T::Other5, K::Colour, -1, "颜色选择器4"},
               {"编辑框11", T::Other6, K::Colour, -1, "颜色选择器5"}});
    }

private:
    Ui::SearchEditor ui;
};

// Edits a countdown: end date, units, background picture, cell width and lettering.
class CountdownEditor : public EditorWindow
{
public:
    CountdownEditor(EditorHost *host, int row) : EditorWindow(host, row)
    {
        ui.setupUi(this);
        setUp({{"编辑框1", T::Picture},
               {"组合框1", T::BgColor, K::Choice},
               {"编辑框5", T::BgCode},
               {"编辑框2", T::Link},
               {"编辑框3", T::Text},
               {"编辑框4", T::Other, K::Colour, -1, "颜色选择器1"},
               {"组合框2", T::Other1, K::Choice},
               {"组合框3", T::Other2, K::Choice}});
    }

protected:
    void saveExtra(int row) override
    {
        const bool chosen = ui.组合框3->currentIndex() >= 0;
        table()->setCell(row, T::Other4, chosen ? ui.组合框3->currentText() : QString());
    }

private:
    Ui::CountdownEditor ui;
};

} // namespace

QString TextEditors::shopAddress(const QString &text)
{
    const QString suffix = QStringLiteral(".com");
    const qsizetype at = text.indexOf(suffix, 0, Qt::CaseSensitive);
    return (at < 0 ? QString() : text.left(at)) + suffix;
}

void TextEditors::applyLabelLook(QLabel *label, const QStringList &cells)
{
    if (!label)
        return;
    label->setText(cells.value(T::Picture));

    static const Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    const int index = TextOps::toInt(cells.value(T::Text));
    if (index >= 0 && index < int(std::size(horizontal)))
        label->setAlignment((label->alignment() & ~Qt::AlignHorizontal_Mask) | horizontal[index]);

    QFont font = label->font();
    font.setFamily(cells.value(T::Other));
    // A size that is not a positive number cannot be shown; the label keeps its size.
    const int size = TextOps::toInt(cells.value(T::Other1));
    if (size > 0)
        font.setPixelSize(size);
    font.setBold(TextOps::toInt(cells.value(T::BgColor)) == 1);
    label->setFont(font);

    setLabelColour(label, TextOps::toInt(cells.value(T::Other4)));
}

void registerTextEditors()
{
    EditorRegistry::add<TextEditor>(KindTable::Kind::Text);
    EditorRegistry::add<SearchEditor>(KindTable::Kind::Search);
    EditorRegistry::add<CountdownEditor>(KindTable::Kind::Countdown);
}

} // namespace Plumbrook
