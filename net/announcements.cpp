#include "net/announcements.h"

#include "codegen/text_ops.h"
#include "net/http_client.h"
#include "net/pattern_matcher.h"
#include "net/site_addresses.h"

#include <QMutex>
#include <QRandomGenerator>
#include <QThread>

namespace Plumbrook::Announcements {

namespace {

const QString kSeparator = QStringLiteral("======");

QMutex gMutex;
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

void read()
{
    // The home page is served in GBK.
    const QByteArray page = HttpClient::siteRequest(SiteAddresses::homePage());
    setList(parse(TextOps::fromGbk(page)));
}

void startRead()
{
    QThread *worker = QThread::create(&read);
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

QStringList list()
{
    QMutexLocker lock(&gMutex);
    return gItems;
}

void setList(const QStringList &items)
{
    QMutexLocker lock(&gMutex);
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
