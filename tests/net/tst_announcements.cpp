#include "canvas/main_window.h"
#include "model/text_ops.h"
#include "net/announcements.h"
#include "net/site_addresses.h"
#include "support/editor_driving.h"
#include "support/loopback_server.h"

#include <QLabel>
#include <QSet>
#include <QTimer>
#include <QtTest>

using namespace Plumbrook;
using Plumbrook::Test::LoopbackServer;

namespace {

QString anchor(const QString &href, const QString &title)
{
    return QStringLiteral("<li><a href=\"%1\" target=\"_blank\" class=\"xi2\">%2</a></li>")
        .arg(href, title);
}

QString page(const QString &block)
{
    return QStringLiteral("<html><body>") + anchor(QStringLiteral("/outside.html"),
                                                    QStringLiteral("不算"))
           + block + QStringLiteral("</body></html>");
}

} // namespace

class TestAnnouncements : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        Announcements::setList({});
        SiteAddresses::setSiteBase({});
    }

    void parse_data()
    {
        QTest::addColumn<QString>("homePage");
        QTest::addColumn<QStringList>("items");
        const QString three = anchor("/t/7.html", "新版") + anchor("/t/8.html", "教程 更新")
                              + anchor("http://x.example/9", "活动");
        QTest::newRow("three") << page("<ul id=\"anc_list\">" + three + "</ul>")
                               << QStringList{"/t/7.html======新版", "/t/8.html======教程 更新",
                                              "http://x.example/9======活动"};
        QTest::newRow("no block") << page(three) << QStringList();
        QTest::newRow("block never closed") << page("<ul id=\"anc\">" + three) << QStringList();
        QTest::newRow("empty title")
            << page("<ul id=\"anc\">" + anchor("/t/1.html", "") + "</ul>")
            << QStringList{"/t/1.html======"};
        QTest::newRow("garbage block")
            << page("<ul id=\"anc\"><a href=\"\" class=xi2>\x01<<>></a href=\"a b\"></ul>")
            << QStringList();
        QTest::newRow("anchor after the block")
            << page("<ul id=\"anc\"></ul>" + anchor("/t/2.html", "后面")) << QStringList();
        QTest::newRow("letter case ignored")
            << page("<ul id=\"anc\"><A HREF=\"/u\" TARGET=\"_blank\" CLASS=\"xi2\">x</A></ul>")
            << QStringList{"/u======x"};
    }
    void parse()
    {
        QFETCH(QString, homePage);
        QFETCH(QStringList, items);
        QCOMPARE(Announcements::parse(homePage), items);
    }

    void readFetchesGbkHomePage()
    {
        LoopbackServer site;
        const QByteArray body = TextOps::toGbk(
            page("<ul id=\"anc\">" + anchor("/t/7.html", "新版发布") + "</ul>"));
        site.server().Get("/", [body](const httplib::Request &, httplib::Response &res) {
            res.set_content(body.toStdString(), "text/html; charset=gbk");
        });
        site.start();
        SiteAddresses::setSiteBase(site.base());
        Announcements::read();
        QCOMPARE(Announcements::list(), QStringList{"/t/7.html======新版发布"});
    }

    void failedReadEmptiesList_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("unreachable") << 0;
        QTest::newRow("error page") << 500;
    }
    void failedReadEmptiesList()
    {
        QFETCH(int, status);
        Announcements::setList({"/old======旧"});
        LoopbackServer site;
        site.server().Get("/", [status](const httplib::Request &, httplib::Response &res) {
            res.status = status;
            res.set_content("<h1>Internal Server Error</h1>", "text/html");
        });
        site.start();
        SiteAddresses::setSiteBase(status ? site.base() : Test::deadBase());
        Announcements::read();
        QCOMPARE(Announcements::list(), QStringList());
        QCOMPARE(Announcements::displayText(), Announcements::kFailureMessage);
    }

    void displayPicksRandomTitles()
    {
        Announcements::setList({"/a======一", "/b======二", "/c======三"});
        QSet<QString> shown;
        for (int i = 0; i < 200; ++i)
            shown.insert(Announcements::displayText());
        QCOMPARE(shown, QSet<QString>({"一", "二", "三"}));
    }

    void clockTickWritesStatusLine()
    {
        Test::DesignerWindow designer;
        MainWindow &window = *designer.window();
        auto *clock = window.findChild<QTimer *>(QStringLiteral("时钟1"));
        QVERIFY(clock);
        QCOMPARE(clock->interval(), 300000);
        QVERIFY(clock->isActive());

        window.onClockTick();
        QCOMPARE(window.statusText(), Announcements::kFailureMessage);
        Announcements::setList({"/t/1.html======"});
        window.onClockTick();
        QCOMPARE(window.statusText(), QString());
    }

    void startReadFillsListInBackground()
    {
        LoopbackServer site;
        site.server().Get("/", [](const httplib::Request &, httplib::Response &res) {
            res.set_content(page("<ul id=\"anc\">" + anchor("/t/3.html", "three") + "</ul>")
                                .toStdString(),
                            "text/html");
        });
        site.start();
        SiteAddresses::setSiteBase(site.base());
        Announcements::startRead();
        QTRY_COMPARE(Announcements::list(), QStringList{"/t/3.html======three"});
    }
};

QTEST_MAIN(TestAnnouncements)
#include "tst_announcements.moc"
