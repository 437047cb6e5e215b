#include "model/program_dir.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using namespace Plumbrook;

class TestProgramDir : public QObject
{
    Q_OBJECT

private slots:
    void locate_data()
    {
        // Folders below a temporary root; "-" marks a read-only one.
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QString>("exeDir");
        QTest::addColumn<QString>("writable");
        QTest::addColumn<QString>("bundled");

        QTest::newRow("build tree") << QStringList{"build/bin"} << "build/bin" << "build/bin" << "";
        QTest::newRow("unpacked beside its files")
            << QStringList{"portable", "portable/data/code"} << "portable" << "portable" << "";
        QTest::newRow("installed under a prefix")
            << QStringList{"usr/bin", "usr/lib/plumbrook"} << "usr/bin" << "home" << "usr/lib/plumbrook";
        QTest::newRow("installed in the home folder")
            << QStringList{"home/.local/bin", "home/.local/lib/plumbrook"} << "home/.local/bin" << "home"
            << "home/.local/lib/plumbrook";
        // Another program's private folder does not make this one an installed copy.
        QTest::newRow("prefix without our folder")
            << QStringList{"opt/bin", "opt/lib/other"} << "opt/bin" << "opt/bin" << "";
        QTest::newRow("lib/plumbrook is a file")
            << QStringList{"odd/bin", "odd/lib", "odd/lib/plumbrook:file"} << "odd/bin" << "odd/bin" << "";
        QTest::newRow("read-only folder") << QStringList{"ro/bin-"} << "ro/bin" << "home" << "";
        QTest::newRow("missing folder") << QStringList{} << "gone/bin" << "home" << "";
        // Refused even to root and under wine, where folder permissions are not enforced:
        // the nearest a test gets to a program unpacked under Program Files.
        if (QFileInfo(QStringLiteral("/sys")).isDir())
            QTest::newRow("folder nobody may write") << QStringList{} << "/sys" << "home" << "";
    }

    void locate()
    {
        QFETCH(QStringList, folders);
        QFETCH(QString, exeDir);
        QFETCH(QString, writable);
        QFETCH(QString, bundled);

        QTemporaryDir root;
        const QDir dir(root.path());
        QVERIFY(dir.mkpath(QStringLiteral("home")));
        for (QString folder : folders) {
            if (folder.endsWith(QStringLiteral(":file"))) {
                QFile file(dir.filePath(folder.chopped(5)));
                QVERIFY(file.open(QIODevice::WriteOnly));
                continue;
            }
            const bool readOnly = folder.endsWith(u'-');
            if (readOnly)
                folder.chop(1);
            QVERIFY(dir.mkpath(folder));
            if (readOnly) {
#ifdef Q_OS_WIN
                QSKIP("a folder's read-only attribute does not stop writing into it on Windows");
#else
                if (geteuid() == 0)
                    QSKIP("root writes into read-only folders");
                QFile::setPermissions(dir.filePath(folder), QFile::ReadOwner | QFile::ExeOwner);
#endif
            }
        }

        const auto where = ProgramDir::locate(dir.filePath(exeDir), dir.filePath(QStringLiteral("home")));
        QCOMPARE(where.writable, dir.filePath(writable));
        QCOMPARE(where.bundled, bundled.isEmpty() ? QString() : dir.filePath(bundled));
        // Deciding leaves nothing behind in the executable's folder.
        if (QFileInfo(dir.filePath(exeDir)).isDir())
            QVERIFY(QDir(dir.filePath(exeDir)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                        .filter(QStringLiteral("probe")).isEmpty());
    }

    void installedFolderIsNeverProbed()
    {
        // A probe would change the shared folder even when nothing stays in it.
        QTemporaryDir root;
        const QDir dir(root.path());
        QVERIFY(dir.mkpath(QStringLiteral("usr/bin")) && dir.mkpath(QStringLiteral("usr/lib/plumbrook")));
        const QDateTime before = QFileInfo(dir.filePath(QStringLiteral("usr/bin"))).lastModified();
        QTest::qWait(20);
        ProgramDir::locate(dir.filePath(QStringLiteral("usr/bin")), dir.filePath(QStringLiteral("home")));
        QCOMPARE(QFileInfo(dir.filePath(QStringLiteral("usr/bin"))).lastModified(), before);
    }

    void overrideCarriesTheBundledFolder()
    {
        ProgramDir::setOverride(QStringLiteral("/tmp/a"), QStringLiteral("/tmp/b"));
        QCOMPARE(ProgramDir::filePath(QStringLiteral("yl.html")), QStringLiteral("/tmp/a/yl.html"));
        QCOMPARE(ProgramDir::bundledDir(), QStringLiteral("/tmp/b"));
        ProgramDir::setOverride(QStringLiteral("/tmp/c"));
        QCOMPARE(ProgramDir::bundledDir(), QString());
        ProgramDir::setOverride(QString());
    }

    // A test's own folder inside a fixture's: gone, it leaves the fixture's folder, with its
    // bundled one, in place and not the program's own.
    void nestedFoldersPutTheOuterOneBack()
    {
        const QString own = ProgramDir::path();
        ProgramDir::setOverride(QStringLiteral("/tmp/outer"), QStringLiteral("/tmp/outer-bundled"));
        {
            Test::TemporaryProgramDir inner;
            QCOMPARE(ProgramDir::path(), inner.path());
            QCOMPARE(ProgramDir::bundledDir(), QString());
        }
        QCOMPARE(ProgramDir::path(), QStringLiteral("/tmp/outer"));
        QCOMPARE(ProgramDir::bundledDir(), QStringLiteral("/tmp/outer-bundled"));
        ProgramDir::setOverride(QString());
        {
            Test::TemporaryProgramDir alone;
        }
        QCOMPARE(ProgramDir::path(), own);
    }
};

QTEST_GUILESS_MAIN(TestProgramDir)
#include "tst_program_dir.moc"
