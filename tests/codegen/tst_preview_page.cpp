#include "codegen/preview_page.h"
#include "model/text_ops.h"
#include "model/component_table.h"

#include <QRegularExpression>
#include <QtTest>

using namespace Plumbrook;

class TestPreviewPage : public QObject
{
    Q_OBJECT

private slots:
    void pageOfTheModulesEditionAndWidth_data();
    void pageOfTheModulesEditionAndWidth();
    void charsetFollowsTheBytes_data();
    void charsetFollowsTheBytes();
    void needsNothingFromTheNetwork();
};

void TestPreviewPage::pageOfTheModulesEditionAndWidth_data()
{
    QTest::addColumn<QString>("editionCell");
    QTest::addColumn<QString>("widthCell");
    QTest::addColumn<QString>("edition");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("page");
    QTest::newRow("天猫 standard") << "0" << "990" << "天猫" << 990 << 990;
    QTest::newRow("集市 standard") << "1" << "950" << "集市" << 950 << 950;
    QTest::newRow("天猫 full screen") << "0" << "1920" << "天猫" << 990 << 1920;
    QTest::newRow("集市 narrower than the column") << "1" << "750" << "集市" << 950 << 950;
    QTest::newRow("never confirmed") << "" << "" << "集市" << 950 << 950;
}

void TestPreviewPage::pageOfTheModulesEditionAndWidth()
{
    QFETCH(QString, editionCell);
    QFETCH(QString, widthCell);
    QFETCH(QString, edition);
    QFETCH(int, column);
    QFETCH(int, page);
    ComponentTable table;
    table.setCell(0, ComponentTable::BgCode, editionCell);
    table.setCell(0, ComponentTable::Width, widthCell);
    const QString html = PreviewPage::text(QStringLiteral("<p>模块</p>"), PreviewPage::layoutOf(table),
                                           QStringLiteral("gbk"));

    const QString pageDiv = QStringLiteral("<div class=\"plumbrook-page\" data-edition=\"%1\" style=\"width:%2px;\">"
                                           "<div class=\"plumbrook-column\" style=\"width:%3px;\">\n<p>模块</p>\n</div></div>")
                                .arg(edition).arg(page).arg(column);
    QVERIFY2(html.contains(pageDiv), qPrintable(html.left(600)));
    // The notice line stands before the module and names what it shows.
    const QRegularExpression notice(QStringLiteral("<div class=\"plumbrook-notice\">本地预览：%1版，店铺内容宽 %2 像素")
                                        .arg(edition).arg(column));
    const QRegularExpressionMatch match = notice.match(html);
    QVERIFY(match.hasMatch());
    QVERIFY(match.capturedStart() < html.indexOf(pageDiv));
    QCOMPARE(html.contains(QStringLiteral("模块宽 ")), !widthCell.isEmpty());
}

void TestPreviewPage::charsetFollowsTheBytes_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QByteArray>("charset");
    QTest::newRow("ASCII") << "<div>sale</div>" << QByteArray("gbk");
    QTest::newRow("Chinese GBK holds") << "<div>店铺公告 感觉很不错哟</div>" << QByteArray("gbk");
    QTest::newRow("an ideograph beyond GBK") << "<div>\U00020000 上新</div>" << QByteArray("gb18030");
    QTest::newRow("an emoji") << "<div>秒杀\U0001F525</div>" << QByteArray("gb18030");
}

void TestPreviewPage::charsetFollowsTheBytes()
{
    QFETCH(QString, code);
    QFETCH(QByteArray, charset);
    const PreviewPage::Layout layout{PreviewPage::Tmall, 990};
    const QByteArray bytes = PreviewPage::bytes(code, layout);
    // The declaration must come within the first 1024 bytes to be honoured.
    QVERIFY(bytes.indexOf("<meta charset=\"" + charset + "\">") >= 0);
    QVERIFY(bytes.indexOf("<meta charset=") < 1024);
    QCOMPARE(bytes.count("<meta charset="), 1);
    // The module's bytes stand in the page exactly as the clipboard holds them.
    QVERIFY(bytes.contains(TextOps::toGbk(code)));
    QCOMPARE(TextOps::fromGbk(bytes), PreviewPage::text(code, layout, QString::fromLatin1(charset)));
}

void TestPreviewPage::needsNothingFromTheNetwork()
{
    const QString html = PreviewPage::text(QString(), {PreviewPage::Market, 950}, QStringLiteral("gbk"));
    QVERIFY(!html.contains(QStringLiteral("://")));
    QVERIFY(!html.contains(QStringLiteral("<link")));
    QVERIFY(!html.contains(QStringLiteral("<script src")));
    QVERIFY(!html.contains(QStringLiteral("@import")));
    // Both pieces were found among the resources.
    QVERIFY(html.contains(QStringLiteral(".sn-simple-logo")));
    QVERIFY(html.contains(QStringLiteral("data-widget-config")));
}

QTEST_GUILESS_MAIN(TestPreviewPage)
#include "tst_preview_page.moc"
