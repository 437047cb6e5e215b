#include "components/link_editors.h"

#include "codegen/text_ops.h"
#include "components/editor_registry.h"
#include "components/editor_window.h"
#include "components/preset_urls.h"
#include "model/component_table.h"

#include "ui_flash_editor.h"
#include "ui_hotspot_editor.h"
#include "ui_image_editor.h"
#include "ui_swap_editor.h"
#include "ui_video_editor.h"
#include "ui_zoom_editor.h"

namespace Plumbrook {

namespace {

using T = ComponentTable;
using K = EditorWindow::FieldKind;

// Edits a hotspot: tooltip, link and open mode; its magenta picture stays.
class HotspotEditor : public EditorWindow
{
public:
    HotspotEditor(MainWindow *main, int row) : EditorWindow(main, row)
    {
        ui.setupUi(this);
        setUp({{"编辑框1", T::Picture},
               {"编辑框2", T::Link},
               {"组合框1", T::Text, K::OpenMode, T::BgColor}});
    }

private:
    Ui::HotspotEditor ui;
};

// Edits an image: picture, link, tooltip and open mode.
class ImageEditor : public EditorWindow
{
public:
    ImageEditor(MainWindow *main, int row) : EditorWindow(main, row)
    {
        ui.setupUi(this);
        setUp({{"编辑框1", T::Picture},
               {"编辑框2", T::Link},
               {"编辑框3", T::Text},
               {"组合框1", T::BgColor, K::OpenMode, T::Other}});
        setPreviewField("编辑框1");
    }

private:
    Ui::ImageEditor ui;
};

// Edits a swap image; a preset style supplies the hover picture and locks its field.
class SwapEditor : public EditorWindow
{
public:
    SwapEditor(MainWindow *main, int row) : EditorWindow(main, row)
    {
        ui.setupUi(this);
        connect(ui.组合框2, &QComboBox::activated, this, [this](int index) { styleChosen(index); });
        setUp({{"编辑框1", T::Picture},
               {"编辑框2", T::Link},
               {"组合框2", T::Other, K::Choice},
               {"编辑框3", T::Text},
               {"组合框1", T::BgColor, K::OpenMode, T::Other1}});
        setPreviewField("编辑框1");
    }

protected:
    // Shows a stored preset style as locked, as choosing it would have.
    void afterLoad() override { setFieldLocked(ui.编辑框2, isPreset(ui.组合框2->currentIndex())); }

private:
    static bool isPreset(int index) { return index >= 1 && index < PresetUrls::swapStyleCount; }

    void styleChosen(int index)
    {
        if (isPreset(index))
            ui.编辑框2->setText(PresetUrls::swapStyleOverlay(index));
        setFieldLocked(ui.编辑框2, isPreset(index));
    }

    Ui::SwapEditor ui;
};

// Edits a zoom image: base and large pictures, link, open mode, factor and border colour.
class ZoomEditor : public EditorWindow
{
public:
    ZoomEditor(MainWindow *main, int row) : EditorWindow(main, row)
    {
        ui.setupUi(this);
        setUp({{"编辑框1", T::Picture},
               {"编辑框2", T::Link},
               {"编辑框3", T::Text},
               {"组合框1", T::BgColor, K::OpenMode, T::Other2},
               {"组合框2", T::Other, K::Choice},
               {"编辑框4", T::Other1, K::Colour, -1, "颜色选择器1"}});
        setPreviewField("编辑框1");
    }

protected:
    void saveExtra(int row) override
    {
        static const char *const factors[] = {"1.2", "1.3", "1.4", "1.5"};
        const int index = ui.组合框2->currentIndex();
        const bool known = index >= 0 && index < int(std::size(factors));
        table()->setCell(row, T::BgCode, known ? QString::fromLatin1(factors[index]) : QString());
    }

private:
    Ui::ZoomEditor ui;
};

// Edits a video: player address and play mode.
class VideoEditor : public EditorWindow
{
public:
    VideoEditor(MainWindow *main, int row) : EditorWindow(main, row)
    {
        ui.setupUi(this);
        setUp({{"编辑框1", T::Picture},
               {"组合框1", T::Link, K::Choice}});
    }

private:
    Ui::VideoEditor ui;
};

// Edits a flash movie: a preset effect or a custom address; stays open after saving.
class FlashEditor : public EditorWindow
{
public:
    FlashEditor(MainWindow *main, int row) : EditorWindow(main, row)
    {
        ui.setupUi(this);
        connect(ui.组合框1, &QComboBox::activated, this, [this](int index) { effectChosen(index); });
        setKeepOpenAfterSave(true);
        setUp({{"组合框1", T::Link, K::Choice},
               {"编辑框1", T::Picture}});
    }

protected:
    void afterLoad() override { setFieldLocked(ui.编辑框1, isPreset(ui.组合框1->currentIndex())); }

private:
    static bool isPreset(int index) { return index >= 0 && index < PresetUrls::flashEffectCount - 1; }

    void effectChosen(int index)
    {
        if (isPreset(index))
            ui.编辑框1->setText(PresetUrls::flashEffect(index));
        else
            ui.编辑框1->clear();
        setFieldLocked(ui.编辑框1, isPreset(index));
    }

    Ui::FlashEditor ui;
};

template<typename Editor>
void addEditor(const QString &kind)
{
    EditorRegistry::add(kind, [](MainWindow *main, int row) -> QWidget * {
        return new Editor(main, row);
    });
}

} // namespace

void registerLinkEditors()
{
    addEditor<HotspotEditor>(QStringLiteral("热点"));
    addEditor<ImageEditor>(QStringLiteral("图片"));
    addEditor<SwapEditor>(QStringLiteral("换图"));
    addEditor<ZoomEditor>(QStringLiteral("放大"));
    addEditor<VideoEditor>(QStringLiteral("视频"));
    addEditor<FlashEditor>(QStringLiteral("flash"));
}

} // namespace Plumbrook
