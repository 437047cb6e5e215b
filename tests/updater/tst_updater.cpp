#include "net/site_addresses.h"
#include "net/update_check.h"
#include "support/loopback_server.h"
#include "tools/updater/updater_window.h"
#include "tools/updater/version_file.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <thread>

using namespace Plumbrook;
using namespace Plumbrook::Updater;
using Plumbrook::Test::LoopbackServer;

class TestUpdater : public QObject
{
    Q_OBJECT

private slots:
    void compareVersions_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order");
        QTest::newRow("same") << "v1.0.0" << "v1.0.0" << 0;
        QTest::newRow("missing parts are 0") << "1.2" << "v1.2.0" << 0;
        QTest::newRow("patch newer") << "v1.0.1" << "v1.0.0" << 1;
        QTest::newRow("numeric, not textual") << "v1.10.0" << "v1.9.9" << 1;
        QTest::newRow("older major") << "V0.9" << "v1.0.0" << -1;
        QTest::newRow("longer newer") << "1.0.0.1" << "1.0" << 1;
    }
    void compareVersions()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        QCOMPARE(Updater::compareVersions(a, b), order);
        QCOMPARE(Updater::compareVersions(b, a), -order);
    }

    void parseVersionFile_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("latest");
        QTest::addColumn<QString>("page");
        QTest::newRow("two lines") << QByteArray("v1.2.0\nhttp://x.example/dl\n") << true
                                   << "v1.2.0" << "http://x.example/dl";
        QTest::newRow("crlf, bom, blank lines")
            << QByteArray("\xef\xbb\xbf\r\n 1.3 \r\nhttps://x.example/d?a=1\r\nnotes") << true
            << "1.3" << "https://x.example/d?a=1";
        QTest::newRow("one line") << QByteArray("v1.2.0") << false << "" << "";
        QTest::newRow("not a version") << QByteArray("latest\nhttp://x.example/") << false << ""
                                       << "";
        QTest::newRow("version with letters") << QByteArray("v1.2b\nhttp://x.example/") << false
                                              << "" << "";
        QTest::newRow("not a web page") << QByteArray("v2\nfile:///etc/passwd") << false << ""
                                        << "";
        QTest::newRow("html error page")
            << QByteArray("<html><title>404</title></html>") << false << "" << "";
        QTest::newRow("empty") << QByteArray() << false << "" << "";
    }
    void parseVersionFile()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, valid);
        QFETCH(QString, latest);
        QFETCH(QString, page);
        const std::optional<VersionInfo> info = Updater::parseVersionFile(file);
        QCOMPARE(info.has_value(), valid);
        if (info) {
            QCOMPARE(info->latest, latest);
            QCOMPARE(info->downloadPage, page);
        }
    }

    void readsWhatTheProgramWrites()
    {
        QTemporaryDir dir;
        SiteAddresses::setSiteBase(QStringLiteral("http://127.0.0.1:5"));
        QVERIFY(UpdateCheck::writeSettings(dir.filePath(QStringLiteral("gx.ini"))));
        SiteAddresses::setSiteBase({});
        const UpdateSettings settings = readUpdateSettings(dir.filePath(QStringLiteral("gx.ini")));
        QCOMPARE(settings.version, UpdateCheck::kVersion);
        QCOMPARE(settings.productName, UpdateCheck::kProductName);
        QCOMPARE(settings.id, QStringLiteral("1"));
        QCOMPARE(settings.download,
                 QStringLiteral("http://127.0.0.1:5/Software/download/qorvane.txt"));
    }

    void windowShowsVerdict_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("downloadButton");
        QTest::newRow("up to date") << 200 << QByteArray("v1.0.0\nhttp://x.example/dl") << "已是最新版本"
                                    << false;
        QTest::newRow("older on the site") << 200 << QByteArray("v0.9\nhttp://x.example/dl")
                                           << "已是最新版本" << false;
        QTest::newRow("newer") << 200 << QByteArray("v1.1.0\nhttp://x.example/dl")
                               << "发现新版本 v1.1.0（当前版本 v1.0.0）" << true;
        QTest::newRow("malformed") << 200 << QByteArray("garbage")
                                   << "版本信息格式不正确，无法判断是否有新版本。" << false;
        QTest::newRow("missing") << 404 << QByteArray("v9\nhttp://x.example/dl")
                                 << "无法读取版本信息：服务器返回错误 404。" << false;
        QTest::newRow("server error") << 500 << QByteArray() << "无法读取版本信息：服务器返回错误 500。"
                                      << false;
        QTest::newRow("unreachable") << 0 << QByteArray() << "无法读取版本信息：服务器拒绝连接。" << false;
        QTest::newRow("too large") << 200 << QByteArray(100 * 1024, 'v')
                                   << "无法读取版本信息：服务器返回的不是版本信息文件。" << false;
    }
    void windowShowsVerdict()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, file);
        QFETCH(QString, shown);
        QFETCH(bool, downloadButton);
        LoopbackServer site;
        site.server().Get("/Software/download/qorvane.txt",
                          [status, file](const httplib::Request &, httplib::Response &res) {
                              res.status = status;
                              res.set_content(file.toStdString(), "text/plain");
                          });
        site.start();
        const QString base = status ? site.base() : Test::deadBase();
        UpdaterWindow window({QStringLiteral("v1.0.0"), QStringLiteral("Plumbrook自由布局"),
                              QStringLiteral("1"),
                              base + QStringLiteral("/Software/download/qorvane.txt")});
        window.show();
        auto *label = window.findChild<QLabel *>(QStringLiteral("标签_状态"));
        const QString checking = label->text();
        window.check();
        QTRY_VERIFY(label->text() != checking);
        QCOMPARE(label->text(), shown);
        QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("按钮_下载"))->isVisible(),
                 downloadButton);
    }

    // A server that sends a byte now and then never lets the transfer time-out fire.
    void tricklingServerTimesOut()
    {
        std::atomic<bool> stop{false};
        LoopbackServer site;
        site.server().Get("/Software/download/qorvane.txt",
                          [&stop](const httplib::Request &, httplib::Response &res) {
                              res.set_chunked_content_provider(
                                  "text/plain", [&stop](size_t, httplib::DataSink &sink) {
                                      std::this_thread::sleep_for(std::chrono::milliseconds(50));
                                      return !stop && sink.write(" ", 1);
                                  });
                          });
        site.start();
        UpdaterWindow window({QStringLiteral("v1.0.0"), QStringLiteral("Plumbrook自由布局"),
                              QStringLiteral("1"),
                              site.base() + QStringLiteral("/Software/download/qorvane.txt")});
        window.setOverallTimeout(std::chrono::milliseconds(600));
        window.show();
        auto *label = window.findChild<QLabel *>(QStringLiteral("标签_状态"));
        const QString checking = label->text();
        window.check();
        QTRY_VERIFY_WITH_TIMEOUT(label->text() != checking, 10000);
        QCOMPARE(label->text(), QStringLiteral("无法读取版本信息：检查更新超时，请检查网络后重试。"));
        stop = true;
    }

};

QTEST_MAIN(TestUpdater)
#include "tst_updater.moc"
