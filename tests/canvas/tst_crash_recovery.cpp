// A designer killed at any moment while it saves and autosaves: each file it was writing
// is its old or its new version, and the next start offers its design with at most the
// last two seconds of edits missing.
#include "canvas/file_menu.h"
#include "canvas/main_window.h"
#include "canvas/design_canvas.h"
#include "model/program_dir.h"
#include "model/design_file.h"
#include "model/session_store.h"
#include "support/test_support.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

using namespace Plumbrook;

namespace {

const char *const kChildVariable = "PLUMBROOK_CRASH_CHILD";
constexpr int kTrials = 30;

// The designer that is killed: adds a picture every 30 ms, saves every 250 ms, and
// reports each edit with its time.
int runChild(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString dir = qEnvironmentVariable(kChildVariable);
    ProgramDir::setOverride(dir + QStringLiteral("/program"));
    MainWindow window;
    window.fileMenu()->setDataDir(dir + QStringLiteral("/data"));
    window.fileMenu()->setPreviewFetch([](const QString &) { return QByteArray(); });
    window.show();
    window.fileMenu()->startSession();
    const QString savePath = dir + QStringLiteral("/design.plbd");
    int edits = 0;
    QTimer editing;
    QObject::connect(&editing, &QTimer::timeout, &window, [&] {
        window.canvas()->addComponent(QStringLiteral("图片"));
        ++edits;
        std::printf("edit %d %lld\n", edits, QDateTime::currentMSecsSinceEpoch());
        std::fflush(stdout);
    });
    editing.start(30);
    QTimer saving;
    QObject::connect(&saving, &QTimer::timeout, &window, [&] { window.fileMenu()->saveTo(savePath); });
    saving.start(250);
    return app.exec();
}

struct Edit
{
    int count = 0;
    qint64 time = 0;
};

} // namespace

class TestCrashRecovery : public QObject
{
    Q_OBJECT

private slots:
    void killedAtRandomPoints();
};

void TestCrashRecovery::killedAtRandomPoints()
{
#ifdef Q_OS_WIN
    QSKIP("Thirty designers started and killed one after the other take minutes under the Windows emulation");
#endif
    const quint32 seed = QRandomGenerator::global()->generate();
    qInfo("seed %u", seed);
    QRandomGenerator random(seed);
    int recoveredTrials = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        QTemporaryDir dir;
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(kChildVariable), dir.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted(10000));

        // Killed after a random number of edits: early, mid-save, or seconds in.
        const int killAfter = 1 + int(random.bounded(90));
        QList<Edit> edits;
        QByteArray pending;
        QDeadlineTimer deadline(20000);
        while (edits.size() < killAfter && !deadline.hasExpired()) {
            if (!child.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
                break;
            pending += child.readAllStandardOutput();
            qsizetype end;
            while ((end = pending.indexOf('\n')) >= 0) {
                const QList<QByteArray> words = pending.left(end).split(' ');
                pending.remove(0, end + 1);
                if (words.size() == 3 && words.at(0) == "edit")
                    edits.append({words.at(1).toInt(), words.at(2).toLongLong()});
            }
        }
        QVERIFY2(!edits.isEmpty(), "the child designer reported no edit");
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        const qint64 killedAt = QDateTime::currentMSecsSinceEpoch();
        const int lastEdit = edits.constLast().count;

        // The saved file is one whole version: a count of pictures the child had at some point.
        const QString savePath = dir.filePath(QStringLiteral("design.plbd"));
        if (QFile::exists(savePath)) {
            const auto saved = DesignFile::readFile(savePath);
            QVERIFY2(saved, qPrintable(QStringLiteral("trial %1: the saved file is torn").arg(trial)));
            QVERIFY(saved->rows.size() - 1 <= lastEdit + 1);
        }

        // The next start finds what it left: every edit older than two seconds is in it.
        const QList<SessionStore::Leftover> leftovers = SessionStore(dir.filePath(QStringLiteral("data"))).leftovers();
        int owed = 0;
        for (const Edit &edit : std::as_const(edits)) {
            if (edit.time <= killedAt - 2000)
                owed = edit.count;
        }
        if (leftovers.isEmpty()) {
            // Killed before its first autosave: nothing older than two seconds was made.
            QCOMPARE(owed, 0);
            continue;
        }
        QCOMPARE(leftovers.size(), 1);
        const SessionStore::Leftover &leftover = leftovers.first();
        QVERIFY2(leftover.components >= 0, qPrintable(QStringLiteral("trial %1: the autosave is torn").arg(trial)));
        QVERIFY2(leftover.components >= owed && leftover.components <= lastEdit + 1,
                 qPrintable(QStringLiteral("trial %1: %2 components recovered, %3 owed, %4 made")
                                .arg(trial).arg(leftover.components).arg(owed).arg(lastEdit)));
        QVERIFY(!leftover.exited);

        if (recoveredTrials++ == 0) {
            // As the next start shows it: a recovery window listing it.
            Test::TemporaryProgramDir program;
            MainWindow window;
            window.fileMenu()->setDataDir(dir.filePath(QStringLiteral("data")));
            window.show();
            window.fileMenu()->startSession();
            QWidget *recovery = window.fileMenu()->recoveryWindow();
            QVERIFY(recovery);
            auto *list = recovery->findChild<QTreeWidget *>(QStringLiteral("列表框1"));
            QCOMPARE(list->topLevelItemCount(), 1);
            QCOMPARE(list->topLevelItem(0)->text(2), QString::number(leftover.components));
            recovery->close();
            window.fileMenu()->finishWrites();
        }
    }
    QVERIFY(recoveredTrials > 0);
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(kChildVariable))
        return runChild(argc, argv);
    QApplication app(argc, argv);
    TestCrashRecovery test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crash_recovery.moc"
