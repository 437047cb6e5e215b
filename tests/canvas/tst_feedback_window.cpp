// The feedback window: checks before a post, its buttons, and what it reports.
#include "canvas/feedback_window.h"
#include "model/background_work.h"
#include "net/feedback.h"
#include "net/http_client.h"
#include "net/shell_links.h"
#include "net/site_addresses.h"
#include "support/loopback_forum.h"
#include "support/test_support.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace Plumbrook;
using Plumbrook::Test::answerTitled;
using Plumbrook::Test::Forum;
using Plumbrook::Test::kTitle;

class TestFeedbackWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        HttpClient::setSiteCookieJar({});
        Feedback::setFormHash({});
        Feedback::setClock({});
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

QTEST_MAIN(TestFeedbackWindow)
#include "tst_feedback_window.moc"
