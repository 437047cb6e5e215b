#include "golden_cases.h"

#include "model/text_ops.h"
#include "support/test_support.h"
#include "model/design_file.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Plumbrook;

class TestModulegenImport : public QObject
{
    Q_OBJECT

private slots:
    void designFileGeneratesTheCodeAgain_data();
    void designFileGeneratesTheCodeAgain();
    void exitStatuses_data();
    void exitStatuses();

private:
    QTemporaryDir mDir;
};

void TestModulegenImport::designFileGeneratesTheCodeAgain_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("gbk");
    QTest::newRow("carousel") << QStringLiteral("carousel") << false;
    QTest::newRow("shrink, from the design file") << QStringLiteral("shrink_minus_20") << false;
    QTest::newRow("天猫, a GBK file") << QStringLiteral("tmall_edition") << true;
    QTest::newRow("never confirmed") << QStringLiteral("never_confirmed") << false;
}

void TestModulegenImport::designFileGeneratesTheCodeAgain()
{
    QFETCH(QString, name);
    QFETCH(bool, gbk);
    const Test::GoldenCase golden = Test::GoldenCase::named(name);
    QStringList arguments = QStringList{golden.designPath()} + golden.arguments();
    if (gbk)
        arguments.append(QStringLiteral("--gbk"));
    const Test::ProgramRun code = Test::runModulegen(arguments);
    QCOMPARE(code.exitCode, 0);

    const Test::ProgramRun imported = Test::runModulegen({QStringLiteral("--import"), Test::writeFile(mDir, name + QStringLiteral(".html"), code.out)});
    QCOMPARE(imported.exitCode, 0);
    QVERIFY2(imported.err.contains("已导入代码"), imported.err.constData());
    QCOMPARE(imported.err.count('\n'), 1);
    QString error;
    const std::optional<DesignFile::Design> design = DesignFile::parse(imported.out, &error);
    QVERIFY2(design, qPrintable(error));
    QVERIFY(imported.out.contains("\"carousels\""));

    // No --shrink: the design file's own amount applies.
    QStringList again = {Test::writeFile(mDir, name + QStringLiteral(".plbd"), imported.out)};
    if (gbk)
        again.append(QStringLiteral("--gbk"));
    const Test::ProgramRun regenerated = Test::runModulegen(again);
    QCOMPARE(regenerated.exitCode, 0);
    QCOMPARE(regenerated.out, code.out);
}

void TestModulegenImport::exitStatuses_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message");
    const QString foreign = Test::writeFile(mDir, QStringLiteral("foreign.html"), "<table><tr><td>x</td></tr></table>");
    const QString invalid = Test::writeFile(mDir, QStringLiteral("invalid.html"), "<div>\xFF\xFF\x80</div>");
    const QString empty = Test::writeFile(mDir, QStringLiteral("empty.html"), QByteArray());
    const QString partly = Test::writeFile(mDir, QStringLiteral("partly.html"), Test::GoldenCase::named(QStringLiteral("search")).expected()
                                                                  + "\r\n<table>");
    const QString flag = QStringLiteral("--import");
    QTest::newRow("missing file") << QStringList{flag, mDir.filePath(QStringLiteral("none.html"))} << 2
                                  << QByteArray("cannot read");
    QTest::newRow("bytes of no encoding") << QStringList{flag, invalid} << 2 << QByteArray("neither UTF-8");
    QTest::newRow("another tool's code") << QStringList{flag, foreign} << 2 << QByteArray("无法识别的代码：第 1 行 <table>");
    QTest::newRow("empty file") << QStringList{flag, empty} << 2 << QByteArray("没有可导入的代码");
    QTest::newRow("partly read") << QStringList{flag, partly} << 0 << QByteArray("无法识别的代码：第 ");
    QTest::newRow("no file named") << QStringList{flag} << 64 << QByteArray("usage");
    QTest::newRow("two files") << QStringList{flag, foreign, foreign} << 64 << QByteArray("usage");
}

void TestModulegenImport::exitStatuses()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);
    const Test::ProgramRun result = Test::runModulegen(arguments);
    QCOMPARE(result.exitCode, exitCode);
    QVERIFY2(result.err.contains(message), result.err.constData());
    if (exitCode != 0)
        QVERIFY(result.out.isEmpty());
    if (exitCode == 2)
        QCOMPARE(result.err.count('\n'), 1);
}

QTEST_GUILESS_MAIN(TestModulegenImport)
#include "tst_modulegen_import.moc"
