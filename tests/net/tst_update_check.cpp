#include "canvas/main_window.h"
#include "model/text_ops.h"
#include "model/program_dir.h"
#include "model/background_work.h"
#include "net/desktop_shortcut.h"
#include "net/shell_links.h"
#include "net/site_addresses.h"
#include "net/update_check.h"
#include "net/updater_token.h"
#include "support/editor_driving.h"
#include "support/test_support.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <minizip/zip.h>

#ifdef Q_OS_WIN
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#endif

using namespace Plumbrook;

namespace {

struct StartCall
{
    QString program;
    QStringList arguments;
    QString workingDir;
};

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A ZIP archive with the given entries, written with minizip's own writer.
QByteArray makeZip(const QList<QPair<QByteArray, QByteArray>> &entries)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("t.zip")));
    zipFile zip = zipOpen64(path.constData(), APPEND_STATUS_CREATE);
    for (const auto &[name, bytes] : entries) {
        zip_fileinfo info{};
        zipOpenNewFileInZip64(zip, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                              Z_DEFLATED, 6, 0);
        zipWriteInFileInZip(zip, bytes.constData(), unsigned(bytes.size()));
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
    return readAll(dir.filePath(QStringLiteral("t.zip")));
}

#ifdef Q_OS_WIN
// The target of a shell link, as the shell reads it.
QString shellLinkTarget(const QString &link)
{
    const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    QString target;
    IShellLinkW *shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IShellLinkW, reinterpret_cast<void **>(&shellLink)))) {
        IPersistFile *file = nullptr;
        if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)))) {
            // Read through the item list, as the shell follows a link: the stored path
            // string comes back through the 8-bit code page on some systems.
            wchar_t path[MAX_PATH] = {};
            PIDLIST_ABSOLUTE items = nullptr;
            if (SUCCEEDED(file->Load(reinterpret_cast<const wchar_t *>(
                                         QDir::toNativeSeparators(link).utf16()), STGM_READ))
                && SUCCEEDED(shellLink->GetIDList(&items)) && items) {
                if (SHGetPathFromIDListW(items, path))
                    target = QString::fromWCharArray(path);
                CoTaskMemFree(items);
            }
            file->Release();
        }
        shellLink->Release();
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return target;
}
#endif

} // namespace

class TestUpdateCheck : public QObject
{
    Q_OBJECT

private:
    QList<StartCall> mStarts;
    bool mStartResult = true;

    void recordStarts()
    {
        UpdateCheck::setStarter([this](const QString &program, const QStringList &arguments,
                                       const QString &workingDir) {
            mStarts.append({program, arguments, workingDir});
            return mStartResult;
        });
    }

private slots:
    void init()
    {
        mStarts.clear();
        mStartResult = true;
        SiteAddresses::setSiteBase(QStringLiteral("http://127.0.0.1:1"));
    }
    void cleanup()
    {
        UpdateCheck::setStarter({});
        UpdateCheck::setCarriedArchive({});
        SiteAddresses::setSiteBase({});
        ShellLinks::setOpener({});
    }

    void unpacksCarriedUpdaterWhenMissing()
    {
        Test::TemporaryProgramDir dir;
        recordStarts();
        QCOMPARE(UpdateCheck::run(), UpdateCheck::kStarted);

        const QString updater = dir.path() + QStringLiteral("/xz.exe");
        QCOMPARE(readAll(updater), readAll(QStringLiteral(PLUMBROOK_BIN_DIR "/plumbrook_updater" PLUMBROOK_EXE_SUFFIX)));
        QVERIFY(QFileInfo(updater).isExecutable());
        QVERIFY(!QFile::exists(dir.path() + QStringLiteral("/xz.zip")));
        QCOMPARE(mStarts.size(), 1);
        QCOMPARE(mStarts[0].program, updater);
        QCOMPARE(mStarts[0].arguments, QStringList{updaterToken()});
        QCOMPARE(mStarts[0].workingDir, dir.path());
    }

    void keepsPresentUpdater()
    {
        Test::TemporaryProgramDir dir;
        writeAll(dir.path() + QStringLiteral("/xz.exe"), "ours");
        UpdateCheck::setCarriedArchive("must not be written");
        recordStarts();
        QCOMPARE(UpdateCheck::run(), UpdateCheck::kStarted);
        QCOMPARE(readAll(dir.path() + QStringLiteral("/xz.exe")), QByteArray("ours"));
        QVERIFY(!QFile::exists(dir.path() + QStringLiteral("/xz.zip")));
        QCOMPARE(mStarts.size(), 1);
    }

    void installedCopyStartsItsBundledUpdater_data()
    {
        QTest::addColumn<bool>("bundledPresent");
        QTest::newRow("bundled updater present") << true;
        QTest::newRow("bundled updater removed") << false;
    }
    void installedCopyStartsItsBundledUpdater()
    {
        QFETCH(bool, bundledPresent);
        QTemporaryDir perUser;
        QTemporaryDir bundled;
        const QString bundledUpdater = bundled.filePath(QStringLiteral("xz.exe"));
        if (bundledPresent)
            writeAll(bundledUpdater, "installed");
        ProgramDir::setOverride(perUser.path(), bundled.path());
        recordStarts();
        QCOMPARE(UpdateCheck::run(), UpdateCheck::kStarted);
        ProgramDir::setOverride({});

        const QString unpacked = perUser.filePath(QStringLiteral("xz.exe"));
        QCOMPARE(mStarts.size(), 1);
        QCOMPARE(mStarts[0].program, bundledPresent ? bundledUpdater : unpacked);
        // Started where gx.ini is, which is never the shared folder.
        QCOMPARE(mStarts[0].workingDir, perUser.path());
        QVERIFY(QFile::exists(perUser.filePath(QStringLiteral("gx.ini"))));
        QCOMPARE(QFile::exists(unpacked), !bundledPresent);
        QCOMPARE(QDir(bundled.path()).entryList(QDir::Files),
                 bundledPresent ? QStringList{"xz.exe"} : QStringList{});
    }

    void settingsFileKeysInOrder()
    {
        Test::TemporaryProgramDir dir;
        const QString ini = dir.path() + QStringLiteral("/gx.ini");
        // An older file with the keys in another order is replaced, not patched.
        writeAll(ini, TextOps::toGbk(QStringLiteral("[配置]\r\ndownload=old\r\nid=9\r\n")));
        writeAll(dir.path() + QStringLiteral("/xz.exe"), "ours");
        recordStarts();
        UpdateCheck::run();

        const QByteArray bytes = readAll(ini);
        QVERIFY(bytes.contains(TextOps::toGbk(QStringLiteral("[配置]"))));
        const QStringList lines =
            TextOps::fromGbk(bytes).split(QRegularExpression(QStringLiteral("\r?\n")),
                                          Qt::SkipEmptyParts);
        QCOMPARE(lines, QStringList({"[配置]", "版本=v1.0.0", "文件名=Plumbrook自由布局", "id=1",
                                     "download=http://127.0.0.1:1/Software/download/qorvane.txt"}));
    }

    void startFailureRemovesSettings_data()
    {
        QTest::addColumn<QByteArray>("updater");
        QTest::newRow("not a program") << QByteArray("\x7f" "ELF broken");
        QTest::newRow("missing after a damaged archive") << QByteArray();
    }
    void startFailureRemovesSettings()
    {
        QFETCH(QByteArray, updater);
        Test::TemporaryProgramDir dir;
        if (!updater.isEmpty())
            writeAll(dir.path() + QStringLiteral("/xz.exe"), updater);
        else
            UpdateCheck::setCarriedArchive("PK\x03\x04 not really a zip");
        QCOMPARE(UpdateCheck::run(), UpdateCheck::kStartFailed);
        QVERIFY(!QFile::exists(dir.path() + QStringLiteral("/gx.ini")));
        QVERIFY(!QFile::exists(dir.path() + QStringLiteral("/xz.zip")));
    }

    void startsUpdaterDetached()
    {
#ifdef Q_OS_WIN
        QSKIP("the stand-in updater is a shell script");
#endif
        Test::TemporaryProgramDir dir;
        const QString updater = dir.path() + QStringLiteral("/xz.exe");
        writeAll(updater, "#!/bin/sh\necho \"$@\" > started.txt\n");
        QFile::setPermissions(updater, QFile::permissions(updater) | QFileDevice::ExeOwner);
        QCOMPARE(UpdateCheck::run(), UpdateCheck::kStarted);
        QTRY_COMPARE(readAll(dir.path() + QStringLiteral("/started.txt")).trimmed(),
                     updaterToken().toUtf8());
        QVERIFY(QFile::exists(dir.path() + QStringLiteral("/gx.ini")));
    }

    void unwritableProgramDir()
    {
        QTemporaryDir temp;
        writeAll(temp.filePath(QStringLiteral("file")), "x");
        ProgramDir::setOverride(temp.filePath(QStringLiteral("file/sub")));
        recordStarts();
        QCOMPARE(UpdateCheck::run(), UpdateCheck::kArchiveWriteFailed);
        QVERIFY(mStarts.isEmpty());
        ProgramDir::setOverride({});
    }

    void unpackKeepsDamagedEntriesOut_data()
    {
        QTest::addColumn<QByteArray>("archive");
        QTest::addColumn<bool>("unpacked");
        QTest::addColumn<QStringList>("files");
        const QByteArray good = makeZip({{"xz.exe", QByteArray(5000, 'u')}});
        QTest::newRow("good") << good << true << QStringList{"xz.exe", "xz.zip"};
        QTest::newRow("cut short") << good.left(good.size() / 2) << false << QStringList{"xz.zip"};
        QTest::newRow("empty") << QByteArray() << false << QStringList{"xz.zip"};
        QTest::newRow("escaping entry")
            << makeZip({{"../evil", "x"}, {"ok.txt", "y"}}) << false
            << QStringList{"ok.txt", "xz.zip"};
    }
    void unpackKeepsDamagedEntriesOut()
    {
        QFETCH(QByteArray, archive);
        QFETCH(bool, unpacked);
        QFETCH(QStringList, files);
        QTemporaryDir parent;
        // A folder name no ANSI code page but China's holds.
        const QString dir = parent.filePath(QStringLiteral("程序 文件夹"));
        QDir().mkpath(dir);
        writeAll(dir + QStringLiteral("/xz.zip"), archive);
        QCOMPARE(UpdateCheck::unpack(dir + QStringLiteral("/xz.zip"), dir), unpacked);
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), files);
        QVERIFY(!QFile::exists(parent.filePath(QStringLiteral("evil"))));
    }

    void updaterRefusesToRunWithoutToken()
    {
        QProcess updater;
        updater.start(QStringLiteral(PLUMBROOK_BIN_DIR "/plumbrook_updater"), {"wrong"});
        QVERIFY(updater.waitForFinished(10000));
        QCOMPARE(updater.exitCode(), 2);
    }

#ifdef Q_OS_WIN
    void shortcutOnDesktop()
    {
        const QString link = DesktopShortcut::linkPath();
        QVERIFY2(link.endsWith(QStringLiteral("/Plumbrook自由布局.lnk")), qPrintable(link));
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("设计器/plumbrook.exe"));
        QVERIFY(QDir().mkpath(QFileInfo(target).path()));
        writeAll(target, "MZ");
        writeAll(link, "stale");
        for (int i = 0; i < 2; ++i) {
            QVERIFY(DesktopShortcut::create(target));
            QCOMPARE(shellLinkTarget(link), QDir::toNativeSeparators(target));
        }
        QVERIFY(QFile::remove(link));
        QCOMPARE(DesktopShortcut::run(), DesktopShortcut::kCreated);
        QCOMPARE(shellLinkTarget(link),
                 QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
        QFile::remove(link);
    }
#else
    void shortcutOnDesktop()
    {
        QTemporaryDir home;
        const QByteArray oldHome = qgetenv("HOME");
        const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral(".config"))));
        const QString link = home.filePath(QStringLiteral("Desktop/Plumbrook自由布局.desktop"));
        QCOMPARE(DesktopShortcut::linkPath(), link);

        QCOMPARE(DesktopShortcut::run(), DesktopShortcut::kFailed);
        QDir(home.path()).mkdir(QStringLiteral("Desktop"));
        writeAll(link, "stale");
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(DesktopShortcut::run(), DesktopShortcut::kCreated);
            const QString entry = QString::fromUtf8(readAll(link));
            QVERIFY(entry.startsWith(QStringLiteral("[Desktop Entry]\n")));
            QVERIFY(entry.contains(QStringLiteral("Exec=\"")
                                   + QCoreApplication::applicationFilePath() + u'"'));
            QVERIFY(QFileInfo(link).isExecutable());
        }
        qputenv("HOME", oldHome);
        qputenv("XDG_CONFIG_HOME", oldConfig);
    }

#endif

    void desktopEntryQuotesPath_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("exec");
        QTest::newRow("space") << "/opt/a b/pb" << "Exec=\"/opt/a b/pb\"";
        QTest::newRow("specials") << "/x/$a\"b`%" << "Exec=\"/x/\\\\$a\\\\\"b\\\\`%%\"";
        QTest::newRow("backslash") << "/x\\y" << "Exec=\"/x\\\\\\\\y\"";
    }
    void desktopEntryQuotesPath()
    {
        QFETCH(QString, target);
        QFETCH(QString, exec);
        QVERIFY2(DesktopShortcut::desktopEntry(target).contains(exec + u'\n'),
                 qPrintable(DesktopShortcut::desktopEntry(target)));
    }

    void settingsMenuItems_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("status");
        QTest::newRow("tutorial") << "使用教程" << "http://bbs.test:8/forum.php?gid=42" << "";
        QTest::newRow("website") << "官方网站" << "http://www.test:9/" << "";
        QTest::newRow("update") << "检测更新" << "" << UpdateCheck::kStarted;
    }
    void settingsMenuItems()
    {
        QFETCH(QString, item);
        QFETCH(QString, opened);
        QFETCH(QString, status);
        Test::DesignerWindow designer;
        writeAll(designer.dirPath() + QStringLiteral("/xz.exe"), "ours");
        recordStarts();
        SiteAddresses::setSiteBase(QStringLiteral("http://www.test:9"));
        SiteAddresses::setForumBase(QStringLiteral("http://bbs.test:8/"));
        QStringList urls;
        ShellLinks::setOpener([&](const QUrl &url) {
            urls << url.toString();
            return true;
        });
        MainWindow &window = *designer.window();
        const QString before = window.statusText();
        for (QAction *action : window.settingsMenu()->actions()) {
            if (action->text() == item)
                action->trigger();
        }
        QCOMPARE(urls, opened.isEmpty() ? QStringList() : QStringList{opened});
        BackgroundWork::waitForIdle();
        QTRY_COMPARE(window.statusText(), status.isEmpty() ? before : status);
        SiteAddresses::setForumBase({});
    }
};

QTEST_MAIN(TestUpdateCheck)
#include "tst_update_check.moc"
