#include "components/link_editors.h"

#include "model/text_ops.h"
#include "components/editor_registry.h"
#include "components/editor_window.h"
#include "model/preset_urls.h"
#include "model/component_table.h"
#include "model/kind_table.h"

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
    HotspotEditor(EditorHost *host, int row) : EditorWindow(host, row)
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
    ImageEditor(EditorHost *host, int row) : EditorWindow(host, row)
    {
        ui.setupUi(this);
        setUp({{"编辑框1", T::Picture},
               {"编辑框2", T::Link},
               {"编辑框3", T::Text},
               {"组合框1", T::BgColor, K::OpenMode, T::Other}});
        connect(host, &EditorHost::pictureChanged, this, [this](const QString &id) {
            if (id == componentId())
                showNaturalSize();
        });
    }

protected:
    void afterLoad() override { showNaturalSize(); }

private:
    // The picture's own size beside its address, for giving the component that size.
    void showNaturalSize()
    {
        const QSize size = host()->pictureNaturalSize(componentId());
        ui.标签_原始尺寸->setText(size.isValid()
                                   ? QStringLiteral("原始尺寸：%1 × %2").arg(size.width()).arg(size.height())
                                   : QString());
    }

    Ui::ImageEditor ui;
};

// Edits a swap image; a preset style supplies the hover picture and locks its field.
class SwapEditor : public EditorWindow
{
public:
    SwapEditor(EditorHost *host, int row) : EditorWindow(host, row)
    {
        ui.setupUi(this);
        connect(ui.组合框2, &QComboBox::activated, this, [this](int index) { styleChosen(index); });
        setUp({{"编辑框1", T::Picture},
               {"编辑框2", T::Link},
               {"组合框2", T::Other, K::Choice},
               {"编辑框3", T::Text},
               {"组合框1", T::BgColor, K::OpenMode, T::Other1}});
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
    ZoomEditor(EditorHost *host, int row) : EditorWindow(host, row)
    {
        ui.setupUi(this);
        setUp({{"编辑框1", T::Picture},
               {"编辑框2", T::Link},
               {"编辑框3", T::Text},
               {"组合框1", T::BgColor, K::OpenMode, T::Other2},
               {"组合框2", T::Other, K::Choice},
               {"编辑框4", T::Other1, K::Colour, -1, "颜色选择器1"}});
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
    VideoEditor(EditorHost *host, int row) : EditorWindow(host, row)
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
    FlashEditor(EditorHost *host, int row) : EditorWindow(host, row)
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

} // namespace

void registerLinkEditors()
{
    EditorRegistry::add<HotspotEditor>(KindTable::Kind::Hotspot);
    EditorRegistry::add<ImageEditor>(KindTable::Kind::Picture);
    EditorRegistry::add<SwapEditor>(KindTable::Kind::Swap);
    EditorRegistry::add<ZoomEditor>(KindTable::Kind::Zoom);
    EditorRegistry::add<VideoEditor>(KindTable::Kind::Video);
    EditorRegistry::add<FlashEditor>(KindTable::Kind::Flash);
}

} // namespace Plumbrook
