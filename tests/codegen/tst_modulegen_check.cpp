#include "net/disk_picture_sizes.h"
#include "net/picture_cache.h"
#include "model/component_table.h"
#include "model/design_file.h"
#include "support/test_support.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

using namespace Plumbrook;
using T = ComponentTable;

namespace {

// A design file of a 950 × 500 module holding one component for each
// "kind left,top,width,height column=text …".
QByteArray designFile(const QStringList &rows)
{
    DesignFile::Design design;
    design.rows = {T::initialModuleRecord()};
    for (const QString &spec : rows) {
        const QStringList parts = spec.split(u' ', Qt::SkipEmptyParts);
        const QStringList frame = parts.value(1).split(u',');
        QStringList cells(T::ColumnCount);
        cells[T::Id] = QString::number(design.rows.size() + 1);
        cells[T::Kind] = parts.first();
        cells[T::Left] = frame.value(0);
        cells[T::Top] = frame.value(1);
        cells[T::Width] = frame.value(2);
        cells[T::Height] = frame.value(3);
        for (const QString &cell : parts.mid(2)) {
            const qsizetype at = cell.indexOf(u'=');
            cells[T::columnByName(cell.left(at))] = cell.mid(at + 1).replace(u'~', u' ');
        }
        design.rows.append(cells);
    }
    return DesignFile::serialise(design);
}

QByteArray png(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

const QString kPicture = QStringLiteral("https://img.example/a.png");

} // namespace

class TestModulegenCheck : public QObject
{
    Q_OBJECT

private slots:
    void findings_data();
    void findings();
    void badDesign_data();
    void badDesign();

private:
    QTemporaryDir mDir;
};

void TestModulegenCheck::findings_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<bool>("cached");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("err");

    const QString picture = QStringLiteral("图片 0,0,300,100 图片=%1 链接=https://shop.example/").arg(kPicture);
    QTest::newRow("clean") << QStringList{"热点 0,0,100,100 链接=https://shop.example/"} << false << QByteArray()
                           << 0 << QByteArray();
    QTest::newRow("errors before reminders")
        << QStringList{"图片 900,0,100,100 图片=https://img.example/b.png 链接=#", "热点 0,0,100,100 链接="}
        << false
        << QByteArray("3 热点 错误: 热点的链接为空\n"
                      "2 图片 提醒: 组件有一部分在模块之外，会被裁掉（右边超出 50 像素）\n"
                      "2 图片 提醒: 图片的链接是 #，点了不会去任何地方\n")
        << 1 << QByteArray("modulegen: 1 picture(s) not in the picture cache");
    QTest::newRow("a countdown long past") << QStringList{"倒计时 0,0,100,40 图片=2000-01-01~00:00:00"} << false
                                           << QByteArray("2 倒计时 错误: 倒计时的结束时间已经过了（结束于 2000-01-01 00:00:00）\n")
                                           << 1 << QByteArray();
    QTest::newRow("picture sizes from the cache")
        << QStringList{picture} << true
        << QByteArray("2 图片 提醒: 图片的比例被拉变了形（框 300×100，图片 100×100，相差 200.0%）\n"
                      "2 图片 提醒: 图片放大超过 1.5 倍，会模糊（框 300×100，图片 100×100，放大 3.00 倍）\n")
        << 1 << QByteArray();
    QTest::newRow("picture not cached") << QStringList{picture} << false << QByteArray() << 0
                                        << QByteArray("modulegen: 1 picture(s) not in the picture cache");
}

void TestModulegenCheck::findings()
{
    QFETCH(QStringList, rows);
    QFETCH(bool, cached);
    QFETCH(QByteArray, out);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, err);

    QTemporaryDir cache;
    if (cached)
        PictureCache(cache.path()).store(kPicture, {png(QSize(100, 100)), {}, {}});
    const QString path = Test::writeFile(mDir, QStringLiteral("design.plbd"), designFile(rows));
    const Test::ProgramRun run =
        Test::runModulegen({QStringLiteral("--check"), path, QStringLiteral("--picture-cache"), cache.path()});
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(QString::fromUtf8(run.out), QString::fromUtf8(out));
    // Only the program's own messages: Qt may say something of the session it runs in.
    QByteArray said;
    for (const QByteArray &line : run.err.split('\n')) {
        if (line.startsWith("modulegen: "))
            said += line + '\n';
    }
    if (err.isEmpty())
        QCOMPARE(said, QByteArray());
    else
        QVERIFY2(said.startsWith(err), said.constData());
}

void TestModulegenCheck::badDesign_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("not a design") << QByteArray("<html>") << QStringList{} << 2;
    QTest::newRow("missing file") << QByteArray() << QStringList{QStringLiteral("/nonexistent/design.plbd")} << 2;
    QTest::newRow("two designs") << QByteArray("{}") << QStringList{QStringLiteral("other.plbd")} << 64;
    QTest::newRow("unknown option") << QByteArray("{}") << QStringList{QStringLiteral("--gbk")} << 64;
}

void TestModulegenCheck::badDesign()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QStringList args{QStringLiteral("--check")};
    if (!bytes.isEmpty())
        args << Test::writeFile(mDir, QStringLiteral("bad.plbd"), bytes);
    const Test::ProgramRun run = Test::runModulegen(args + arguments);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, QByteArray());
    QVERIFY(!run.err.isEmpty());
}

QTEST_MAIN(TestModulegenCheck)
#include "tst_modulegen_check.moc"
