#include "net/site_addresses.h"
#include "net/update_check.h"
#include "support/loopback_server.h"
#include "tools/updater/update_installer.h"
#include "tools/updater/updater_window.h"
#include "tools/updater/version_file.h"

#include <QDirIterator>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <minizip/zip.h>

#include <atomic>
#include <map>
#include <thread>

using namespace Plumbrook;
using namespace Plumbrook::Updater;
using Plumbrook::Test::LoopbackServer;

namespace {

using Files = std::map<QString, QByteArray>;

// A zip of the files, by their paths inside it.
QByteArray zipOf(const Files &files)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("a.zip")));
    zipFile zip = zipOpen64(path.constData(), APPEND_STATUS_CREATE);
    for (const auto &[name, bytes] : files) {
        zip_fileinfo info{};
        zipOpenNewFileInZip64(zip, name.toUtf8().constData(), &info, nullptr, 0, nullptr, 0,
                              nullptr, Z_DEFLATED, 6, 0);
        zipWriteInFileInZip(zip, bytes.constData(), unsigned(bytes.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
    QFile file(QString::fromLocal8Bit(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFiles(const QString &root, const Files &files)
{
    for (const auto &[name, bytes] : files) {
        const QString path = QDir(root).filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
}

// Every file below the folder with its content; the manifest is looked at apart.
Files filesIn(const QString &root)
{
    Files files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = QDir(root).relativeFilePath(path);
        if (name == UpdateInstaller::kManifestFile)
            continue;
        QFile file(path);
        files[name] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?");
    }
    return files;
}

const Files kInstalled{{"plumbrook.exe", "old program"},
                       {"Qt6Core.dll", "old core"},
                       {"platforms/qwindows.dll", "old plugin"},
                       {"gx.ini", "settings"}};

} // namespace

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
        QTest::newRow("archive on the third line")
            << QByteArray("v1.2\nhttp://x.example/dl\n\nhttps://x.example/p-1.2.zip\nnotes") << true
            << "v1.2" << "http://x.example/dl";
        QTest::newRow("a note on the third line")
            << QByteArray("v1.2\nhttp://x.example/dl\nfixes the preview") << true << "v1.2"
            << "http://x.example/dl";
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
            QCOMPARE(info->archive, QString::fromUtf8(file).contains(u".zip")
                                        ? QStringLiteral("https://x.example/p-1.2.zip")
                                        : QString());
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

    // "立即更新" against a loopback site: the files of the zip replace the program's in
    // place, or, when anything goes wrong, the folder stays exactly as it was.
    void updatesInPlace_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<Files>("expected");
        QTest::addColumn<QString>("shown");
        const Files newer{{"Plumbrook-1.1.0-win64/plumbrook.exe", "new program"},
                          {"Plumbrook-1.1.0-win64/Qt6Core.dll", "new core"},
                          {"Plumbrook-1.1.0-win64/platforms/qwindows.dll", "new plugin"},
                          {"Plumbrook-1.1.0-win64/imageformats/qjpeg.dll", "new format"}};
        QTest::newRow("replaced, new files added, the program's own kept")
            << 200 << zipOf(newer)
            << Files{{"plumbrook.exe", "new program"}, {"Qt6Core.dll", "new core"},
                     {"platforms/qwindows.dll", "new plugin"},
                     {"imageformats/qjpeg.dll", "new format"}, {"gx.ini", "settings"}}
            << "已更新到 v1.1.0，重新启动程序后生效。";
        QTest::newRow("files at the top of the zip")
            << 200 << zipOf({{"plumbrook.exe", "new program"}})
            << Files{{"plumbrook.exe", "new program"}, {"Qt6Core.dll", "old core"},
                     {"platforms/qwindows.dll", "old plugin"}, {"gx.ini", "settings"}}
            << "已更新到 v1.1.0，重新启动程序后生效。";
        QTest::newRow("no program in the zip")
            << 200 << zipOf({{"Plumbrook/Qt6Core.dll", "new core"}}) << kInstalled
            << "更新失败：压缩包中没有 plumbrook.exe。";
        QTest::newRow("damaged zip") << 200 << QByteArray("PK\x03\x04 cut short") << kInstalled
                                     << "更新失败：下载的压缩包已损坏。";
        QTest::newRow("zip missing on the site") << 404 << QByteArray() << kInstalled
                                                 << "更新失败：无法下载新版本，请稍后重试或前往下载。";
        // gx.ini is a file where the zip wants a folder: the files placed before it go back.
        QTest::newRow("a file in the way, put back")
            << 200
            << zipOf({{"P/plumbrook.exe", "new program"}, {"P/Qt6Core.dll", "new core"},
                      {"P/gx.ini/x.dll", "blocked"}})
            << kInstalled << "更新失败：无法替换 gx.ini" + QString(QDir::separator()) + "x.dll，程序保持原样。";
    }
    void updatesInPlace()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, archive);
        QFETCH(Files, expected);
        QFETCH(QString, shown);
        QTemporaryDir program;
        writeFiles(program.path(), kInstalled);
        LoopbackServer site;
        site.server().Get("/Software/download/qorvane.txt",
                          [&site](const httplib::Request &, httplib::Response &res) {
                              res.set_content("v1.1.0\nhttp://x.example/dl\n" + site.base().toStdString()
                                                  + "/p.zip\n",
                                              "text/plain");
                          });
        site.server().Get("/p.zip", [status, archive](const httplib::Request &, httplib::Response &res) {
            res.status = status;
            res.set_content(archive.toStdString(), "application/zip");
        });
        site.start();
        UpdaterWindow window({QStringLiteral("v1.0.0"), QStringLiteral("Plumbrook自由布局"),
                              QStringLiteral("1"), site.base() + QStringLiteral("/Software/download/qorvane.txt")});
        window.setProgramDir(program.path());
        window.show();
        auto *update = window.findChild<QPushButton *>(QStringLiteral("按钮_更新"));
        window.check();
        QTRY_VERIFY(update->isVisible());
        QSignalSpy concluded(&window, &UpdaterWindow::concluded);
        QTest::mouseClick(update, Qt::LeftButton);
        QVERIFY(concluded.wait(20000));
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("标签_状态"))->text(), shown);
        QCOMPARE(concluded.at(0).at(0).toBool(), shown.startsWith(u'已'));
        QCOMPARE(filesIn(program.path()), expected);
        QFile manifest(QDir(program.path()).filePath(UpdateInstaller::kManifestFile));
        QCOMPARE(manifest.exists(), shown.startsWith(u'已'));
    }

    // The files an earlier update set aside, held then by the running updater, go with the next.
    void earlierSetAsideFilesGo()
    {
        QTemporaryDir program;
        Files installed = kInstalled;
        installed[QStringLiteral("Qt6Gui.dll.1700000000000.old")] = "held then";
        installed[QStringLiteral("platforms/qwindows.dll.1700000000000.old")] = "held then";
        writeFiles(program.path(), installed);
        const QString zip = program.filePath(QStringLiteral("u.zip"));
        QFile out(zip);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(zipOf({{"plumbrook.exe", "new program"}}));
        out.close();
        QCOMPARE(UpdateInstaller::replace(zip, program.path()), QString());
        QVERIFY(QFile::remove(zip));
        Files expected = kInstalled;
        expected[QStringLiteral("plumbrook.exe")] = "new program";
        QCOMPARE(filesIn(program.path()), expected);
    }

    // Updates add up in the list the uninstaller reads, in Windows' notation.
    void manifestListsEveryUpdatedFile()
    {
        QTemporaryDir program;
        writeFiles(program.path(), kInstalled);
        const QString zip = program.filePath(QStringLiteral("u.zip"));
        for (const Files &files : {Files{{"P/plumbrook.exe", "1"}, {"P/styles/a.dll", "1"}},
                                   Files{{"P/plumbrook.exe", "2"}, {"P/b.dll", "2"}}}) {
            QFile out(zip);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(zipOf(files));
            out.close();
            QCOMPARE(UpdateInstaller::replace(zip, program.path()), QString());
        }
        QFile manifest(QDir(program.path()).filePath(UpdateInstaller::kManifestFile));
        QVERIFY(manifest.open(QIODevice::ReadOnly));
        QCOMPARE(manifest.readAll(), QByteArray("plumbrook.exe\r\nstyles\\a.dll\r\nb.dll\r\n"));
    }

    // Where the folder cannot take the update, or the site names no zip, only the page is offered.
    void updateOfferedOnlyWhereItCanBeDone_data()
    {
        QTest::addColumn<bool>("programThere");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("offered");
        // {base} is the loopback site, which has no zip to give.
        QTest::newRow("program and zip") << true << QByteArray("v2\nhttp://x.example/\n{base}/p.zip")
                                         << true;
        QTest::newRow("no zip named") << true << QByteArray("v2\nhttp://x.example/") << false;
        QTest::newRow("not the program's folder")
            << false << QByteArray("v2\nhttp://x.example/\n{base}/p.zip") << false;
    }
    void updateOfferedOnlyWhereItCanBeDone()
    {
        QFETCH(bool, programThere);
        QFETCH(QByteArray, file);
        QFETCH(bool, offered);
        QTemporaryDir program;
        if (programThere)
            writeFiles(program.path(), kInstalled);
        LoopbackServer site;
        site.server().Get("/v.txt", [file, &site](const httplib::Request &, httplib::Response &res) {
            res.set_content(QByteArray(file).replace("{base}", site.base().toUtf8()).toStdString(),
                            "text/plain");
        });
        site.start();
        UpdaterWindow window({QStringLiteral("v1.0.0"), {}, {}, site.base() + QStringLiteral("/v.txt")});
        window.setProgramDir(program.path());
        window.setUnattended(true);
        window.show();
        QSignalSpy concluded(&window, &UpdaterWindow::concluded);
        window.check();
        QVERIFY(concluded.wait(20000));
        QVERIFY(window.findChild<QPushButton *>(QStringLiteral("按钮_下载"))->isVisible());
        QCOMPARE(window.findChild<QPushButton *>(QStringLiteral("按钮_更新"))->isVisible(), offered);
        // Unattended, an update that can be made is made at once; here the zip is missing.
        QCOMPARE(concluded.at(0).at(0).toBool(), false);
        QCOMPARE(window.findChild<QLabel *>(QStringLiteral("标签_状态"))->text().startsWith(
                     QStringLiteral("更新失败")),
                 offered);
    }
};

QTEST_MAIN(TestUpdater)
#include "tst_updater.moc"
