#include "golden_cases.h"

#include "model/text_ops.h"
#include "support/test_support.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Plumbrook;

class TestModulegen : public QObject
{
    Q_OBJECT

private slots:
    void goldenCases_data();
    void goldenCases();
    void gbkOutput();
    void programDirOption();
    void previewPage_data();
    void previewPage();
    void badInput_data();
    void badInput();
    void usage_data();
    void usage();

private:
    QTemporaryDir mDir;
};

void TestModulegen::goldenCases_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : Test::GoldenCase::names())
        QTest::newRow(qPrintable(name)) << name;
}

void TestModulegen::goldenCases()
{
    QFETCH(QString, name);
    const Test::GoldenCase golden = Test::GoldenCase::named(name);
    const Test::ProgramRun result = Test::runModulegen(QStringList{golden.designPath()} + golden.arguments());
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.err, QByteArray());
    QCOMPARE(Test::withoutRandomNames(QString::fromUtf8(result.out)),
             Test::withoutRandomNames(QString::fromUtf8(golden.expected())));
}

void TestModulegen::gbkOutput()
{
    const Test::GoldenCase golden = Test::GoldenCase::named(QStringLiteral("customer_service"));
    const Test::ProgramRun result = Test::runModulegen({golden.designPath(), QStringLiteral("--gbk")});
    QCOMPARE(result.exitCode, 0);
    QCOMPARE(result.out, TextOps::toGbk(QString::fromUtf8(golden.expected())));
}

void TestModulegen::programDirOption()
{
    // The design without its folder's settings file: the carousel degrades.
    const Test::GoldenCase golden = Test::GoldenCase::named(QStringLiteral("carousel"));
    const Test::ProgramRun result = Test::runModulegen({golden.designPath(), QStringLiteral("--program-dir"), mDir.path()});
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.out.contains("'autoplay':{true}"));
    QVERIFY(result.out.contains("display:{block}"));
}

void TestModulegen::previewPage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("edition");
    QTest::newRow("集市") << "customer_service" << QByteArray("集市");
    QTest::newRow("天猫") << "tmall_edition" << QByteArray("天猫");
}

void TestModulegen::previewPage()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, edition);
    const Test::GoldenCase golden = Test::GoldenCase::named(name);
    const Test::ProgramRun result = Test::runModulegen(QStringList{golden.designPath(), QStringLiteral("--preview")} + golden.arguments());
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.out.startsWith("<!DOCTYPE html>"));
    const QString page = TextOps::fromGbk(result.out);
    QVERIFY(page.contains(QStringLiteral("data-edition=\"%1\"").arg(QString::fromUtf8(edition))));
    QVERIFY(Test::withoutRandomNames(page).contains(
        Test::withoutRandomNames(QString::fromUtf8(golden.expected()))));
}

void TestModulegen::badInput_data()
{
    QTest::addColumn<QByteArray>("design");
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << QByteArray() << "cannot read";
    QTest::newRow("invalid JSON") << QByteArray(R"({"rows": [)") << "设计文件已损坏：第 1 行第 10 列有格式错误";
    QTest::newRow("not an object") << QByteArray("[1]") << "内容不是一份设计";
    QTest::newRow("rows absent") << QByteArray(R"({"row": []})") << "缺少组件列表";
    QTest::newRow("rows not an array") << QByteArray(R"({"rows": {}})") << "组件列表的格式错误";
    QTest::newRow("row not an object") << QByteArray(R"({"rows": [{}, "图片"]})") << "第 2 条记录的格式错误";
    QTest::newRow("number cell") << QByteArray(R"({"rows": [{}, {"宽度": 100}]})")
                                 << "第 2 条记录的“宽度”是数字，不是文字";
    QTest::newRow("null cell") << QByteArray(R"({"rows": [{"其它4": null}]})") << "第 1 条记录的“其它4”是空值";
}

void TestModulegen::badInput()
{
    QFETCH(QByteArray, design);
    QFETCH(QString, message);
    const QString path = design.isEmpty() ? mDir.filePath(QStringLiteral("absent.json"))
                                          : Test::writeFile(mDir, QStringLiteral("bad.json"), design);
    const Test::ProgramRun result = Test::runModulegen({path});
    QCOMPARE(result.exitCode, 2);
    QCOMPARE(result.out, QByteArray());
    const QString err = QString::fromUtf8(result.err);
    QVERIFY2(err.contains(message), qPrintable(err));
    QCOMPARE(err.count(u'\n'), 1);
    QVERIFY(err.endsWith(u'\n'));
}

void TestModulegen::usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("nothing") << QStringList();
    QTest::newRow("unknown option") << QStringList{QStringLiteral("d.json"), QStringLiteral("--fast")};
    QTest::newRow("shrink without value") << QStringList{QStringLiteral("d.json"), QStringLiteral("--shrink")};
    QTest::newRow("two designs") << QStringList{QStringLiteral("a.json"), QStringLiteral("b.json")};
}

void TestModulegen::usage()
{
    QFETCH(QStringList, arguments);
    const Test::ProgramRun result = Test::runModulegen(arguments);
    QCOMPARE(result.exitCode, 64);
    QCOMPARE(result.out, QByteArray());
    QVERIFY(result.err.startsWith("usage: modulegen DESIGN.json"));
}

QTEST_GUILESS_MAIN(TestModulegen)
#include "tst_modulegen.moc"
