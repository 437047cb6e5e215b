#include "net/site_addresses.h"

#include <QMutex>

namespace Plumbrook::SiteAddresses {

namespace {

QMutex gMutex;
QString gSiteOverride;
QString gForumOverride;

QString withoutTrailingSlash(QString base)
{
    while (base.endsWith(u'/'))
        base.chop(1);
    return base;
}

} // namespace

QString siteBase()
{
    QMutexLocker lock(&gMutex);
    if (!gSiteOverride.isEmpty())
        return gSiteOverride;
    return QStringLiteral("http://") + QStringLiteral(PLUMBROOK_SITE_HOST);
}

QString forumBase()
{
    QMutexLocker lock(&gMutex);
    if (!gForumOverride.isEmpty())
        return gForumOverride;
    return QStringLiteral("http://") + QStringLiteral(PLUMBROOK_FORUM_HOST);
}

void setSiteBase(const QString &base)
{
    QMutexLocker lock(&gMutex);
    gSiteOverride = withoutTrailingSlash(base);
}

void setForumBase(const QString &base)
{
    QMutexLocker lock(&gMutex);
    gForumOverride = withoutTrailingSlash(base);
}

QString homePage()
{
    return siteBase() + u'/';
}

QString tutorialPage()
{
    return forumBase() + QStringLiteral("/forum.php?gid=42");
}

QString feedbackBoardPage()
{
    return forumBase() + QStringLiteral("/forum-43-1.html");
}

QString newThreadUrl()
{
    return forumBase()
           + QStringLiteral("/forum.php?mod=post&action=newthread&fid=43&extra=&topicsubmit=yes");
}

QString versionFileUrl()
{
    return siteBase() + QStringLiteral("/Software/download/qorvane.txt");
}

} // namespace Plumbrook::SiteAddresses
