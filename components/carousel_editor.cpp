#include "components/carousel_editor.h"

#include "model/text_ops.h"
#include "model/carousel_settings.h"
#include "components/editor_registry.h"
#include "components/editor_window.h"
#include "model/component_table.h"
#include "model/kind_table.h"

#include "ui_carousel_editor.h"

#include <array>

namespace Plumbrook {

namespace {

namespace CS = CarouselSettings;

// Edits a carousel's settings file: pictures and links, arrows, transition, easing,
// link target and autoplay. The component record itself is never written.
class CarouselEditor : public EditorWindow
{
public:
    CarouselEditor(EditorHost *host, int row) : EditorWindow(host, row)
    {
        ui.setupUi(this);
        mPictures = {ui.编辑框_图1, ui.编辑框_图2, ui.编辑框_图3, ui.编辑框_图4,
                     ui.编辑框_图5, ui.编辑框_图6, ui.编辑框_图7, ui.编辑框_图8};
        mLinks = {ui.编辑框_链接1, ui.编辑框_链接2, ui.编辑框_链接3, ui.编辑框_链接4,
                  ui.编辑框_链接5, ui.编辑框_链接6, ui.编辑框_链接7, ui.编辑框_链接8};

        connect(ui.超级按钮_保存, &QPushButton::clicked, this, &EditorWindow::save);
        connect(ui.组合框6, &QComboBox::activated, this, [this] { applyPictureCount(); });
        connect(ui.组合框5, &QComboBox::activated, this, [this](int index) { showArrows(index == 0); });
        connect(ui.组合框1, &QComboBox::activated, this,
                [this](int index) { ui.编辑框1->setText(CS::transitionCodes().value(index)); });
        connect(ui.组合框7, &QComboBox::activated, this,
                [this](int index) { ui.编辑框2->setText(CS::easingCodes().value(index)); });
        setUp({});
    }

protected:
    void afterLoad() override
    {
        const int number = settingsNumber(table()->findRowById(componentId()));
        auto text = [this, number](const QString &key) { return CS::valueOf(*table(), number, key); };
        // Empty and non-numeric indexes choose the first entry; others as the list takes them.
        auto choose = [&text](QComboBox *combo, const QString &key) {
            combo->setCurrentIndex(TextOps::toInt(text(key)));
        };

        choose(ui.组合框6, CS::kNumber);
        for (int n = 1; n <= CS::kMaxPictures; ++n) {
            mPictures[n - 1]->setText(text(CS::pictureKey(n)));
            mLinks[n - 1]->setText(text(CS::linkKey(n)));
        }
        choose(ui.组合框5, CS::kShowArrows);
        ui.编辑框_左箭头->setText(text(CS::kLeftArrowUrl));
        ui.编辑框_右箭头->setText(text(CS::kRightArrowUrl));
        choose(ui.组合框1, CS::kTransitionIndex);
        ui.编辑框1->setText(text(CS::kTransitionCode));
        choose(ui.组合框7, CS::kEasingIndex);
        ui.编辑框2->setText(text(CS::kEasingCode));
        choose(ui.组合框4, CS::kLinkTarget);
        choose(ui.组合框3, CS::kAutoplay);
        applyPictureCount();
    }

    void saveExtra(int row) override
    {
        const int number = settingsNumber(row);
        // Gathered first and written in one rewrite of the file, in this order.
        QList<QPair<QString, QString>> values;
        auto put = [&values](const QString &key, const QString &value) {
            values.append({key, value});
        };
        auto index = [](const QComboBox *combo) { return QString::number(combo->currentIndex()); };

        put(CS::kNumber, index(ui.组合框6));
        for (int n = 1; n <= CS::kMaxPictures; ++n) {
            put(CS::pictureKey(n), mPictures[n - 1]->text());
            put(CS::linkKey(n), mLinks[n - 1]->text());
        }
        put(CS::kShowArrows, index(ui.组合框5));
        put(CS::kLeftArrowUrl, ui.编辑框_左箭头->text());
        put(CS::kRightArrowUrl, ui.编辑框_右箭头->text());
        put(CS::kTransitionIndex, index(ui.组合框1));
        put(CS::kTransitionCode, ui.编辑框1->text());
        put(CS::kEasingIndex, index(ui.组合框7));
        put(CS::kEasingCode, ui.编辑框2->text());
        put(CS::kLinkTarget, index(ui.组合框4));
        put(CS::kAutoplay, index(ui.组合框3));
        const bool written = CS::writeFor(*table(), number, values);

        // Closing would throw the user's edits away unsaved and unannounced.
        setKeepOpenAfterSave(!written);
        if (!written && host())
            host()->showStatus(QStringLiteral("轮播设置未能保存：无法写入 ") + CS::filePath(number));
    }

private:
    // The carousel keeps the number it was created with, even after rows above it went.
    int settingsNumber(int row) const { return CS::numberOf(*table(), row); }

    void applyPictureCount()
    {
        const int count = ui.组合框6->currentIndex() + 2;
        for (int n = 1; n <= CS::kMaxPictures; ++n) {
            mPictures[n - 1]->setEnabled(n <= count);
            mLinks[n - 1]->setEnabled(n <= count);
        }
    }

    void showArrows(bool shown)
    {
        const int row = table()->findRowById(componentId());
        if (row < 0 || !host())
            return;
        for (const int arrow : {CS::leftArrowRow(*table(), row), CS::rightArrowRow(*table(), row)}) {
            if (arrow >= 0)
                host()->setObjectShown(table()->cell(arrow, ComponentTable::Id), shown);
        }
    }

    Ui::CarouselEditor ui;
    std::array<QLineEdit *, CS::kMaxPictures> mPictures{};
    std::array<QLineEdit *, CS::kMaxPictures> mLinks{};
};

} // namespace

void registerCarouselEditor()
{
    EditorRegistry::add<CarouselEditor>(KindTable::Kind::Carousel);
}

} // namespace Plumbrook
