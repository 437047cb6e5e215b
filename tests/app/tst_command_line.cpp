#include "model/component_table.h"
#include "model/design_file.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace Plumbrook;

namespace {

struct Run
{
    int exitCode = -1;
    QString openFile;
    QString status;
};

// Starts the designer as a file manager would, in a home folder of its own, and
// reads the design file and the status line it reports after its first event-loop turn.
Run runDesigner(const QTemporaryDir &home, const QString &workingDir, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(workingDir);
    process.start(QStringLiteral(PLUMBROOK_BIN_DIR "/plumbrook"),
                  QStringList{QStringLiteral("--quit-after-start")} + arguments);
    if (!process.waitForFinished(120000))
        return {};
    // Windows' text-mode output ends each line with CR LF.
    const QStringList lines = QString::fromUtf8(process.readAllStandardOutput())
                                  .remove(u'\r').split(u'\n');
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            lines.value(0), lines.value(1)};
}

// Where the designer started by runDesigner keeps its per-user files. Windows finds
// that folder through the shell, not the environment, so there it is the user's own.
QString designerDataDir(const QTemporaryDir &home)
{
#ifdef Q_OS_WIN
    Q_UNUSED(home);
    const QString own = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("Plumbrook"));
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCoreApplication::setApplicationName(own);
    return dir;
#else
    return home.filePath(QStringLiteral("data/Plumbrook"));
#endif
}

// Takes a file of the user's out of the way for one test and puts it back after.
class SetAside
{
public:
    explicit SetAside(const QString &path)
        : mPath(path)
    {
        QFile file(path);
        mExisted = file.open(QIODevice::ReadOnly);
        if (mExisted)
            mBytes = file.readAll();
        file.close();
        QFile::remove(path);
    }
    ~SetAside()
    {
        QFile::remove(mPath);
        QFile file(mPath);
        if (mExisted && file.open(QIODevice::WriteOnly))
            file.write(mBytes);
    }

private:
    QString mPath;
    bool mExisted = false;
    QByteArray mBytes;
};

// The designers' sessions of the user's own, out of the way for one test: one that
// ended without its exit would be put back in place of an empty module.
class SessionsAside
{
public:
    explicit SessionsAside(const QString &dataDir)
        : mPath(dataDir + QStringLiteral("/sessions"))
    {
        QDir(mPath + kAside).removeRecursively();
        mMoved = QDir().rename(mPath, mPath + kAside);
    }
    ~SessionsAside()
    {
        if (!mMoved)
            return;
        QDir(mPath).removeRecursively();
        QDir().rename(mPath + kAside, mPath);
    }

private:
    static constexpr QLatin1StringView kAside{".aside"};
    QString mPath;
    bool mMoved = false;
};

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void opensTheFileGiven_data()
    {
        QTest::addColumn<QString>("argument");   // relative to the working folder
        QTest::addColumn<bool>("opened");

        QTest::newRow("design file") << "设计 1.plbd" << true;
        QTest::newRow("in a subfolder") << "sub/design.plbd" << true;
        QTest::newRow("missing file") << "gone.plbd" << false;
        QTest::newRow("not a design") << "notes.plbd" << false;
        QTest::newRow("a folder") << "sub" << false;
    }

    void opensTheFileGiven()
    {
        QFETCH(QString, argument);
        QFETCH(bool, opened);

        QTemporaryDir home;
        QTemporaryDir files;
        const QDir dir(files.path());
        QVERIFY(dir.mkpath(QStringLiteral("sub")));
        DesignFile::Design design;
        design.rows = {ComponentTable::initialModuleRecord()};
        for (const QString &name : {QStringLiteral("设计 1.plbd"), QStringLiteral("sub/design.plbd")})
            QVERIFY(DesignFile::writeFile(dir.filePath(name), design));
        QFile notes(dir.filePath(QStringLiteral("notes.plbd")));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("shopping list\n");
        notes.close();

        const QString dataDir = designerDataDir(home);
        const SetAside recentFiles(dataDir + QStringLiteral("/recent.ini"));
        const Run run = runDesigner(home, files.path(), {argument});
        QCOMPARE(run.exitCode, 0);
        // The picture layer reports on the status line once it is drawn, so only a
        // failure is sure to be the last message there.
        QCOMPARE(run.openFile, opened ? dir.filePath(argument) : QString());
        if (!opened)
            QVERIFY2(run.status.startsWith(QStringLiteral("文件无法读取：")), qPrintable(run.status));

        QSettings recent(dataDir + QStringLiteral("/recent.ini"), QSettings::IniFormat);
        QCOMPARE(recent.value(QStringLiteral("recentFiles")).toStringList(),
                 opened ? QStringList{dir.filePath(argument)} : QStringList{});
        // It left as "退出软件" does: no marker of an unclean exit.
        QVERIFY(!QFile::exists(dataDir + QStringLiteral("/running")));
    }

    void startsEmptyWithoutArgument()
    {
        QTemporaryDir home;
        const SessionsAside sessions(designerDataDir(home));
        const Run run = runDesigner(home, home.path(), {});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.openFile, QString());
        QVERIFY2(!run.status.startsWith(QStringLiteral("文件无法读取")), qPrintable(run.status));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
