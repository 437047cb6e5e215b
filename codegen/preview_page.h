#pragma once

#include <QByteArray>
#include <QString>

namespace Plumbrook {

class ComponentTable;

// Wraps module code into the page the preview file holds: the module centred
// on a page of the shop's width, the shop's layout rules and our widget script.
namespace PreviewPage {

enum Edition { Tmall = 0, Market = 1 };

struct Layout
{
    Edition edition = Market;
    int moduleWidth = 0;
};

// The edition and width the module record names; a record never confirmed
// counts as the 集市 edition, as generation treats it.
Layout layoutOf(const ComponentTable &table);

// The width of the shop's content column for an edition.
int columnWidth(Edition edition);

// The page as text, declaring `charset`.
QString text(const QString &moduleCode, const Layout &layout, const QString &charset);

// The page in GBK, declared as GBK, or as GB18030 when the text holds
// characters GBK cannot.
QByteArray bytes(const QString &moduleCode, const Layout &layout);

} // namespace PreviewPage
} // namespace Plumbrook
