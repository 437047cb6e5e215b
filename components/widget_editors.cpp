#include "components/widget_editors.h"

#include "model/text_ops.h"
#include "components/editor_registry.h"
#include "components/editor_window.h"
#include "model/preset_urls.h"
#include "model/component_table.h"
#include "model/kind_table.h"
#include "net/pattern_matcher.h"

#include "ui_cart_editor.h"
#include "ui_favourite_editor.h"
#include "ui_follow_editor.h"
#include "ui_group_editor.h"
#include "ui_like_editor.h"
#include "ui_qr_editor.h"
#include "ui_service_editor.h"
#include "ui_share_editor.h"

namespace Plumbrook {

namespace {

using T = ComponentTable;
using K = EditorWindow::FieldKind;

// A pasted item page is reduced to the first digit run of an item id's length.
QString shareItemId(const QString &text)
{
    return PatternMatcher::firstMatch(QStringLiteral("\\d{10,16}"), text);
}
QString likeItemId(const QString &text)
{
    return PatternMatcher::firstMatch(QStringLiteral("\\d{9,18}"), text);
}

// Edits a favourite badge: picture and shop link.
class FavouriteEditor : public EditorWindow
{
public:
    FavouriteEditor(EditorHost *host, int row) : EditorWindow(host, row)
    {
        ui.setupUi(this);
        setUp({{"编辑框1", T::Picture},
               {"编辑框2", T::Link}});
    }

private:
    Ui::FavouriteEditor ui;
};

// Edits a share button: the item id and the button picture.
class ShareEditor : public EditorWindow
{
public:
    ShareEditor(EditorHost *host, int row) : EditorWindow(host, row)
    {
        ui.setupUi(this);
        setUp({{"编辑框1", T::Picture, K::Text, -1, nullptr, shareItemId},
               {"编辑框2", T::Link}});
    }

private:
    Ui::ShareEditor ui;
};

// Edits a QR code: type and id; saving builds the square picture's address.
class QrEditor : public EditorWindow
{
public:
    QrEditor(EditorHost *host, int row) : EditorWindow(host, row)
    {
        ui.setupUi(this);
        setUp({{"组合框1", T::Link, K::Choice},
               {"编辑框1", T::Picture}});
    }

protected:
    void saveExtra(int row) override { table()->setCell(row, T::Text, buildUrl()); }

private:
    QString buildUrl() const
    {
        static const char *const types[] = {"bs", "bi", "cs", "ci"};
        static const char *const items[] = {"shop", "item", "shop", "item"};
        const int index = ui.组合框1->currentIndex();
        const bool known = index >= 0 && index < int(std::size(types));
        const QString width = host() ? host()->widthBoxText() : QString();
        QString url = PresetUrls::qrService()
            + QStringLiteral("/img?type={type}&{item}_id={id}&w={width}&h={width}&v=1");
        TextOps::replaceIn(url, QStringLiteral("{id}"), ui.编辑框1->text(), 1);
        TextOps::replaceIn(url, QStringLiteral("{type}"),
                           known ? QString::fromLatin1(types[index]) : QString(), 1);
        TextOps::replaceIn(url, QStringLiteral("{item}"),
                           known ? QString::fromLatin1(items[index]) : QString(), 1);
        TextOps::replaceIn(url, QStringLiteral("{width}"), width, 2);
        return url;
    }

    Ui::QrEditor ui;
};

// Edits a cart button: picture and item page.
class CartEditor : public EditorWindow
{
public:
    CartEditor(EditorHost *host, int row) : EditorWindow(host, row)
    {
        ui.setupUi(this);
        setUp({{"编辑框1", T::Picture},
               {"编辑框2", T::Link}});
    }

private:
    Ui::CartEditor ui;
};

// Edits a like button: colour style and item id.
class LikeEditor : public EditorWindow
{
public:
    LikeEditor(EditorHost *host, int row) : EditorWindow(host, row)
    {
        ui.setupUi(this);
        setUp({{"组合框1", T::Link, K::Choice},
               {"编辑框1", T::Picture, K::Text, -1, nullptr, likeItemId}});
    }

private:
    Ui::LikeEditor ui;
};

// Edits a follow button: shop id and button picture.
class FollowEditor : public EditorWindow
{
public:
    FollowEditor(EditorHost *host, int row) : EditorWindow(host, row)
    {
        ui.setupUi(this);
        setUp({{"编辑框1", T::Picture},
               {"编辑框2", T::Link}});
    }

private:
    Ui::FollowEditor ui;
};

// Edits a customer-service contact: account, routing, avatar and the badge's look.
class ServiceEditor : public EditorWindow
{
public:
    ServiceEditor(EditorHost *host, int row) : EditorWindow(host, row)
    {
        ui.setupUi(this);
        connect(ui.组合框5, &QComboBox::activated, this, [this](int index) { avatarChosen(index); });
        setUp({{"编辑框1", T::Picture},
               {"组合框4", T::Other1, K::Choice},
               {"编辑框2", T::Link},
               {"组合框5", T::Other2, K::Choice},
               {"组合框1", T::Text, K::Choice},
               {"组合框2", T::BgColor, K::Choice},
               {"组合框3", T::Other, K::Choice}});
    }

protected:
    // A stored hidden avatar shows its field disabled, as picking "隐藏" does.
    void afterLoad() override { avatarChosen(ui.组合框5->currentIndex()); }

private:
    void avatarChosen(int index) { ui.编辑框2->setEnabled(index == 0); }

    Ui::ServiceEditor ui;
};

// Edits a chat-group badge: picture and group id.
class GroupEditor : public EditorWindow
{
public:
    GroupEditor(EditorHost *host, int row) : EditorWindow(host, row)
    {
        ui.setupUi(this);
        setUp({{"编辑框1", T::Picture},
               {"编辑框2", T::Link}});
    }

private:
    Ui::GroupEditor ui;
};

} // namespace

void registerWidgetEditors()
{
    EditorRegistry::add<FavouriteEditor>(KindTable::Kind::Favourite);
    EditorRegistry::add<ShareEditor>(KindTable::Kind::Share);
    EditorRegistry::add<QrEditor>(KindTable::Kind::QrCode);
    EditorRegistry::add<CartEditor>(KindTable::Kind::Cart);
    EditorRegistry::add<LikeEditor>(KindTable::Kind::Like);
    EditorRegistry::add<FollowEditor>(KindTable::Kind::Follow);
    EditorRegistry::add<ServiceEditor>(KindTable::Kind::Service);
    EditorRegistry::add<GroupEditor>(KindTable::Kind::ChatGroup);
}

} // namespace Plumbrook
