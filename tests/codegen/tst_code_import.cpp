#include "golden_cases.h"
#include "random_designs.h"

#include "codegen/canonical_text.h"
#include "codegen/code_reader.h"
#include "model/design_json.h"
#include "model/text_ops.h"
#include "model/program_dir.h"

#include <QtTest>

using namespace Plumbrook;

class TestCodeImport : public QObject
{
    Q_OBJECT

private slots:
    void goldenCasesReadBack_data();
    void goldenCasesReadBack();
    void randomDesignsReadBack();
    void reformattedCodeReadsAsItsCanonicalForm_data();
    void reformattedCodeReadsAsItsCanonicalForm();
    void recoversTheCellsTheEditorsShow();
    void badInput_data();
    void badInput();
    void decodesTheThreeEncodings_data();
    void decodesTheThreeEncodings();
};

namespace {

using C = ComponentTable;

// The design of a golden case in the form the reader gives, its carousels read from its folder.
DesignFile::Design goldenDesign(const Test::GoldenCase &golden)
{
    ComponentTable table;
    DesignJson::readFile(golden.designPath(), table);
    ProgramDir::setOverride(golden.dir);
    DesignFile::Design design = DesignFile::fromTable(table);
    ProgramDir::setOverride(QString());
    return design;
}

QString regenerate(const DesignFile::Design &design)
{
    Test::RandomDesigns unused(0);
    return unused.generate(design);
}

// A module of components of several kinds, an image first and a text second.
QString sampleCode(int edition)
{
    Test::RandomDesigns designs(7 + edition);
    DesignFile::Design design;
    design.rows = {designs.moduleRecord(edition)};
    for (const char16_t *kind : {u"图片", u"文字", u"轮播", u"客服", u"放大", u"倒计时", u"搜索"})
        designs.add(design, QString::fromUtf16(kind));
    return designs.generate(design);
}

} // namespace

void TestCodeImport::goldenCasesReadBack_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : Test::GoldenCase::names())
        QTest::newRow(qPrintable(name)) << name;
}

void TestCodeImport::goldenCasesReadBack()
{
    QFETCH(QString, name);
    const Test::GoldenCase golden = Test::GoldenCase::named(name);
    DesignFile::Design original = goldenDesign(golden);
    const QString shrink = golden.shrink().chopped(2);
    original.shrink = TextOps::toInt(shrink) != 0 ? shrink : QString();
    const QString code = regenerate(original);

    const CodeImport imported = CodeReader::read(code);
    QCOMPARE(imported.firstUnrecognisedLine, 0);
    QCOMPARE(imported.moduleRecognised, !original.rows.first().at(C::Other4).isEmpty());
    // A row of a kind without a template leaves only an empty line, which no reader can tell.
    ComponentTable table;
    table.replaceRows(original.rows);
    bool unknownKind = false;
    for (int row = 1; row < table.count(); ++row) {
        unknownKind = unknownKind
            || (ModuleGenerator(table).componentCode(row).isEmpty()
                && !table.cell(row, C::Kind).contains(QStringLiteral("箭头")));
    }
    if (unknownKind)
        QCOMPARE(CanonicalText::of(regenerate(imported.design)), CanonicalText::of(code));
    else
        QCOMPARE(regenerate(imported.design), code);
}

void TestCodeImport::randomDesignsReadBack()
{
    Test::RandomDesigns designs(20261209);
    int components = 0;
    for (int i = 0; i < 2000; ++i) {
        const DesignFile::Design design = designs.next();
        const QString code = designs.generate(design);
        const CodeImport imported = CodeReader::read(code);
        if (imported.firstUnrecognisedLine != 0 || regenerate(imported.design) != code) {
            qWarning("design %d:\n%s", i, DesignFile::serialise(design).constData());
            QCOMPARE(imported.summary(), QString());
            QCOMPARE(regenerate(imported.design), code);
        }
        // Without a wrapper there is no outer height for a shrink amount to change.
        const bool shrinks = !design.rows.first().at(C::Other4).isEmpty() && TextOps::toInt(design.shrink) != 0;
        QCOMPARE(imported.design.shrink, shrinks ? design.shrink : QString());
        components += imported.components;
    }
    QVERIFY2(components > 4000, qPrintable(QString::number(components)));
}

void TestCodeImport::reformattedCodeReadsAsItsCanonicalForm_data()
{
    QTest::addColumn<int>("edition");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    for (const int edition : {0, 1}) {
        const QByteArray e = QByteArray::number(edition);
        QTest::newRow("LF " + e) << edition << QStringLiteral("\r\n") << QStringLiteral("\n");
        QTest::newRow("CR LF doubled " + e) << edition << QStringLiteral("\r\n") << QStringLiteral("\r\n\r\n");
        QTest::newRow("indented " + e) << edition << QStringLiteral("\r\n") << QStringLiteral("\n    ");
        QTest::newRow("one line " + e) << edition << QStringLiteral("\r\n") << QString();
        QTest::newRow("tabs as spaces " + e) << edition << QStringLiteral("\t") << QStringLiteral("  ");
        QTest::newRow("blank between tags " + e) << edition << QStringLiteral("><") << QStringLiteral(">\n\t<");
    }
}

void TestCodeImport::reformattedCodeReadsAsItsCanonicalForm()
{
    QFETCH(int, edition);
    QFETCH(QString, from);
    QFETCH(QString, to);
    const QString code = sampleCode(edition);
    const QString reformatted = QString(code).replace(from, to);
    const CodeImport imported = CodeReader::read(reformatted);
    QCOMPARE(imported.summary().contains(QStringLiteral("无法识别")), false);
    QCOMPARE(regenerate(imported.design), code);
}

void TestCodeImport::recoversTheCellsTheEditorsShow()
{
    DesignFile::Design design;
    ComponentTable table;
    ModuleSettings settings = ModuleSettings::load(table);
    settings.colourText = QStringLiteral("#123456");
    settings.colour = 0x563412;
    settings.edition = 1;
    settings.anchor = QStringLiteral("top");
    settings.save(table);
    table.setCell(0, C::Other4, settings.buildWrapper());
    design.rows = {table.rowCells(0)};
    QStringList zoom(C::ColumnCount);
    zoom[C::Id] = QStringLiteral("2");
    zoom[C::Kind] = QStringLiteral("放大");
    zoom[C::Width] = zoom[C::Height] = QStringLiteral("200");
    zoom[C::BgCode] = QStringLiteral("1.3");
    zoom[C::Other2] = QStringLiteral("_self");
    design.rows.append(zoom);
    QStringList qr(C::ColumnCount);
    qr[C::Id] = QStringLiteral("3");
    qr[C::Kind] = QStringLiteral("二维码");
    qr[C::Width] = qr[C::Height] = QStringLiteral("90");
    qr[C::Text] = QStringLiteral("https://qr.example/img?type=bi&item_id=5809&w=90&h=90&v=1");
    design.rows.append(qr);
    design.shrink = QStringLiteral("-20");

    const QString code = regenerate(design);
    const CodeImport imported = CodeReader::read(code);
    QCOMPARE(imported.design.shrink, QStringLiteral("-20"));
    const QStringList &module = imported.design.rows.at(0);
    QCOMPARE(module.at(C::BgColor), QStringLiteral("5649426"));
    QCOMPARE(module.at(C::Link), QStringLiteral("top"));
    QCOMPARE(module.at(C::BgCode), QStringLiteral("1"));
    const QStringList &read = imported.design.rows.at(1);
    QCOMPARE(read.at(C::BgCode), QStringLiteral("1.3"));
    QCOMPARE(read.at(C::Other), QStringLiteral("1"));       // the factor list's entry
    QCOMPARE(read.at(C::BgColor), QStringLiteral("1"));     // the open-mode list's entry
    QVERIFY(code.contains(read.at(C::Other6)));             // the popup's name, kept
    const QStringList &qrRead = imported.design.rows.at(2);
    QCOMPARE(qrRead.at(C::Picture), QStringLiteral("5809"));  // the editor's id and code kind
    QCOMPARE(qrRead.at(C::Link), QStringLiteral("1"));
    QCOMPARE(regenerate(imported.design), code);
}

void TestCodeImport::badInput_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("module");
    QTest::addColumn<int>("components");
    QTest::addColumn<int>("line");          // of the first piece not read; 0 for none
    QTest::addColumn<QString>("piece");

    const QString sample = sampleCode(1);
    const QStringList lines = sample.split(QStringLiteral("\r\n"));
    const CodeImport whole = CodeReader::read(sample);
    QCOMPARE(whole.components, 7);

    QTest::newRow("empty") << QString() << false << 0 << 0 << QString();
    QTest::newRow("blanks only") << QStringLiteral(" \r\n\t\n") << false << 0 << 0 << QString();
    QTest::newRow("another tool's code")
        << QStringLiteral("<table width=\"950\">\r\n<tr><td><img src=\"a.jpg\"></td></tr>\r\n</table>")
        << false << 0 << 1 << QStringLiteral("<table width=\"950\">");
    QTest::newRow("plain text") << QStringLiteral("hello") << false << 0 << 1 << QStringLiteral("hello");

    // Cut in the middle of the first line of the second component.
    const qsizetype first = sample.indexOf(QStringLiteral("\r\n<div class")) + 2;
    const qsizetype cut = sample.indexOf(QStringLiteral("\r\n<div class"), first);
    const int cutLine = int(sample.left(cut).count(QStringLiteral("\r\n"))) + 2;
    QTest::newRow("cut off in a component") << sample.left(cut + 40) << true << 1 << cutLine
                                           << sample.mid(cut + 2, 38);
    QTest::newRow("cut off before the closing tags")
        << sample.left(sample.lastIndexOf(QStringLiteral("</div></div></div>"))) << true << whole.components << 0
        << QString();

    // The first line of the image taken out by hand: the rest of the image is not
    // read, the components after it are.
    QString removed = lines.mid(0, 2).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")
        + lines.mid(3).join(QStringLiteral("\r\n"));
    QTest::newRow("start of a component removed")
        << removed << true << whole.components - 1 << 3 << lines.at(3).trimmed().left(40) + QStringLiteral("…");

    QString withoutComponent = sample;
    withoutComponent.remove(lines.mid(2, 5).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    QTest::newRow("whole component removed") << withoutComponent << true << whole.components - 1 << 0 << QString();

    QTest::newRow("markup in a text cell")
        << QStringLiteral("<div class=\"most-footer footer-more-trigger address-all-close\" style=\"z-index:2;top:1px;"
                          "left:2px;right:auto;width:30px;height:40px;background:none;background-color:;border:0;padding:0;\">\r\n"
                          "\t<div style=\"line-height:;text-align:left;\">\r\n"
                          "\t\t<a href=\"#\" target=\"_blank\" style=\"color:#000;text-decoration: none;\">\r\n"
                          "\t\t<span style=\"font-size:12px;color:#000;font-family:宋体;font-weight:normal;;\"><b>粗</b> <i>斜</i></span>\r\n"
                          "</a>\r\n\t</div>\r\n</div>\r\n\r\n</div></div></div>")
        << false << 1 << 0 << QString();

    QString big = QStringLiteral("<div class=\"most-footer\">x</div>\r\n").repeated(300000);
    QTest::newRow("10 MB of foreign markup before a module")
        << big + sample << false << 7 << 1 << QStringLiteral("<div class=\"most-footer\">x</div>");
}

void TestCodeImport::badInput()
{
    QFETCH(QString, code);
    QFETCH(bool, module);
    QFETCH(int, components);
    QFETCH(int, line);
    QFETCH(QString, piece);
    const CodeImport imported = CodeReader::read(code);
    QCOMPARE(imported.moduleRecognised, module);
    QCOMPARE(imported.components, components);
    QCOMPARE(imported.firstUnrecognisedLine, line);
    QCOMPARE(imported.firstUnrecognised, piece);
    if (line > 0)
        QVERIFY(imported.summary().contains(QStringLiteral("无法识别的代码：第 %1 行 ").arg(line)));
    if (!imported.recognisedAnything())
        QVERIFY(!imported.summary().isEmpty());
}

void TestCodeImport::decodesTheThreeEncodings_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QString>("text");
    const QString chinese = QStringLiteral("<a title=\"店小二\">");
    QTest::newRow("UTF-8") << chinese.toUtf8() << true << chinese;
    QTest::newRow("UTF-8 with a byte-order mark") << QByteArray("\xEF\xBB\xBF") + chinese.toUtf8() << true << chinese;
    QTest::newRow("GBK") << TextOps::toGbk(chinese) << true << chinese;
    const QString rare = QStringLiteral("<a title=\"\U00020000\">");
    QTest::newRow("GB18030 beyond GBK") << TextOps::toGbk(rare) << true << rare;
    QTest::newRow("ASCII") << QByteArray("<div>") << true << QStringLiteral("<div>");
    QTest::newRow("invalid in all three") << QByteArray("<div>\xFF\xFF\x80</div>") << false << QString();
}

void TestCodeImport::decodesTheThreeEncodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, readable);
    QFETCH(QString, text);
    const std::optional<QString> decoded = CodeReader::decode(bytes);
    QCOMPARE(decoded.has_value(), readable);
    if (readable)
        QCOMPARE(*decoded, text);
}

QTEST_GUILESS_MAIN(TestCodeImport)
#include "tst_code_import.moc"
