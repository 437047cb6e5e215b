#include "model/background_work.h"
#include "net/feedback.h"
#include "net/feedback_window.h"
#include "net/http_client.h"
#include "net/shell_links.h"
#include "net/site_addresses.h"
#include "support/loopback_server.h"
#include "support/test_support.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include <atomic>
#include <mutex>

using namespace Plumbrook;
using Plumbrook::Test::LoopbackServer;

namespace {

const QString kTitle = QStringLiteral("好 b_1");

// A forum that hands out a form hash with a session cookie and records every post.
struct Forum
{
    Forum(const QByteArray &boardPage, const QByteArray &postAnswer)
    {
        server.server().Get("/forum-43-1.html", [boardPage](const httplib::Request &,
                                                            httplib::Response &res) {
            res.set_header("Set-Cookie", "sid=s1; path=/");
            res.set_content(boardPage.toStdString(), "text/html; charset=utf-8");
        });
        server.server().Post("/forum.php", [this, postAnswer](const httplib::Request &req,
                                                             httplib::Response &res) {
            std::lock_guard lock(mutex);
            ++posts;
            body = QByteArray::fromStdString(req.body);
            cookie = QByteArray::fromStdString(req.get_header_value("Cookie"));
            query = QStringList();
            for (const char *key : {"mod", "action", "fid", "extra", "topicsubmit"})
                query << QString::fromStdString(req.get_param_value(key));
            res.set_content(postAnswer.toStdString(), "text/html; charset=utf-8");
        });
        server.start();
        SiteAddresses::setForumBase(server.base());
    }
    ~Forum() { SiteAddresses::setForumBase({}); }

    LoopbackServer server;
    std::mutex mutex;
    std::atomic<int> posts{0};
    QByteArray body;
    QByteArray cookie;
    QStringList query;
};

QByteArray answerTitled(const QString &title)
{
    return (QStringLiteral("<html><head><title>") + title
            + QStringLiteral(" - 意见反馈</title></head></html>"))
        .toUtf8();
}

} // namespace

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

    void validationMovesFocus_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("focused");
        QTest::newRow("both empty") << "" << "" << "编辑框_标题";
        QTest::newRow("text empty") << "t" << "" << "编辑框_内容";
        QTest::newRow("title empty") << "" << "x" << "编辑框_标题";
    }
    void validationMovesFocus()
    {
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(QString, focused);
        Forum forum("", answerTitled(kTitle));
        QStringList statuses;
        FeedbackWindow window([&](const QString &t) { statuses << t; });
        window.show();
        window.findChild<QLineEdit *>(QStringLiteral("编辑框_标题"))->setText(title);
        window.findChild<QPlainTextEdit *>(QStringLiteral("编辑框_内容"))->setPlainText(text);
        auto *submit = window.findChild<QPushButton *>(QStringLiteral("超级按钮2"));
        QTest::mouseClick(submit, Qt::LeftButton);
        QCOMPARE(window.focusWidget()->objectName(), focused);
        QVERIFY(submit->isEnabled());
        // A post, had one started, would have ended and answered by now.
        BackgroundWork::waitForIdle();
        Test::settle();
        QCOMPARE(forum.posts.load(), 0);
        QVERIFY(statuses.isEmpty());
    }

    void buttonCaptions_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("caption");
        QTest::newRow("close") << "超级按钮1" << "关闭";
        QTest::newRow("submit") << "超级按钮2" << "提交";
        QTest::newRow("clear") << "超级按钮3" << "清空";
        QTest::newRow("forum") << "超级按钮4" << "去论坛反馈";
    }
    void buttonCaptions()
    {
        QFETCH(QString, button);
        QFETCH(QString, caption);
        // Made directly: opening would start a form-hash fetch that outlives the test.
        QPointer<FeedbackWindow> window = new FeedbackWindow({});
        window->show();
        auto *pushButton = window->findChild<QPushButton *>(button);
        QVERIFY(pushButton);
        QCOMPARE(pushButton->text(), caption);
        if (button == QStringLiteral("超级按钮1")) {
            QTest::mouseClick(pushButton, Qt::LeftButton);
            QTRY_VERIFY(window.isNull());
        } else {
            delete window;
        }
    }

    void clearEmptiesTextOnly()
    {
        FeedbackWindow window({});
        auto *title = window.findChild<QLineEdit *>(QStringLiteral("编辑框_标题"));
        auto *text = window.findChild<QPlainTextEdit *>(QStringLiteral("编辑框_内容"));
        title->setText(QStringLiteral("标题"));
        text->setPlainText(QStringLiteral("内容"));
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("超级按钮3")),
                          Qt::LeftButton);
        QCOMPARE(title->text(), QStringLiteral("标题"));
        QCOMPARE(text->toPlainText(), QString());
    }

    void submitReportsAndCloses_data()
    {
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("closes");
        QTest::newRow("accepted") << answerTitled(kTitle) << Feedback::kAcceptedMessage << true;
        QTest::newRow("refused") << QByteArray("<title>error</title>") << Feedback::kFailedMessage << false;
    }
    void submitReportsAndCloses()
    {
        QFETCH(QByteArray, answer);
        QFETCH(QString, status);
        QFETCH(bool, closes);
        Forum forum("formhash=h1\"", answer);
        QStringList statuses;
        QWidget owner;
        QPointer<FeedbackWindow> window =
            FeedbackWindow::open([&](const QString &t) { statuses << t; }, &owner);
        QTRY_COMPARE(Feedback::formHash(), QStringLiteral("h1"));
        window->findChild<QLineEdit *>(QStringLiteral("编辑框_标题"))->setText(kTitle);
        window->findChild<QPlainTextEdit *>(QStringLiteral("编辑框_内容"))->setPlainText("x");
        auto *submit = window->findChild<QPushButton *>(QStringLiteral("超级按钮2"));
        QTest::mouseClick(submit, Qt::LeftButton);
        QVERIFY(!submit->isEnabled());
        QTRY_COMPARE(statuses, QStringList{status});
        if (closes) {
            QTRY_VERIFY(window.isNull());
        } else {
            // The typed text stays, to be sent again.
            QVERIFY(window);
            QVERIFY(submit->isEnabled());
            QCOMPARE(window->findChild<QPlainTextEdit *>(QStringLiteral("编辑框_内容"))->toPlainText(),
                     QStringLiteral("x"));
            QCOMPARE(window->findChild<QLineEdit *>(QStringLiteral("编辑框_标题"))->text(), kTitle);
        }
        QCOMPARE(forum.posts.load(), 1);
    }

    void closedWindowStillReports()
    {
        Forum forum("", answerTitled(kTitle));
        QStringList statuses;
        QPointer<FeedbackWindow> window =
            FeedbackWindow::open([&](const QString &t) { statuses << t; }, nullptr);
        window->findChild<QLineEdit *>(QStringLiteral("编辑框_标题"))->setText(kTitle);
        window->findChild<QPlainTextEdit *>(QStringLiteral("编辑框_内容"))->setPlainText("x");
        window->submit();
        window->close();
        QTRY_COMPARE(statuses, QStringList{Feedback::kAcceptedMessage});
    }

    void goToForumOpensBoardAndCloses()
    {
        QList<QUrl> opened;
        ShellLinks::setOpener([&](const QUrl &url) {
            opened << url;
            return true;
        });
        SiteAddresses::setForumBase(Test::deadBase());
        QPointer<FeedbackWindow> window = FeedbackWindow::open({}, nullptr);
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("超级按钮4")),
                          Qt::LeftButton);
        QTRY_VERIFY(window.isNull());
        QCOMPARE(opened, QList<QUrl>{QUrl(Test::deadBase() + "/forum-43-1.html")});
        ShellLinks::setOpener({});
        SiteAddresses::setForumBase({});
    }
};

QTEST_MAIN(TestFeedback)
#include "tst_feedback.moc"
