#include "net/feedback.h"

#include "model/text_ops.h"
#include "net/http_client.h"
#include "net/site_addresses.h"

#include <QMutex>

namespace Plumbrook::Feedback {

namespace {

QMutex gMutex;
QString gFormHash;
Clock gClock;

QDateTime now()
{
    QMutexLocker lock(&gMutex);
    return gClock ? gClock() : QDateTime::currentDateTime();
}

} // namespace

QString formHashIn(const QString &page)
{
    return TextOps::between(page, QStringLiteral("formhash="), QStringLiteral("\""));
}

void fetchFormHash()
{
    const QByteArray page = HttpClient::siteRequest(SiteAddresses::feedbackBoardPage(), 0, {},
                                                    HttpClient::Jar::Site);
    setFormHash(formHashIn(QString::fromUtf8(page)));
}

QString formHash()
{
    QMutexLocker lock(&gMutex);
    return gFormHash;
}

void setFormHash(const QString &hash)
{
    QMutexLocker lock(&gMutex);
    gFormHash = hash;
}

QString postTime(const QDateTime &localNow)
{
    // Wall-clock arithmetic on purpose: the forum expects the local time counted
    // from 08:00 on the epoch day, whatever the machine's zone.
    const QTime time = localNow.time();
    const qint64 seconds = QDate(1970, 1, 1).daysTo(localNow.date()) * 86400
                           + time.msecsSinceStartOfDay() / 1000 - 8 * 3600;
    return QString::number(seconds) + QStringLiteral("%1").arg(time.msec(), 3, 10, QLatin1Char('0'));
}

QByteArray postBody(const QString &hash, const QString &time, const QString &title,
                    const QString &text)
{
    const QString body = QStringLiteral("formhash=") + hash + QStringLiteral("&posttime=") + time
                         + QStringLiteral("&wysiwyg=1&subject=") + TextOps::urlEncode(title)
                         + QStringLiteral("&message=") + TextOps::urlEncode(text);
    return body.toUtf8();
}

bool isAccepted(const QByteArray &answer, const QString &title)
{
    return QString::fromUtf8(answer).contains(QStringLiteral("<title>") + title);
}

bool post(const QString &title, const QString &text)
{
    const QByteArray body = postBody(formHash(), postTime(now()), title, text);
    const QByteArray answer = HttpClient::siteRequest(SiteAddresses::newThreadUrl(), 1, body,
                                                      HttpClient::Jar::Site);
    return isAccepted(answer, title);
}

void setClock(Clock clock)
{
    QMutexLocker lock(&gMutex);
    gClock = std::move(clock);
}

} // namespace Plumbrook::Feedback
