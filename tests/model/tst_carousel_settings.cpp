#include "model/carousel_settings.h"
#include "model/profile_file.h"
#include "model/program_dir.h"
#include "model/component_table.h"
#include "model/background_work.h"
#include "model/kind_table.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QtTest>

#include <atomic>
#include <thread>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Plumbrook;

namespace {

// Runs a script of table operations: "p" adds a picture, "c" a carousel with its two
// arrows the way the palette does, "d<row>" deletes a row.
void runScript(ComponentTable &table, const QString &script)
{
    for (const QString &step : script.split(u' ', Qt::SkipEmptyParts)) {
        if (step == u"p") {
            table.appendRow(QString::number(table.takeNextId()), QStringLiteral("图片"));
        } else if (step == u"c") {
            const int row = table.appendRow(QString::number(table.takeNextId()),
                                            KindTable::nameOf(KindTable::Kind::Carousel));
            const QString n = QString::number(CarouselSettings::numberForNewCarousel(table, row));
            table.appendRow(QString::number(table.takeNextId()), CarouselSettings::kLeftArrowPrefix + n);
            table.appendRow(QString::number(table.takeNextId()), CarouselSettings::kRightArrowPrefix + n);
        } else if (step.startsWith(u'd')) {
            table.deleteRow(step.mid(1).toInt());
        } else if (step.startsWith(u'k')) {
            // "k<row>=<kind>": overwrite a kind name.
            const qsizetype eq = step.indexOf(u'=');
            table.setCell(step.mid(1, eq - 1).toInt(), ComponentTable::Kind, step.mid(eq + 1));
        }
    }
}

QList<int> carouselNumbers(const ComponentTable &table)
{
    QList<int> numbers;
    for (int row = 1; row < table.count(); ++row) {
        if (KindTable::is(table.cell(row, ComponentTable::Kind), KindTable::Kind::Carousel))
            numbers.append(CarouselSettings::numberOf(table, row));
    }
    return numbers;
}

// A file where the program's directory should be: no folder can be made below it.
void blockProgramDir(const Test::TemporaryProgramDir &dir)
{
    const QString blocker = dir.path() + QStringLiteral("/blocker");
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    ProgramDir::setOverride(blocker);
}

} // namespace

class TestCarouselSettings : public QObject
{
    Q_OBJECT

private slots:
    void filePathUnderProgramDir()
    {
        Test::TemporaryProgramDir dir;
        QCOMPARE(CarouselSettings::filePath(3), dir.path() + QStringLiteral("/data/code/Carousel3.ini"));
    }

    void writeDefaultsCreatesFolderAndAllKeysInOrder()
    {
        Test::TemporaryProgramDir dir;
        QVERIFY(!QDir(dir.path() + QStringLiteral("/data")).exists());
        QVERIFY(CarouselSettings::writeDefaults(3));

        QFile file(CarouselSettings::filePath(3));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 32);   // header, 30 keys, empty piece after the last CR LF
        QCOMPARE(lines.at(0), QByteArray("[configure]\r"));
        const QStringList expectedOrder = {
            "Number", "t_k", "t_g", "t_1", "l_1", "t_2", "l_2", "t_3", "l_3", "t_4", "l_4",
            "t_5", "l_5", "t_6", "l_6", "t_7", "l_7", "t_8", "l_8", "j_j", "j_k", "j_g",
            "j_z", "j_y", "d_g1", "d_g2", "q_g1", "q_g2", "d_s", "z_f",
        };
        for (int i = 0; i < expectedOrder.size(); ++i)
            QCOMPARE(QString::fromLatin1(lines.at(i + 1).split('=').first()), expectedOrder.at(i));

        QCOMPARE(CarouselSettings::read(3, QStringLiteral("Number")), QStringLiteral("6"));
        QCOMPARE(CarouselSettings::read(3, QStringLiteral("t_k")), QStringLiteral("750"));
        QCOMPARE(CarouselSettings::read(3, QStringLiteral("j_g")), QStringLiteral("40"));
        QCOMPARE(CarouselSettings::read(3, QStringLiteral("d_g2")), QStringLiteral("none"));
        QCOMPARE(CarouselSettings::read(3, QStringLiteral("q_g2")), QStringLiteral("easeNone"));
        QCOMPARE(CarouselSettings::read(3, QStringLiteral("t_1")), CarouselSettings::kSamplePictureA);
        QCOMPARE(CarouselSettings::read(3, QStringLiteral("t_8")), CarouselSettings::kSamplePictureB);
        for (int n = 1; n <= 8; ++n)
            QCOMPARE(CarouselSettings::read(3, CarouselSettings::linkKey(n)), QStringLiteral("#"));
    }

    void defaultsOverOlderFileKeepForeignKeys()
    {
        Test::TemporaryProgramDir dir;
        QVERIFY(ProgramDir::ensureDir(QStringLiteral("data/code")));
        const QString path = CarouselSettings::filePath(2);
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("; kept\r\n[Configure]\r\nNUMBER=1\r\nlegacy=yes\r\nd_g2=fade\r\n[other]\r\nx=1\r\n");
        }
        QVERIFY(CarouselSettings::writeDefaults(2));
        QCOMPARE(CarouselSettings::read(2, QStringLiteral("Number")), QStringLiteral("6"));
        QCOMPARE(CarouselSettings::read(2, QStringLiteral("d_g2")), QStringLiteral("none"));
        QCOMPARE(CarouselSettings::read(2, QStringLiteral("legacy")), QStringLiteral("yes"));
        QCOMPARE(ProfileFile::read(path, QStringLiteral("other"), QStringLiteral("x")), QStringLiteral("1"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("; kept\r\n[Configure]\r\nNUMBER=6\r\nlegacy=yes\r\n"));
        QCOMPARE(bytes.count("[configure]"), 0);   // no second section was added
    }

    void settingsRoundTrip_data()
    {
        // What the file held before the design's values are stored.
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("rewritten");
        // Stored as a whole design's mirror: compared with the file on the files lane.
        QTest::addColumn<bool>("mirrored");
        for (const bool mirrored : {false, true}) {
            const char *way = mirrored ? ", mirrored" : "";
            QTest::addRow("no file%s", way) << QByteArray("<none>") << true << mirrored;
            QTest::addRow("the same values%s", way) << QByteArray() << false << mirrored;
            QTest::addRow("the same values, spaced, other case%s", way)
                << QByteArray("[Configure]\r\nNUMBER = 6\r\n") << false << mirrored;
            QTest::addRow("one value differs%s", way) << QByteArray("[configure]\r\nz_f=1\r\n") << true << mirrored;
            QTest::addRow("a key without its value%s", way) << QByteArray("[configure]\r\nz_f\r\n") << true << mirrored;
        }
    }

    void settingsRoundTrip()
    {
        QFETCH(QByteArray, before);
        QFETCH(bool, rewritten);
        QFETCH(bool, mirrored);
        Test::TemporaryProgramDir dir;
        const QString path = CarouselSettings::filePath(4);
        const QList<QPair<QString, QString>> values = CarouselSettings::defaults();
        if (before != "<none>") {
            QVERIFY(CarouselSettings::writeDefaults(4));
            // Lines of the test's own put in front of the ones written.
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QByteArray bytes = file.readAll();
            file.close();
            if (!before.isEmpty())
                bytes = before + bytes.mid(bytes.indexOf('\n') + 1);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(bytes);
        }
        QFile file(path);
        const QByteArray old = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        file.close();
        if (mirrored) {
            // Read at once, while the lane has not come to them yet.
            QSemaphore release;
            BackgroundWork::start(BackgroundWork::Lane::Files, [&release] { release.acquire(); });
            CarouselSettings::mirror({{4, values}, {7, {{CarouselSettings::kNumber, QStringLiteral("2")}}}});
            QCOMPARE(CarouselSettings::readAll(4), values);
            QCOMPARE(CarouselSettings::read(7, CarouselSettings::kNumber), QStringLiteral("2"));
            release.release();
        } else {
            QSignalSpy writing(CarouselSettings::notifier(), &CarouselSettings::Notifier::aboutToWrite);
            QVERIFY(CarouselSettings::writeChanged(4, values));
            QCOMPARE(writing.size(), rewritten ? 1 : 0);
        }
        QCOMPARE(CarouselSettings::readAll(4), values);
        BackgroundWork::waitForLane(BackgroundWork::Lane::Files);
        if (mirrored)
            QCOMPARE(ProfileFile::read(CarouselSettings::filePath(7), CarouselSettings::kSection, CarouselSettings::kNumber),
                     QStringLiteral("2"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        if (!rewritten)
            QCOMPARE(file.readAll(), old);
        QCOMPARE(ProfileFile::read(path, CarouselSettings::kSection, CarouselSettings::kAutoplay), QStringLiteral("0"));
    }

    void queuedWritesAreReadAtOnce_data()
    {
        QTest::addColumn<QString>("meanwhile");   // while the queued write waits
        QTest::addColumn<QString>("number");      // the Number key then, read and in the file
        QTest::addColumn<QString>("width");       // the t_k key
        QTest::newRow("nothing") << QString() << "3" << "750";
        QTest::newRow("the same key written here") << "write Number" << "4" << "750";
        QTest::newRow("another key written here") << "write t_k" << "3" << "1";
        QTest::newRow("queued again") << "queue" << "5" << "750";
    }

    void queuedWritesAreReadAtOnce()
    {
        QFETCH(QString, meanwhile);
        QFETCH(QString, number);
        QFETCH(QString, width);
        Test::TemporaryProgramDir dir;
        const QString path = CarouselSettings::filePath(5);
        QVERIFY(CarouselSettings::writeDefaults(5));
        QSemaphore release;
        BackgroundWork::start(BackgroundWork::Lane::Files, [&release] { release.acquire(); });
        QList<QPair<QString, QString>> values = CarouselSettings::defaults();
        values[0].second = QStringLiteral("3");
        values.last().second = QStringLiteral(" 1\n");   // read back as the file will hold it
        QVERIFY(CarouselSettings::writeChanged(5, values));
        QCOMPARE(ProfileFile::read(path, CarouselSettings::kSection, CarouselSettings::kNumber), QStringLiteral("6"));
        if (meanwhile == QStringLiteral("write Number"))
            QVERIFY(CarouselSettings::write(5, CarouselSettings::kNumber, QStringLiteral("4")));
        else if (meanwhile == QStringLiteral("write t_k"))
            QVERIFY(CarouselSettings::write(5, CarouselSettings::kBannerWidth, QStringLiteral("1")));
        else if (meanwhile == QStringLiteral("queue"))
            CarouselSettings::writeChanged(5, {{CarouselSettings::kNumber, QStringLiteral("5")}});
        for (bool written : {false, true}) {
            QCOMPARE(CarouselSettings::read(5, QStringLiteral("number")), number);
            QCOMPARE(CarouselSettings::read(5, CarouselSettings::kBannerWidth), width);
            QCOMPARE(CarouselSettings::readAll(5).last().second, QStringLiteral("1"));
            if (written) {
                QCOMPARE(ProfileFile::read(path, CarouselSettings::kSection, CarouselSettings::kNumber), number);
                QCOMPARE(ProfileFile::read(path, CarouselSettings::kSection, CarouselSettings::kBannerWidth), width);
                QCOMPARE(ProfileFile::read(path, CarouselSettings::kSection, CarouselSettings::kAutoplay),
                         QStringLiteral("1"));
            }
            release.release();
            BackgroundWork::waitForLane(BackgroundWork::Lane::Files);
        }
    }

    void stuckFileKeepsOtherCarouselsFree_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("a carousel edited") << "edit";
        QTest::newRow("a design opened") << "mirror";
        QTest::newRow("a carousel read") << "read";
    }

    // The files lane stuck inside one carousel's file, as on a disk that stopped
    // answering: holding and reading the values of the others does not wait for it.
    void stuckFileKeepsOtherCarouselsFree()
    {
#ifndef Q_OS_UNIX
        QSKIP("a file that blocks its reader is a named pipe");
#else
        QFETCH(QString, action);
        Test::TemporaryProgramDir dir;
        QVERIFY(CarouselSettings::writeDefaults(8));
        const QByteArray stuck = QFile::encodeName(CarouselSettings::filePath(7));
        QCOMPARE(::mkfifo(stuck.constData(), 0600), 0);
        CarouselSettings::mirror({{7, CarouselSettings::defaults()}});
        // The lane opened the file to compare it; a writer kept open and silent holds it there.
        int writer = -1;
        QVERIFY(QTest::qWaitFor([&] { return (writer = ::open(stuck.constData(), O_WRONLY | O_NONBLOCK)) >= 0; }));
        QList<QPair<QString, QString>> values = CarouselSettings::defaults();
        values[0].second = QStringLiteral("2");
        std::atomic<bool> done = false;
        std::thread window([&] {
            if (action == QLatin1String("edit"))
                CarouselSettings::writeChanged(8, values);
            else if (action == QLatin1String("mirror"))
                CarouselSettings::mirror({{8, values}});
            else
                CarouselSettings::read(8, CarouselSettings::kNumber);
            done = true;
        });
        const bool free = QTest::qWaitFor([&] { return done.load(); });
        // The disk answers again: the lane reads to the end and writes a file of its own.
        ::unlink(stuck.constData());
        ::close(writer);
        window.join();
        BackgroundWork::waitForLane(BackgroundWork::Lane::Files);
        QVERIFY(free);
        if (action != QLatin1String("read"))
            QCOMPARE(CarouselSettings::read(8, CarouselSettings::kNumber), QStringLiteral("2"));
#endif
    }

    void failedQueuedWriteKeepsTheValue()
    {
        Test::TemporaryProgramDir dir;
        blockProgramDir(dir);
        QVERIFY(!CarouselSettings::writeChanged(6, {{CarouselSettings::kNumber, QStringLiteral("2")}}));
        BackgroundWork::waitForLane(BackgroundWork::Lane::Files);
        QVERIFY(!QFile::exists(CarouselSettings::filePath(6)));
        // The design still has it, and a save of the design keeps it.
        QCOMPARE(CarouselSettings::read(6, CarouselSettings::kNumber), QStringLiteral("2"));
    }

    void missingFileReadsEmpty()
    {
        Test::TemporaryProgramDir dir;
        QCOMPARE(CarouselSettings::read(9, QStringLiteral("Number")), QString());
    }

    void unwritableProgramDir()
    {
        Test::TemporaryProgramDir dir;
        blockProgramDir(dir);
        QVERIFY(!CarouselSettings::writeDefaults(1));
        QVERIFY(!CarouselSettings::write(1, QStringLiteral("Number"), QStringLiteral("3")));
        QCOMPARE(CarouselSettings::read(1, QStringLiteral("Number")), QString());
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QList<int>>("expected");

        QTest::newRow("first component") << "c" << QList<int>{1};
        QTest::newRow("after a picture") << "p c" << QList<int>{2};
        QTest::newRow("row above deleted keeps number") << "p p c d1" << QList<int>{3};
        QTest::newRow("left arrow gone, right arrow tells") << "p c d3 d1" << QList<int>{2};
        QTest::newRow("both arrows gone falls back to row") << "p p c d4 d4 d1" << QList<int>{2};
        QTest::newRow("arrow kind not ours falls back to row") << "p p c k4=图片" << QList<int>{3};
        QTest::newRow("arrow number not decimal") << "p c k3=左箭头x k4=右箭头" << QList<int>{2};
        QTest::newRow("two carousels") << "c c" << QList<int>{1, 4};
        QTest::newRow("new row index of a living carousel")
            << "p p p c d1 d1 d1 c" << QList<int>{4, 5};
        QTest::newRow("next number also taken")
            << "p p p p p p p c d1 d1 d1 d1 d1 d1 d1 p p p c d4 d4 d4 c" << QList<int>{8, 7, 9};
        QTest::newRow("free row index is kept") << "p c d1 c" << QList<int>{2, 4};
    }

    void numbers()
    {
        QFETCH(QString, script);
        QFETCH(QList<int>, expected);
        ComponentTable table;
        table.setCreationCounter(1);
        runScript(table, script);
        QCOMPARE(carouselNumbers(table), expected);
    }

    void arrowRowsById()
    {
        ComponentTable table;
        table.setCreationCounter(1);
        runScript(table, QStringLiteral("p c p d1"));
        QCOMPARE(CarouselSettings::leftArrowRow(table, 1), 2);
        QCOMPARE(CarouselSettings::rightArrowRow(table, 1), 3);
        QCOMPARE(CarouselSettings::leftArrowRow(table, 99), -1);
        runScript(table, QStringLiteral("d2"));
        QCOMPARE(CarouselSettings::leftArrowRow(table, 1), -1);
        QCOMPARE(CarouselSettings::rightArrowRow(table, 1), 2);
    }
};

QTEST_GUILESS_MAIN(TestCarouselSettings)
#include "tst_carousel_settings.moc"
