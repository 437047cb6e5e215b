#include "net/announcements.h"

#include "model/text_ops.h"
#include "model/background_work.h"
#include "net/http_client.h"
#include "net/pattern_matcher.h"
#include "net/site_addresses.h"

#include <QCoreApplication>
#include <QRandomGenerator>

namespace Plumbrook::Announcements {

namespace {

const QString kSeparator = QStringLiteral("======");

QStringList gItems;

} // namespace

QStringList parse(const QString &homePage)
{
    const QString block = TextOps::between(homePage, QStringLiteral("<ul id=\"anc"),
                                           QStringLiteral("</ul>"));
    PatternMatcher matcher;
    matcher.create(QStringLiteral("href=\"(\\S+)\" target=\"_blank\" class=\"xi2\">(.[^\\<]*)?\\</a>"),
                   block);
    QStringList items;
    for (int i = 1; i <= matcher.matchCount(); ++i)
        items.append(matcher.groupText(i, 1) + kSeparator + matcher.groupText(i, 2));
    return items;
}

QStringList fetch()
{
    // The home page is served in GBK.
    return parse(TextOps::fromGbk(HttpClient::siteRequest(SiteAddresses::homePage())));
}

void read()
{
    setList(fetch());
}

void startRead()
{
    BackgroundWork::run(BackgroundWork::Lane::Requests, QCoreApplication::instance(), &fetch,
                        [](const QStringList &items) { setList(items); });
}

QStringList list()
{
    return gItems;
}

void setList(const QStringList &items)
{
    gItems = items;
}

QString titleOf(const QString &item)
{
    const qsizetype at = item.lastIndexOf(kSeparator);
    return at < 0 ? QString() : item.mid(at + kSeparator.size());
}

QString displayText()
{
    const QStringList items = list();
    if (items.isEmpty())
        return kFailureMessage;
    return titleOf(items.at(QRandomGenerator::global()->bounded(qsizetype(items.size()))));
}

} // namespace Plumbrook::Announcements
