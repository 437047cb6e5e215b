#include "codegen/module_generator.h"
#include "model/carousel_settings.h"
#include "model/profile_file.h"
#include "model/component_table.h"
#include "model/design_file.h"
#include "support/test_support.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>


using namespace Plumbrook;

Q_DECLARE_METATYPE(DesignFile::Design)
using T = ComponentTable;

namespace {

DesignFile::Design sampleDesign()
{
    DesignFile::Design design;
    design.rows = {T::initialModuleRecord()};
    QStringList picture(T::ColumnCount);
    picture[T::Id] = QStringLiteral("2");
    picture[T::Kind] = QStringLiteral("图片");
    picture[T::Picture] = QStringLiteral("http://127.0.0.1/a.png");
    picture[T::Text] = QStringLiteral("说明 \"引号\"\n第二行");
    design.rows.append(picture);
    QStringList carousel(T::ColumnCount);
    carousel[T::Id] = QStringLiteral("3");
    carousel[T::Kind] = QStringLiteral("轮播");
    design.rows.append(carousel);
    design.carousels.insert(2, {{QStringLiteral("Number"), QStringLiteral("4")},
                                {QStringLiteral("t_1"), QStringLiteral("http://127.0.0.1/c.jpg")}});
    return design;
}

// The design as a QJsonDocument writes it: the bytes every design file had so far.
QByteArray throughQJsonDocument(const DesignFile::Design &design)
{
    const QStringList &columns = T::columnNames();
    QJsonArray rows;
    for (const QStringList &cells : design.rows) {
        QJsonObject object;
        for (int column = 0; column < T::ColumnCount; ++column)
            object.insert(columns.at(column), cells.value(column));
        rows.append(object);
    }
    QJsonObject carousels;
    for (auto it = design.carousels.cbegin(); it != design.carousels.cend(); ++it) {
        QJsonObject settings;
        for (const auto &[key, value] : it.value())
            settings.insert(key, value);
        carousels.insert(QString::number(it.key()), settings);
    }
    QJsonObject root{{QStringLiteral("format"), DesignFile::kFormat},
                     {QStringLiteral("version"), DesignFile::kVersion},
                     {QStringLiteral("rows"), rows},
                     {QStringLiteral("carousels"), carousels}};
    if (!design.shrink.isEmpty())
        root.insert(QStringLiteral("shrink"), design.shrink);
    if (!design.guidesX.isEmpty() || !design.guidesY.isEmpty()) {
        QJsonArray x;
        QJsonArray y;
        for (int value : design.guidesX)
            x.append(value);
        for (int value : design.guidesY)
            y.append(value);
        root.insert(QStringLiteral("guides"), QJsonObject{{QStringLiteral("x"), x}, {QStringLiteral("y"), y}});
    }
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

// Text of every kind a JSON writer treats apart: escapes, control characters, one to four
// UTF-8 bytes, halves of surrogate pairs alone.
const QList<QString> &awkwardTexts()
{
    static const QList<QString> texts = {
        QString(), QStringLiteral("plain"), QStringLiteral("说明 \"引号\"\n第二行"),
        QStringLiteral("\\ / \b\f\n\r\t"), QString(QChar(0x01)) + QChar(0x1f) + QChar(0x7f),
        QStringLiteral("é ß ÿ"), QStringLiteral("😀 𠀀"), QString(QChar(0xd83d)),
        QString(QChar(0xd83d)) + u'a', QString(QChar(0xde00)) + u'b', QString(QChar(0xffff)),
        QString(QChar(0xfffd)) + QChar(0xe000), QStringLiteral("<a href=\"x\">&amp;</a>"),
    };
    return texts;
}

DesignFile::Design randomDesign(quint32 seed)
{
    QRandomGenerator random(seed);
    const QList<QString> &texts = awkwardTexts();
    auto text = [&] {
        QString value;
        for (int n = random.bounded(3); n >= 0; --n)
            value += texts.at(random.bounded(int(texts.size())));
        return value;
    };
    DesignFile::Design design;
    design.rows = {T::initialModuleRecord()};
    for (int row = random.bounded(6); row > 0; --row) {
        // Rows short of, or past, the columns there are.
        QStringList cells;
        for (int column = T::ColumnCount + random.bounded(-3, 3); column > 0; --column)
            cells.append(text());
        design.rows.append(cells);
    }
    for (int carousel = random.bounded(4); carousel > 0; --carousel) {
        DesignFile::CarouselValues values;
        for (int n = random.bounded(5); n > 0; --n)
            values.append({random.bounded(3) ? text() : QStringLiteral("Number"), text()});
        design.carousels.insert(random.bounded(1, 120), values);
    }
    if (random.bounded(2))
        design.shrink = text();
    return design;
}

QByteArray withRoot(const char *json)
{
    return QByteArray(json);
}

} // namespace

class TestDesignFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void writtenAsQJsonDocumentWritesIt_data();
    void writtenAsQJsonDocumentWritesIt();
    void badFiles_data();
    void badFiles();
    void carouselKeysAreTheKnownOnes();
    void limits_data();
    void limits();
    void failedWriteKeepsTheOldFile();
    void backgroundWrites_data();
    void backgroundWrites();
    void carouselSettingsSurviveAFullDisk();
    void modulegenUsesTheFilesCarousels();
};

void TestDesignFile::roundTrip()
{
    const DesignFile::Design design = sampleDesign();
    QString error;
    const auto read = DesignFile::parse(DesignFile::serialise(design), &error);
    QVERIFY2(read, qPrintable(error));
    QCOMPARE(read->rows, design.rows);
    QCOMPARE(read->carousels.keys(), QList<int>{2});
    const DesignFile::CarouselValues values = read->carousels.value(2);
    QCOMPARE(values.first(), (QPair<QString, QString>(QStringLiteral("Number"), QStringLiteral("4"))));
    QCOMPARE(values.at(3), (QPair<QString, QString>(QStringLiteral("t_1"), QStringLiteral("http://127.0.0.1/c.jpg"))));

    const QJsonObject root = QJsonDocument::fromJson(DesignFile::serialise(design)).object();
    QCOMPARE(root.value(QStringLiteral("format")).toString(), QStringLiteral("plumbrook-design"));
    QCOMPARE(root.value(QStringLiteral("version")).toInt(), 1);
}

void TestDesignFile::writtenAsQJsonDocumentWritesIt_data()
{
    QTest::addColumn<DesignFile::Design>("design");
    QTest::newRow("sample") << sampleDesign();
    DesignFile::Design bare;
    bare.rows = {T::initialModuleRecord()};
    QTest::newRow("no carousels") << bare;
    DesignFile::Design numbered = bare;
    for (int number : {1, 2, 9, 10, 100, 11})
        numbered.carousels.insert(number, {});
    numbered.shrink = QStringLiteral("-20");
    QTest::newRow("carousel numbers, empty settings, a shrink") << numbered;
    DesignFile::Design keyed = bare;
    keyed.carousels.insert(1, {{QStringLiteral("b"), QStringLiteral("1")},
                               {QStringLiteral("中"), QStringLiteral("2")},
                               {QStringLiteral("😀"), QStringLiteral("3")},
                               {QString(QChar(0xfffd)), QStringLiteral("4")},
                               {QStringLiteral("a"), QStringLiteral("5")},
                               {QStringLiteral("A"), QStringLiteral("6")},
                               {QStringLiteral("a"), QStringLiteral("7")},
                               {QString(), QStringLiteral("8")}});
    QTest::newRow("keys in every range, one given twice") << keyed;
    DesignFile::Design awkward = bare;
    for (const QString &text : awkwardTexts())
        awkward.rows.append(QStringList(T::ColumnCount, text));
    QTest::newRow("awkward texts") << awkward;
    DesignFile::Design guided = bare;
    guided.guidesX = {300, -40, 0};
    guided.guidesY = {};
    QTest::newRow("guides, one way only") << guided;
    guided.guidesY = {2147483, 5};
    QTest::newRow("guides both ways") << guided;
    for (quint32 seed = 1; seed <= 200; ++seed)
        QTest::addRow("random %u", seed) << randomDesign(seed);
}

// Design files written before keep their bytes: opening one and saving it changes nothing.
void TestDesignFile::writtenAsQJsonDocumentWritesIt()
{
    QFETCH(DesignFile::Design, design);
    QCOMPARE(DesignFile::serialise(design), throughQJsonDocument(design));
}

void TestDesignFile::badFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");

    const QByteArray good = DesignFile::serialise(sampleDesign());
    // Where the text breaks, counted in characters of its line.
    QTest::newRow("not JSON") << QByteArray("hello") << "设计文件已损坏：第 1 行第 1 列";
    QTest::newRow("broken on a later line") << QByteArray("{\n  \"名称\": \"轮播\",\n  \"x\" 1\n}")
                                           << "设计文件已损坏：第 3 行第 7 列";
    QTest::newRow("truncated") << good.left(good.size() / 2) << "设计文件已损坏";
    QTest::newRow("empty file") << QByteArray() << "设计文件已损坏：第 1 行第 1 列";
    QTest::newRow("array") << withRoot("[]") << "设计文件已损坏：内容不是一份设计";
    QTest::newRow("bare rows design") << withRoot(R"({"rows": []})") << "这不是设计文件";
    QTest::newRow("other format") << withRoot(R"({"format": "other", "version": 1, "rows": []})")
                                  << "这不是设计文件";
    QTest::newRow("newer version")
        << withRoot(R"({"format": "plumbrook-design", "version": 2, "rows": [{"标识": "1"}]})")
        << "文件版本 2，本软件只能打开版本 1";
    QTest::newRow("huge version")
        << withRoot(R"({"format": "plumbrook-design", "version": 1e108, "rows": [{"标识": "1"}]})")
        << "较新版本";
    QTest::newRow("version as text")
        << withRoot(R"({"format": "plumbrook-design", "version": "1", "rows": [{"标识": "1"}]})")
        << "版本号不是整数";
    QTest::newRow("fractional version")
        << withRoot(R"({"format": "plumbrook-design", "version": 1.5, "rows": [{"标识": "1"}]})")
        << "版本号不是整数";
    QTest::newRow("no rows") << withRoot(R"({"format": "plumbrook-design", "version": 1})") << "缺少组件列表";
    QTest::newRow("empty rows") << withRoot(R"({"format": "plumbrook-design", "version": 1, "rows": []})")
                                << "缺少模块设置";
    QTest::newRow("number cell")
        << withRoot(R"({"format": "plumbrook-design", "version": 1, "rows": [{"标识": "1", "宽度": 950}]})")
        << "第 1 条记录的“宽度”是数字，不是文字";
    QTest::newRow("null cell")
        << withRoot(R"({"format": "plumbrook-design", "version": 1, "rows": [{"标识": "1"}, {"标识": "2", "备注": null}]})")
        << "第 2 条记录的“备注”是空值";
    QTest::newRow("duplicate id")
        << withRoot(R"({"format": "plumbrook-design", "version": 1, "rows": [{"标识": "1"}, {"标识": "1"}]})")
        << "第 1 条记录与第 2 条记录的编号都是 1";
    QTest::newRow("row without id")
        << withRoot(R"({"format": "plumbrook-design", "version": 1, "rows": [{"标识": "1"}, {"备注": "图片"}]})")
        << "第 2 条记录没有编号";
    QTest::newRow("colliding carousel numbers")
        << withRoot(R"({"format": "plumbrook-design", "version": 1, "rows": [{"标识": "1"}],
                        "carousels": {"1": {}, "01": {}}})")
        << "是同一个轮播";
    QTest::newRow("carousel number not decimal")
        << withRoot(R"({"format": "plumbrook-design", "version": 1, "rows": [{"标识": "1"}],
                        "carousels": {"-1": {}}})")
        << "轮播编号“-1”不是数字";
    QTest::newRow("carousel setting not text")
        << withRoot(R"({"format": "plumbrook-design", "version": 1, "rows": [{"标识": "1"}],
                        "carousels": {"3": {"t_1": 5}}})")
        << "3 号轮播的设置“t_1”不是文字";
    QTest::newRow("guides not an object")
        << withRoot(R"({"format": "plumbrook-design", "version": 1, "rows": [{"标识": "1"}], "guides": [3]})")
        << "辅助线的格式错误";
    QTest::newRow("guide not a whole number")
        << withRoot(R"({"format": "plumbrook-design", "version": 1, "rows": [{"标识": "1"}],
                        "guides": {"x": [1, 2.5]}})")
        << "竖向辅助线的位置不是整数";
    QTest::newRow("guides not a list")
        << withRoot(R"({"format": "plumbrook-design", "version": 1, "rows": [{"标识": "1"}],
                        "guides": {"y": "10"}})")
        << "横向辅助线不是一组位置";
    QTest::newRow("carousels not an object")
        << withRoot(R"({"format": "plumbrook-design", "version": 1, "rows": [{"标识": "1"}], "carousels": []})")
        << "轮播设置的格式错误";
}

void TestDesignFile::badFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    QString error;
    QVERIFY(!DesignFile::parse(bytes, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
}

void TestDesignFile::carouselKeysAreTheKnownOnes()
{
    const auto read = DesignFile::parse(withRoot(
        R"({"format": "plumbrook-design", "version": 1, "rows": [{"标识": "1"}],
            "carousels": {"7": {"j_j": "1", "unknown": "x"}}})"));
    QVERIFY(read);
    const DesignFile::CarouselValues values = read->carousels.value(7);
    QCOMPARE(values.size(), CarouselSettings::defaults().size());   // every known key, the absent ones empty
    QVERIFY(values.contains({QStringLiteral("j_j"), QStringLiteral("1")}));
    QVERIFY(values.contains({QStringLiteral("t_1"), QString()}));
    for (const auto &pair : values)
        QVERIFY(pair.first != QStringLiteral("unknown"));
}

void TestDesignFile::failedWriteKeepsTheOldFile()
{
#ifdef Q_OS_WIN
    QSKIP("a full disk is simulated with a file size limit, which Windows lacks");
#else
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("d.plbd"));
    QVERIFY(DesignFile::writeFile(path, sampleDesign()));
    const QByteArray before = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();

    // A full disk: no file may grow past 64 bytes while the bigger design is written.
    DesignFile::Design bigger = sampleDesign();
    bigger.rows.append(bigger.rows.at(1));
    bigger.rows.last()[T::Id] = QStringLiteral("9");
    QString error;
    bool written = true;
    Test::withFileSizeLimit(64, [&] { written = DesignFile::writeFile(path, bigger, &error); });
    QVERIFY(!written);
    // The cause in the user's words, not the system's.
    QVERIFY2(error.startsWith(QStringLiteral("文件超出系统允许的大小")), qPrintable(error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("d.plbd")});

    QVERIFY(!DesignFile::writeFile(dir.filePath(QStringLiteral("missing/d.plbd")), bigger, &error));
    QVERIFY2(error.startsWith(QStringLiteral("文件夹已不存在")), qPrintable(error));
#endif
}

void TestDesignFile::limits_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("reason");
    QTest::newRow("100,000 components") << "components" << false << QString();
    QTest::newRow("100,001 components") << "components+" << true << "超过上限 100000 个";
    QTest::newRow("a cell of 1 MB") << "cell" << false << QString();
    QTest::newRow("a cell over 1 MB") << "cell+" << true << "超过 1 MB";
    QTest::newRow("a file over 256 MB") << "file+" << true << "文件超过 256 MB";
}

void TestDesignFile::limits()
{
    QFETCH(QString, what);
    QFETCH(bool, refused);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("limit.plbd"));
    const bool over = what.endsWith(u'+');
    if (what.startsWith(QStringLiteral("file"))) {
        // Sparse: the size is checked before a byte is read.
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(DesignFile::kMaxFileBytes + 1));
    } else {
        DesignFile::Design design;
        design.rows = {T::initialModuleRecord()};
        const qsizetype components = what.startsWith(QStringLiteral("components"))
            ? DesignFile::kMaxComponents + (over ? 1 : 0) : 1;
        for (qsizetype i = 0; i < components; ++i) {
            QStringList cells(T::ColumnCount);
            cells[T::Id] = QString::number(i + 2);
            cells[T::Kind] = QStringLiteral("图片");
            design.rows.append(cells);
        }
        if (what.startsWith(QStringLiteral("cell")))
            design.rows[1][T::Picture] = QString(DesignFile::kMaxCellChars + (over ? 1 : 0), u'x');
        QVERIFY(DesignFile::writeFile(path, design));
    }
    QString error;
    const auto read = DesignFile::readFile(path, &error);
    QCOMPARE(!read, refused);
    if (refused)
        QVERIFY2(error.contains(reason), qPrintable(error));
}

void TestDesignFile::backgroundWrites_data()
{
    QTest::addColumn<DesignFile::Design>("design");
    QTest::addColumn<QString>("target");   // below the test's folder
    QTest::addColumn<bool>("written");
    DesignFile::Design bare;
    bare.rows = {T::initialModuleRecord()};
    DesignFile::Design shrunk = sampleDesign();
    shrunk.shrink = QStringLiteral("-12");
    QTest::newRow("module only") << bare << "d.plbd" << true;
    QTest::newRow("rows and carousels") << sampleDesign() << "d.plbd" << true;
    QTest::newRow("with shrink") << shrunk << "d.plbd" << true;
    QTest::newRow("folder missing") << sampleDesign() << "missing/d.plbd" << false;
}

void TestDesignFile::backgroundWrites()
{
    QFETCH(DesignFile::Design, design);
    QFETCH(QString, target);
    QFETCH(bool, written);
    QTemporaryDir dir;
    const QString path = dir.filePath(target);
    QObject receiver;
    QList<bool> outcomes;
    QString error;
    QThread *deliveredOn = nullptr;
    DesignFile::writeInBackground(path, design, &receiver, [&](bool ok, const QString &why) {
        outcomes.append(ok);
        error = why;
        deliveredOn = QThread::currentThread();
    });
    QTRY_COMPARE(outcomes.size(), 1);
    QCOMPARE(outcomes.first(), written);
    QCOMPARE(deliveredOn, QCoreApplication::instance()->thread());
    QCOMPARE(error.isEmpty(), written);
    QFile file(path);
    if (written) {
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), DesignFile::serialise(design));
    } else {
        QVERIFY(!file.exists());
    }
}

void TestDesignFile::carouselSettingsSurviveAFullDisk()
{
#ifdef Q_OS_WIN
    QSKIP("a full disk is simulated with a file size limit, which Windows lacks");
#else
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Carousel1.ini"));
    QVERIFY(ProfileFile::write(path, CarouselSettings::kSection, CarouselSettings::defaults()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    bool written = true;
    Test::withFileSizeLimit(64, [&] {
        written = ProfileFile::write(path, CarouselSettings::kSection, CarouselSettings::kTransitionCode,
                                     QStringLiteral("fade"));
    });
    QVERIFY(!written);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QCOMPARE(ProfileFile::read(path, CarouselSettings::kSection, CarouselSettings::kTransitionCode),
             QStringLiteral("none"));
#endif
}

void TestDesignFile::modulegenUsesTheFilesCarousels()
{
    QTemporaryDir dir;
    DesignFile::Design design;
    design.rows = {T::initialModuleRecord()};
    for (const auto &[id, kind] : {std::pair{"2", "轮播"}, {"3", "左箭头1"}, {"4", "右箭头1"}}) {
        QStringList cells(T::ColumnCount);
        cells[T::Id] = QString::fromUtf8(id);
        cells[T::Kind] = QString::fromUtf8(kind);
        cells[T::Width] = QStringLiteral("750");
        design.rows.append(cells);
    }
    DesignFile::CarouselValues values = CarouselSettings::defaults();
    values[3].second = QStringLiteral("http://file.example/first.jpg");
    design.carousels.insert(1, values);
    const QString path = dir.filePath(QStringLiteral("c.plbd"));
    QVERIFY(DesignFile::writeFile(path, design));
    // A settings file on disk that must not be read.
    QDir(dir.path()).mkpath(QStringLiteral("data/code"));
    ProfileFile::write(dir.filePath(QStringLiteral("data/code/Carousel1.ini")), CarouselSettings::kSection,
                       CarouselSettings::pictureKey(1), QStringLiteral("http://disk.example/stale.jpg"));

    const Test::ProgramRun run = Test::runModulegen({path});
    QCOMPARE(run.exitCode, 0);
    const QString code = QString::fromUtf8(run.out);
    QVERIFY(code.contains(QStringLiteral("http://file.example/first.jpg")));
    QVERIFY(!code.contains(QStringLiteral("stale.jpg")));

    ComponentTable table;
    table.replaceRows(design.rows);
    GenerationSources sources;
    sources.carouselSetting = [&values](int, const QString &key) {
        for (const auto &pair : values) {
            if (pair.first == key)
                return pair.second;
        }
        return QString();
    };
    QCOMPARE(code, ModuleGenerator(table, sources).generate(QStringLiteral("auto")));

    QFile bad(dir.filePath(QStringLiteral("bad.plbd")));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write(R"({"format": "plumbrook-design", "version": 9, "rows": []})");
    bad.close();
    const Test::ProgramRun refused = Test::runModulegen({bad.fileName()});
    QCOMPARE(refused.exitCode, 2);
    QVERIFY(QString::fromUtf8(refused.err).contains(QStringLiteral("较新版本")));
}

QTEST_GUILESS_MAIN(TestDesignFile)
#include "tst_design_file.moc"
