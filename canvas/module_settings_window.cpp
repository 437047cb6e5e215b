#include "canvas/module_settings_window.h"

#include "canvas/design_canvas.h"
#include "canvas/module_background_layer.h"
#include "components/colour_picker_button.h"
#include "model/colour_conversion.h"
#include "components/window_drag.h"
#include "model/component_table.h"
#include "model/design_document.h"

#include "ui_module_settings_window.h"


namespace Plumbrook {

namespace {

// A stored index no entry has (only a hand-edited record holds one) selects the first entry.
void selectIndex(QComboBox *list, int index)
{
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : 0);
}

} // namespace

ModuleSettingsWindow::ModuleSettingsWindow(DesignCanvas *canvas, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , ui(new Ui::ModuleSettingsWindow)
    , mCanvas(canvas)
{
    ui->setupUi(this);
    WindowDrag::install(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(size());
    connect(ui->超级按钮1, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->超级按钮2, &QPushButton::clicked, this, &ModuleSettingsWindow::confirm);
    connect(ui->颜色选择器1, &ColourPickerButton::colourPicked, this,
            &ModuleSettingsWindow::showPickedColour);
    load();
}

ModuleSettingsWindow::~ModuleSettingsWindow()
{
    delete ui;
}

void ModuleSettingsWindow::load()
{
    const ModuleSettings s = ModuleSettings::load(*mCanvas->table());
    ui->编辑框_宽度->setText(s.width);
    ui->编辑框_高度->setText(s.height);
    ui->编辑框_图片->setText(s.picture);
    ui->编辑框_锚点名->setText(s.anchor);
    selectIndex(ui->组合框_平铺, s.repeat);
    ui->颜色选择器1->setColour(s.colour);
    ui->编辑框_背景色->setText(s.colourText);
    selectIndex(ui->组合框_左右, s.horizontal);
    selectIndex(ui->组合框_上下, s.vertical);
    selectIndex(ui->组合框_固定, s.attachment);
    selectIndex(ui->组合框_版本, s.edition);
}

ModuleSettings ModuleSettingsWindow::settings() const
{
    ModuleSettings s;
    s.width = ui->编辑框_宽度->text();
    s.height = ui->编辑框_高度->text();
    s.picture = ui->编辑框_图片->text();
    s.anchor = ui->编辑框_锚点名->text();
    s.colourText = ui->编辑框_背景色->text();
    // A colour typed into the box is the one the canvas shows, the row keeps and the
    // window shows again, as it is the one the code gets.
    s.colour = ColourPickerButton::valueOfText(s.colourText).value_or(ui->颜色选择器1->colour());
    s.repeat = ui->组合框_平铺->currentIndex();
    s.horizontal = ui->组合框_左右->currentIndex();
    s.vertical = ui->组合框_上下->currentIndex();
    s.attachment = ui->组合框_固定->currentIndex();
    s.edition = ui->组合框_版本->currentIndex();
    return s;
}

void ModuleSettingsWindow::showPickedColour(int value)
{
    ui->编辑框_背景色->setText(ColourConversion::colourText(value));
}

void ModuleSettingsWindow::confirm()
{
    const ModuleSettings s = settings();
    ComponentTable *table = mCanvas->table();
    // The canvas redraws the module for a change; unchanged settings still redraw it,
    // over whatever a geometry box put there.
    const bool changed = mCanvas->document()->record(QStringLiteral("背景设置"), [&] {
        // Undo brings back the picture shown now without fetching it again.
        ModuleBackgroundLayer::remember(mCanvas);
        s.save(*table);
        table->setCell(0, ComponentTable::Other4, s.buildWrapper());
    });
    if (!changed)
        ModuleBackgroundLayer::render(mCanvas);
    close();
}

} // namespace Plumbrook
