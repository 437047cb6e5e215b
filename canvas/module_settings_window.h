#pragma once

#include "model/module_settings.h"

#include <QWidget>

namespace Ui {
class ModuleSettingsWindow;
}

namespace Plumbrook {

class DesignCanvas;

// "背景设置": edits the module record's size, background, anchor and edition;
// confirming stores them, redraws the module background and builds the wrapper.
class ModuleSettingsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ModuleSettingsWindow(DesignCanvas *canvas, QWidget *parent = nullptr);
    ~ModuleSettingsWindow() override;

    // What the controls hold now.
    ModuleSettings settings() const;

public slots:
    void confirm();

private:
    void load();
    void showPickedColour(int value);

    Ui::ModuleSettingsWindow *ui;
    DesignCanvas *mCanvas;
};

} // namespace Plumbrook
