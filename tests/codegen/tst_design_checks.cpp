#include "codegen/covered_components.h"
#include "codegen/design_checks.h"
#include "codegen/picture_sizes.h"
#include "model/carousel_settings.h"
#include "model/component_table.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QtTest>

#include <cmath>

using namespace Plumbrook;
using T = ComponentTable;
using Check = DesignFinding::Check;

namespace {

const QDateTime kNow(QDate(2026, 12, 10), QTime(12, 0, 0));

QString checkName(Check check)
{
    static const QHash<Check, QString> names{
        {Check::Outside, "outside"},
        {Check::Covered, "covered"},
        {Check::EmptyLink, "link"},
        {Check::PictureAddress, "address"},
        {Check::PictureFailed, "failed"},
        {Check::Proportion, "proportion"},
        {Check::Blurred, "blurred"},
        {Check::TextOverflow, "text"},
        {Check::CountdownInvalid, "endtime"},
        {Check::CountdownPast, "past"},
        {Check::CarouselPictures, "carousel"},
        {Check::Duplicate, "duplicate"},
        {Check::ModuleTooShort, "short"},
    };
    return names.value(check);
}

// Cells a component of each kind needs to pass every check.
QList<std::pair<int, QString>> cleanCells(const QString &kind)
{
    if (kind == QStringLiteral("图片"))
        return {{T::Picture, "https://img.example/a.jpg"}, {T::Link, "https://shop.example/a"}};
    if (kind == QStringLiteral("热点"))
        return {{T::Link, "https://shop.example/b"}};
    if (kind == QStringLiteral("换图") || kind == QStringLiteral("放大"))
        return {{T::Picture, "https://img.example/a.jpg"}, {T::Link, "https://img.example/b.jpg"},
                {T::Text, "https://shop.example/c"}};
    if (kind == QStringLiteral("倒计时"))
        return {{T::Picture, "2027-01-01 00:00:00"}};
    if (kind == QStringLiteral("文字"))
        return {{T::Picture, "字"}, {T::Other, "宋体"}, {T::Other1, "12"}};
    return {};
}

// A module of 950 × 500 and one component for each "kind left,top,width,height
// column=text …"; the cells named replace the clean ones.
void build(ComponentTable &table, const QStringList &rows)
{
    table.resetToModuleRecord();
    for (const QString &spec : rows) {
        const QStringList parts = spec.split(u' ', Qt::SkipEmptyParts);
        const QStringList frame = parts.value(1).split(u',');
        if (parts.first() == QStringLiteral("模块")) {
            table.setCell(0, T::Width, frame.value(0));
            table.setCell(0, T::Height, frame.value(1));
            continue;
        }
        const int row = table.appendRow(QString::number(table.count() + 1), parts.first());
        for (const auto &[column, text] : cleanCells(parts.first()))
            table.setCell(row, column, text);
        table.setCell(row, T::Left, frame.value(0));
        table.setCell(row, T::Top, frame.value(1));
        table.setCell(row, T::Width, frame.value(2));
        table.setCell(row, T::Height, frame.value(3));
        for (const QString &cell : parts.mid(2)) {
            const qsizetype at = cell.indexOf(u'=');
            table.setCell(row, T::columnByName(cell.left(at)), cell.mid(at + 1).replace(u'~', u' '));
        }
    }
}

// Sizes as "address=WxH" or "address=failed".
class ListedSizes : public PictureSizes
{
public:
    explicit ListedSizes(const QStringList &listed)
    {
        for (const QString &entry : listed) {
            const qsizetype at = entry.lastIndexOf(u'=');
            const QString value = entry.mid(at + 1);
            const QStringList size = value.split(u'x');
            mSizes.insert(entry.left(at), value == QStringLiteral("failed")
                                              ? Answer{Answer::Failed, {}}
                                              : Answer{Answer::Loaded, QSize(size.value(0).toInt(), size.value(1).toInt())});
        }
    }
    Answer sizeOf(const QString &url) const override { return mSizes.value(url); }

private:
    QHash<QString, Answer> mSizes;
};

// "id check", sorted.
QStringList found(const QVector<DesignFinding> &findings, std::optional<Check> only = std::nullopt)
{
    QStringList list;
    for (const DesignFinding &finding : findings) {
        if (!only || finding.check == *only)
            list << finding.id + u' ' + checkName(finding.check);
    }
    list.sort();
    return list;
}

QVector<DesignFinding> runChecks(const QStringList &rows, const QStringList &pictures = {},
                                 const QStringList &carousel = {})
{
    ComponentTable table;
    build(table, rows);
    const ListedSizes sizes(pictures);
    CheckSources sources;
    sources.pictures = &sizes;
    sources.now = kNow;
    const auto setting = [carousel](int, const QString &key) {
        for (const QString &entry : carousel) {
            if (entry.startsWith(key + u'='))
                return entry.mid(key.size() + 1);
        }
        return QString();
    };
    sources.carouselPictures = [&table, setting](int row) {
        return CarouselSettings::slidePictures(table, row, setting);
    };
    return DesignChecks::run(table, sources);
}

} // namespace

class TestDesignChecks : public QObject
{
    Q_OBJECT

private slots:
    void eachCheck_data();
    void eachCheck();
    void covering_data();
    void covering();
    void errorsComeFirst();
    void lineAndSummary();
    void stackLevelsFollowTheTemplates();
    void pictureSizesFromBytes();
};

void TestDesignChecks::eachCheck_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("pictures");
    QTest::addColumn<QStringList>("carousel");
    QTest::addColumn<QStringList>("expected");

    const QStringList none;
    const QStringList twoSlides{"Number=0", "t_1=https://img.example/1.jpg", "t_2=https://img.example/2.jpg"};

    QTest::newRow("clean design") << QStringList{"图片 0,0,100,100", "热点 100,0,50,50", "文字 0,200,200,100",
                                                "倒计时 300,0,100,40", "轮播 0,300,400,100"}
                                  << QStringList{"https://img.example/a.jpg=100x100"} << twoSlides << none;

    QTest::newRow("partly outside, left") << QStringList{"图片 -10,0,100,100"} << none << none << QStringList{"2 outside"};
    QTest::newRow("wholly outside, right") << QStringList{"图片 950,0,100,100"} << none << none << QStringList{"2 outside"};
    QTest::newRow("outside: touching the edges") << QStringList{"图片 0,0,950,500"} << none << none << none;

    QTest::newRow("hotspot under a picture") << QStringList{"热点 10,10,50,50", "图片 0,0,100,100"} << none << none
                                             << QStringList{"2 covered"};
    QTest::newRow("hotspot with one pixel free") << QStringList{"热点 10,10,50,50", "图片 11,0,100,100"} << none << none << none;

    QTest::newRow("hotspot link empty") << QStringList{"热点 0,0,50,50 链接="} << none << none << QStringList{"2 link"};
    QTest::newRow("picture link #") << QStringList{"图片 0,0,50,50 链接=#"} << none << none << QStringList{"2 link"};
    QTest::newRow("swap link #") << QStringList{"换图 0,0,50,50 文字=#"} << none << none << QStringList{"2 link"};
    QTest::newRow("link: a real one") << QStringList{"热点 0,0,50,50 链接=//shop.example/"} << none << none << none;

    QTest::newRow("picture address empty") << QStringList{"图片 0,0,50,50 图片="} << none << none << QStringList{"2 address"};
    QTest::newRow("picture address local") << QStringList{"图片 0,0,50,50 图片=file:///C:/a.jpg"} << none << none
                                           << QStringList{"2 address"};
    QTest::newRow("picture address http") << QStringList{"图片 0,0,50,50 图片=http://img.example/a.jpg"} << none << none
                                          << QStringList{"2 address"};
    QTest::newRow("swap hover picture http") << QStringList{"换图 0,0,50,50 链接=HTTP://img.example/b.jpg"} << none << none
                                             << QStringList{"2 address"};
    QTest::newRow("picture failed to load") << QStringList{"图片 0,0,50,50"} << QStringList{"https://img.example/a.jpg=failed"}
                                            << none << QStringList{"2 failed"};

    QTest::newRow("picture stretched 3 %") << QStringList{"图片 0,0,103,100"} << QStringList{"https://img.example/a.jpg=100x100"}
                                           << none << QStringList{"2 proportion"};
    QTest::newRow("picture stretched 2 %") << QStringList{"图片 0,0,102,100"} << QStringList{"https://img.example/a.jpg=100x100"}
                                           << none << none;
    QTest::newRow("picture blown up past 1.5") << QStringList{"图片 0,0,151,151"}
                                               << QStringList{"https://img.example/a.jpg=100x100"} << none
                                               << QStringList{"2 blurred"};
    QTest::newRow("picture blown up 1.5") << QStringList{"图片 0,0,150,150"} << QStringList{"https://img.example/a.jpg=100x100"}
                                          << none << none;
    QTest::newRow("picture size unknown") << QStringList{"图片 0,0,300,100"} << none << none << none;

    QTest::newRow("countdown past") << QStringList{"倒计时 0,0,100,40 图片=2026-12-10~11:59:59"} << none << none
                                    << QStringList{"2 past"};
    QTest::newRow("countdown ends at once") << QStringList{"倒计时 0,0,100,40 图片=2026-12-10~12:00:00"} << none << none
                                            << QStringList{"2 past"};
    QTest::newRow("countdown a second ahead") << QStringList{"倒计时 0,0,100,40 图片=2026-12-10~12:00:01"} << none << none
                                              << none;
    QTest::newRow("countdown not a time") << QStringList{"倒计时 0,0,100,40 图片=2026-13-40~00:00:00"} << none << none
                                          << QStringList{"2 endtime"};
    QTest::newRow("countdown empty") << QStringList{"倒计时 0,0,100,40 图片="} << none << none << QStringList{"2 endtime"};

    // Measured in the font the check measures with, whichever face stands in for it here.
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    const QFontMetricsF metrics(font);
    const int wordWidth = int(std::ceil(metrics.horizontalAdvance(QStringLiteral("Plumbrook"))));
    const int lineHeight = int(std::ceil(metrics.lineSpacing()));
    const QString word = QStringLiteral("文字 0,0,%1,%2 图片=Plumbrook");
    QTest::newRow("text too long for its box") << QStringList{"文字 0,0,20,10 图片=一二三四五六七八九十"} << none << none
                                               << QStringList{"2 text"};
    QTest::newRow("text word one pixel too wide") << QStringList{word.arg(wordWidth - 1).arg(lineHeight)} << none << none
                                                  << QStringList{"2 text"};
    QTest::newRow("text second line cut off") << QStringList{word.arg(wordWidth).arg(lineHeight) + "~Plumbrook"} << none
                                              << none << QStringList{"2 text"};
    QTest::newRow("text just fits") << QStringList{word.arg(wordWidth).arg(lineHeight)} << none << none << none;
    QTest::newRow("text with a set line height")
        << QStringList{word.arg(wordWidth).arg(lineHeight) + "~Plumbrook 其它2=" + QString::number(lineHeight / 2)}
        << none << none << none;

    QTest::newRow("carousel one picture") << QStringList{"轮播 0,0,400,100"} << none
                                          << QStringList{"Number=-1", "t_1=https://img.example/1.jpg"}
                                          << QStringList{"2 carousel"};
    QTest::newRow("carousel empty second picture") << QStringList{"轮播 0,0,400,100"} << none
                                                   << QStringList{"Number=1", "t_1=https://img.example/1.jpg",
                                                                  "t_3=https://img.example/3.jpg"}
                                                   << QStringList{"2 carousel"};
    QTest::newRow("carousel two pictures") << QStringList{"轮播 0,0,400,100"} << none << twoSlides << none;

    // The copy lies over its original, whose link can no longer be clicked.
    QTest::newRow("accidental copy") << QStringList{"图片 0,0,100,100", "图片 0,0,100,100"} << none << none
                                     << QStringList{"2 covered", "3 duplicate"};
    QTest::newRow("copy moved one pixel") << QStringList{"图片 0,0,100,100", "图片 1,0,100,100"} << none << none << none;
    QTest::newRow("same frame, other kind") << QStringList{"视频 0,0,100,100", "flash 0,0,100,100"} << none << none << none;

    QTest::newRow("module too short") << QStringList{"模块 950,500", "图片 0,450,100,51"} << none << none
                                      << QStringList{"1 short", "2 outside"};
    QTest::newRow("module just tall enough") << QStringList{"模块 950,551", "图片 0,450,100,101"} << none << none << none;
}

void TestDesignChecks::eachCheck()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, pictures);
    QFETCH(QStringList, carousel);
    QFETCH(QStringList, expected);
    QCOMPARE(found(runChecks(rows, pictures, carousel)), expected);
}

void TestDesignChecks::covering_data()
{
    QTest::addColumn<QStringList>("rows");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("later row of the same level lies above")
        << QStringList{"图片 0,0,100,100 链接=#", "热点 0,0,100,100"} << QStringList{};
    QTest::newRow("earlier row of the same level lies below")
        << QStringList{"图片 0,0,100,100", "热点 0,0,100,100"} << QStringList{"2 covered"};
    QTest::newRow("higher level wins over a later row")
        << QStringList{"热点 0,0,100,100", "换图 0,0,100,100"} << QStringList{"2 covered"};
    QTest::newRow("lower level never covers")
        << QStringList{"收藏 0,0,100,100", "图片 0,0,100,100 链接=#"} << QStringList{};
    QTest::newRow("share above a countdown above a hotspot")
        << QStringList{"分享 0,0,100,100", "倒计时 0,0,100,100", "热点 0,0,100,100"} << QStringList{"4 covered"};
    QTest::newRow("covered by two halves")
        << QStringList{"热点 0,0,100,100", "图片 0,0,50,100", "图片 50,0,50,100"} << QStringList{"2 covered"};
    QTest::newRow("two halves with a gap")
        << QStringList{"热点 0,0,100,100", "图片 0,0,50,100", "图片 51,0,49,100"} << QStringList{};
    QTest::newRow("four quarters, overlapping")
        << QStringList{"热点 10,10,100,100", "图片 0,0,70,70", "图片 60,0,70,70", "图片 0,60,70,70", "图片 60,60,70,70"}
        << QStringList{"2 covered"};
    QTest::newRow("a linked picture under a text")
        << QStringList{"图片 0,0,100,100", "文字 0,0,100,100 图片=~"} << QStringList{"2 covered"};
    QTest::newRow("a picture without link is no target")
        << QStringList{"图片 0,0,100,100 链接=#", "文字 0,0,100,100 图片=~"} << QStringList{};
    QTest::newRow("a huge cover across the grid")
        << QStringList{"模块 950,20000", "热点 100,15000,50,50", "图片 0,0,950,20000"} << QStringList{"2 covered"};
}

void TestDesignChecks::covering()
{
    QFETCH(QStringList, rows);
    QFETCH(QStringList, expected);
    QCOMPARE(found(runChecks(rows), Check::Covered), expected);
}

void TestDesignChecks::errorsComeFirst()
{
    const QVector<DesignFinding> findings =
        runChecks({"图片 0,0,50,50 链接=#", "热点 0,0,20,20 链接=", "图片 900,0,100,50"});
    QStringList order;
    for (const DesignFinding &finding : findings)
        order << finding.id + u' ' + DesignFinding::severityText(finding.severity);
    QCOMPARE(order, (QStringList{"3 错误", "2 提醒", "4 提醒"}));
}

void TestDesignChecks::lineAndSummary()
{
    const QVector<DesignFinding> findings = runChecks({"图片 -12,0,100,100"});
    QCOMPARE(findings.size(), 1);
    QCOMPARE(findings.first().line(), QStringLiteral("2 图片 提醒: 组件有一部分在模块之外，会被裁掉（左边超出 12 像素）"));
    QCOMPARE(DesignChecks::summary({3, 2}), QStringLiteral("3 个错误，2 个提醒"));
    const DesignChecks::Counts counts = DesignChecks::count(runChecks({"图片 0,0,5,5 链接=#", "热点 0,0,5,5 链接="}));
    QCOMPARE(counts.errors, 1);
    QCOMPARE(counts.warnings, 1);
}

void TestDesignChecks::stackLevelsFollowTheTemplates()
{
    QCOMPARE(CoveredComponents::stackLevel(QStringLiteral("图片")), 2);
    QCOMPARE(CoveredComponents::stackLevel(QStringLiteral("换图")), 3);
    QCOMPARE(CoveredComponents::stackLevel(QStringLiteral("分享")), 4);
    QCOMPARE(CoveredComponents::stackLevel(QStringLiteral("左箭头3")), 0);
}

void TestDesignChecks::pictureSizesFromBytes()
{
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QCOMPARE(PictureSizes::fromBytes(png).size, QSize(30, 20));
    QCOMPARE(PictureSizes::fromBytes("<html>not found</html>").state, PictureSizes::Answer::Failed);
    QCOMPARE(PictureSizes::fromBytes({}).state, PictureSizes::Answer::Unknown);
}

QTEST_MAIN(TestDesignChecks)
#include "tst_design_checks.moc"
