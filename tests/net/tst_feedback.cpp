#include "net/feedback.h"
#include "net/http_client.h"
#include "net/site_addresses.h"
#include "support/loopback_forum.h"
#include "support/test_support.h"

#include <QtTest>

using namespace Plumbrook;
using Plumbrook::Test::answerTitled;
using Plumbrook::Test::Forum;
using Plumbrook::Test::kTitle;

class TestFeedback : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        HttpClient::setSiteCookieJar({});
        Feedback::setFormHash({});
        Feedback::setClock({});
    }

    void formHashIn_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("hash");
        QTest::newRow("link") << "<a href=\"member.php?formhash=9f2c1a\">x</a>" << "9f2c1a";
        QTest::newRow("first of two") << "formhash=a1\" formhash=b2\"" << "a1";
        QTest::newRow("no marker") << "<input name=\"formhash\" value=\"x\">" << "";
        QTest::newRow("no closing quote") << "formhash=abc" << "";
        QTest::newRow("empty page") << "" << "";
    }
    void formHashIn()
    {
        QFETCH(QString, page);
        QFETCH(QString, hash);
        QCOMPARE(Feedback::formHashIn(page), hash);
    }

    void postTime_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("time");
        QTest::newRow("example") << QDateTime(QDate(2021, 1, 1), QTime(8, 0, 0, 7))
                                 << "1609459200007";
        QTest::newRow("last millisecond") << QDateTime(QDate(2021, 1, 1), QTime(23, 59, 59, 999))
                                          << "1609516799999";
        QTest::newRow("epoch") << QDateTime(QDate(1970, 1, 1), QTime(8, 0, 0, 0)) << "0000";
    }
    void postTime()
    {
        QFETCH(QDateTime, now);
        QFETCH(QString, time);
        QCOMPARE(Feedback::postTime(now), time);
    }

    void isAccepted_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("titled after the post") << answerTitled(kTitle) << true;
        QTest::newRow("another title") << answerTitled(QStringLiteral("提示信息")) << false;
        QTest::newRow("title further inside") << QByteArray("<title>x 好 b_1</title>") << false;
        QTest::newRow("title in GBK") << QByteArray("<title>\xba\xc3 b_1</title>") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void isAccepted()
    {
        QFETCH(QByteArray, answer);
        QFETCH(bool, accepted);
        QCOMPARE(Feedback::isAccepted(answer, kTitle), accepted);
    }

    void fetchFormHash()
    {
        {
            Forum forum("<a href=\"logout&amp;formhash=77ab01\">", "");
            Feedback::fetchFormHash();
            QCOMPARE(Feedback::formHash(), QStringLiteral("77ab01"));
            QCOMPARE(HttpClient::siteCookieJar(), QStringLiteral("sid=s1"));
        }
        Forum withoutHash("<html>maintenance</html>", "");
        Feedback::fetchFormHash();
        QCOMPARE(Feedback::formHash(), QString());
    }

    void postSendsFieldsInOrder()
    {
        Forum forum("formhash=77ab01\"", answerTitled(kTitle));
        Feedback::fetchFormHash();
        Feedback::setClock([] { return QDateTime(QDate(2021, 1, 1), QTime(8, 0, 0, 7)); });

        QVERIFY(Feedback::post(kTitle, QStringLiteral("a&b=c\n好")));

        const QStringList fields = QString::fromUtf8(forum.body).split(u'&');
        const QStringList expected = {
            QStringLiteral("formhash=77ab01"), QStringLiteral("posttime=1609459200007"),
            QStringLiteral("wysiwyg=1"), QStringLiteral("subject=%E5%A5%BD%20b%5F1"),
            QStringLiteral("message=a%26b%3Dc%0A%E5%A5%BD")};
        QCOMPARE(fields, expected);
        QCOMPARE(forum.query, QStringList({"post", "newthread", "43", "", "yes"}));
        // The session the board page opened goes along with the post.
        QCOMPARE(forum.cookie, QByteArray("sid=s1"));
    }

    void postFailures_data()
    {
        QTest::addColumn<bool>("serverUp");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("forum refuses") << true << answerTitled(QStringLiteral("提示信息"));
        QTest::newRow("empty answer") << true << QByteArray();
        QTest::newRow("forum unreachable") << false << QByteArray();
    }
    void postFailures()
    {
        QFETCH(bool, serverUp);
        QFETCH(QByteArray, answer);
        std::unique_ptr<Forum> forum;
        if (serverUp)
            forum = std::make_unique<Forum>("", answer);
        else
            SiteAddresses::setForumBase(Test::deadBase());
        QVERIFY(!Feedback::post(kTitle, QStringLiteral("text")));
        SiteAddresses::setForumBase({});
    }
};

QTEST_MAIN(TestFeedback)
#include "tst_feedback.moc"
