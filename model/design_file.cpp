#include "model/design_file.h"

#include "model/carousel_settings.h"
#include "model/design_json.h"
#include "model/file_errors.h"
#include "model/text_ops.h"
#include "model/background_work.h"
#include "model/component_table.h"
#include "model/indented_json.h"
#include "model/kind_table.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <numeric>

namespace Plumbrook::DesignFile {

namespace {

std::optional<Design> fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return std::nullopt;
}

// A carousel number as the settings file names it: decimal digits only.
int carouselNumber(const QString &text)
{
    if (text.isEmpty() || text.size() > 9)
        return -1;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
    }
    return text.toInt();
}

bool checkIds(const QVector<QStringList> &rows, QString *error)
{
    QHash<QString, qsizetype> seen;
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QString id = rows.at(r).at(ComponentTable::Id);
        QString message;
        if (id.isEmpty())
            message = QStringLiteral("设计文件已损坏：第 %1 条记录没有编号").arg(r + 1);
        else if (seen.contains(id))
            message = QStringLiteral("设计文件已损坏：第 %1 条记录与第 %2 条记录的编号都是 %3")
                          .arg(seen.value(id) + 1).arg(r + 1).arg(id);
        if (!message.isEmpty()) {
            if (error)
                *error = message;
            return false;
        }
        seen.insert(id, r);
    }
    return true;
}

bool parseCarousels(const QJsonValue &value, QMap<int, CarouselValues> *carousels, QString *error)
{
    auto failed = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (value.isUndefined())
        return true;
    if (!value.isObject())
        return failed(QStringLiteral("设计文件已损坏：轮播设置的格式错误"));
    const QJsonObject object = value.toObject();
    const QStringList &keys = CarouselSettings::keys();
    QMap<int, QString> names;
    for (auto it = object.begin(); it != object.end(); ++it) {
        const int number = carouselNumber(it.key());
        if (number < 0)
            return failed(QStringLiteral("设计文件已损坏：轮播编号“%1”不是数字").arg(it.key()));
        if (names.contains(number))
            return failed(QStringLiteral("设计文件已损坏：轮播编号“%1”和“%2”是同一个轮播")
                              .arg(names.value(number), it.key()));
        names.insert(number, it.key());
        if (!it.value().isObject())
            return failed(QStringLiteral("设计文件已损坏：%1 号轮播的设置格式错误").arg(it.key()));
        const QJsonObject settings = it.value().toObject();
        CarouselValues values;
        for (const QString &key : keys) {
            const QJsonValue setting = settings.value(key);
            if (!setting.isUndefined() && !setting.isString())
                return failed(QStringLiteral("设计文件已损坏：%1 号轮播的设置“%2”不是文字").arg(it.key(), key));
            values.append({key, setting.toString()});
        }
        carousels->insert(number, values);
    }
    return true;
}

bool refuse(QString *error, const QString &message)
{
    fail(error, message);
    return false;
}

// The optional guides: {"x": [numbers], "y": [numbers]}, whole module pixels.
bool parseGuides(const QJsonValue &value, Design *design, QString *error)
{
    if (value.isUndefined())
        return true;
    if (!value.isObject())
        return refuse(error, QStringLiteral("设计文件已损坏：辅助线的格式错误"));
    const QJsonObject guides = value.toObject();
    for (const auto &[key, target] : {std::pair{QStringLiteral("x"), &design->guidesX},
                                      std::pair{QStringLiteral("y"), &design->guidesY}}) {
        const QJsonValue list = guides.value(key);
        // Guides along x are the upright lines.
        const QString name = key == u"x" ? QStringLiteral("竖向") : QStringLiteral("横向");
        if (list.isUndefined())
            continue;
        if (!list.isArray())
            return refuse(error, QStringLiteral("设计文件已损坏：%1辅助线不是一组位置").arg(name));
        for (const QJsonValue &item : list.toArray()) {
            const double number = item.toDouble(std::nan(""));
            if (!item.isDouble() || number != std::floor(number) || std::abs(number) > 1e9)
                return refuse(error, QStringLiteral("设计文件已损坏：%1辅助线的位置不是整数").arg(name));
            target->append(int(number));
        }
    }
    return true;
}

// Older files have no list and open with every component shown; an id that names no
// component is left out, as it would hide nothing.
bool parseHidden(const QJsonValue &value, const QVector<QStringList> &rows, QStringList *hidden,
                 QString *error)
{
    if (value.isUndefined())
        return true;
    const auto failed = [error] {
        if (error)
            *error = QStringLiteral("设计文件已损坏：隐藏组件的列表格式错误");
        return false;
    };
    if (!value.isArray())
        return failed();
    QSet<QString> ids;
    for (qsizetype r = 1; r < rows.size(); ++r)
        ids.insert(rows.at(r).at(ComponentTable::Id));
    QSet<QString> seen;
    for (const QJsonValue &id : value.toArray()) {
        if (!id.isString())
            return failed();
        const QString text = id.toString();
        if (ids.contains(text) && !seen.contains(text)) {
            seen.insert(text);
            hidden->append(text);
        }
    }
    return true;
}

} // namespace

std::optional<Design> parse(const QByteArray &bytes, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        // The parser's offset lies just past the character it could not take.
        return fail(error, QStringLiteral("设计文件已损坏：%1有格式错误")
                               .arg(FileErrors::placeOf(bytes, qMax(0, parseError.offset - 1))));
    if (!document.isObject())
        return fail(error, QStringLiteral("设计文件已损坏：内容不是一份设计"));
    const QJsonObject root = document.object();

    const QJsonValue format = root.value(QStringLiteral("format"));
    if (format.toString() != kFormat)
        return fail(error, QStringLiteral("这不是设计文件"));
    const QJsonValue version = root.value(QStringLiteral("version"));
    const double number = version.toDouble(-1);
    // Checked as a double: converting a huge number to an integer first is undefined.
    if (!version.isDouble() || number < 1 || number != std::floor(number))
        return fail(error, QStringLiteral("设计文件已损坏：版本号不是整数"));
    if (number > kVersion)
        return fail(error, QStringLiteral("设计文件由较新版本的软件保存（文件版本 %1，本软件只能打开版本 %2），请先升级软件")
                               .arg(number, 0, 'f', 0).arg(kVersion));

    Design design;
    if (!DesignJson::parseRows(root.value(QStringLiteral("rows")), &design.rows, error))
        return std::nullopt;
    if (design.rows.isEmpty())
        return fail(error, QStringLiteral("设计文件已损坏：缺少模块设置"));
    if (design.rows.size() - 1 > kMaxComponents)
        return fail(error, QStringLiteral("设计有 %1 个组件，超过上限 %2 个")
                               .arg(design.rows.size() - 1).arg(kMaxComponents));
    for (const QStringList &cells : std::as_const(design.rows)) {
        for (const QString &cell : cells) {
            if (cell.size() > kMaxCellChars)
                return fail(error, QStringLiteral("设计中有一格超过 1 MB，无法打开"));
        }
    }
    if (!checkIds(design.rows, error))
        return std::nullopt;
    if (!parseCarousels(root.value(QStringLiteral("carousels")), &design.carousels, error))
        return std::nullopt;
    const QJsonValue shrink = root.value(QStringLiteral("shrink"));
    if (!shrink.isUndefined() && !shrink.isString())
        return fail(error, QStringLiteral("设计文件已损坏：向上收缩的设置不是文字"));
    design.shrink = shrink.toString();
    if (!parseGuides(root.value(QStringLiteral("guides")), &design, error))
        return std::nullopt;
    if (!parseHidden(root.value(QStringLiteral("hidden")), design.rows, &design.hidden, error))
        return std::nullopt;
    return design;
}

std::optional<Design> readFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, FileErrors::readFailure(path));
    if (file.size() > kMaxFileBytes)
        return fail(error, QStringLiteral("文件超过 256 MB，无法打开：%1").arg(QFileInfo(path).fileName()));
    return parse(file.readAll(), error);
}

bool namesFormat(const QByteArray &bytes)
{
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    return document.isObject() && document.object().contains(QStringLiteral("format"));
}

QByteArray serialise(const Design &design)
{
    // The columns in the order a JSON object keeps its keys, found once.
    static const QList<int> columnOrder = [] {
        const QStringList &names = ComponentTable::columnNames();
        QList<int> order(ComponentTable::ColumnCount);
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(),
                  [&names](int a, int b) { return IndentedJson::keyLess(names.at(a), names.at(b)); });
        return order;
    }();
    const QStringList &columns = ComponentTable::columnNames();

    QByteArray bytes;
    bytes.reserve(qsizetype(design.rows.size()) * 640 + design.carousels.size() * 2048 + 256);
    IndentedJson json(&bytes);
    json.openObject();
    json.key(u"carousels");
    json.openObject();
    // Numbered as text, "10" before "2", as a JSON object orders its keys.
    QList<std::pair<QString, const CarouselValues *>> carousels;
    for (auto it = design.carousels.cbegin(); it != design.carousels.cend(); ++it)
        carousels.append({QString::number(it.key()), &it.value()});
    std::sort(carousels.begin(), carousels.end(),
              [](const auto &a, const auto &b) { return IndentedJson::keyLess(a.first, b.first); });
    for (const auto &carousel : std::as_const(carousels)) {
        const CarouselValues *values = carousel.second;
        json.key(carousel.first);
        json.openObject();
        QList<qsizetype> order(values->size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [values](qsizetype a, qsizetype b) {
            return IndentedJson::keyLess(values->at(a).first, values->at(b).first);
        });
        // A key given twice keeps its last value, as inserting into a JSON object does.
        for (qsizetype i = 0; i < order.size(); ++i) {
            const auto &[key, value] = values->at(order.at(i));
            if (i + 1 < order.size() && values->at(order.at(i + 1)).first == key)
                continue;
            json.key(key);
            json.string(value);
        }
        json.closeObject();
    }
    json.closeObject();
    json.key(u"format");
    json.string(kFormat);
    if (!design.guidesX.isEmpty() || !design.guidesY.isEmpty()) {
        json.key(u"guides");
        json.openObject();
        for (const auto &[key, values] : {std::pair{u"x", &design.guidesX}, std::pair{u"y", &design.guidesY}}) {
            json.key(key);
            json.openArray();
            for (int value : *values)
                json.integer(value);
            json.closeArray();
        }
        json.closeObject();
    }
    if (!design.hidden.isEmpty()) {
        json.key(u"hidden");
        json.openArray();
        for (const QString &id : design.hidden)
            json.string(id);
        json.closeArray();
    }
    json.key(u"rows");
    json.openArray();
    for (const QStringList &cells : design.rows) {
        json.openObject();
        for (const int column : columnOrder) {
            json.key(columns.at(column));
            json.string(column < cells.size() ? QStringView(cells.at(column)) : QStringView());
        }
        json.closeObject();
    }
    json.closeArray();
    if (!design.shrink.isEmpty()) {
        json.key(u"shrink");
        json.string(design.shrink);
    }
    json.key(u"version");
    json.integer(kVersion);
    json.closeObject();
    json.finish();
    return bytes;
}

bool writeBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    // commit() can report success over a short write (a full disk, a size limit);
    // an explicit flush and the size on disk catch it before the rename.
    errno = 0;
    const bool opened = file.open(QIODevice::WriteOnly);
    const bool complete = opened && file.write(bytes) == bytes.size() && file.flush()
        && file.size() == bytes.size();
    // Taken at once: what follows may set it again.
    int cause = errno;
    if (!complete)
        file.cancelWriting();
    if (!complete || (errno = 0, !file.commit())) {
        if (complete)
            cause = errno;
        if (error)
            *error = FileErrors::writeFailure(path, bytes.size(), file.error(), cause);
        return false;
    }
    return true;
}

bool writeFile(const QString &path, const Design &design, QString *error)
{
    return writeBytes(path, serialise(design), error);
}

void writeInBackground(const QString &path, Design design, QObject *receiver, Written done)
{
    struct Outcome
    {
        bool written = false;
        QString error;
    };
    BackgroundWork::run(
        BackgroundWork::Lane::Files, receiver,
        [path, design = std::move(design)] {
            Outcome outcome;
            outcome.written = writeFile(path, design, &outcome.error);
            return outcome;
        },
        [done = std::move(done)](const Outcome &outcome) {
            if (done)
                done(outcome.written, outcome.error);
        });
}

void finishWrites()
{
    BackgroundWork::waitForLane(BackgroundWork::Lane::Files);
}

Design fromTable(const ComponentTable &table, const SettingSource &source)
{
    Design design;
    design.rows = table.rows();
    const QStringList &keys = CarouselSettings::keys();
    for (int row = 1; row < table.count(); ++row) {
        if (!KindTable::is(table.cell(row, ComponentTable::Kind), KindTable::Kind::Carousel))
            continue;
        const int number = CarouselSettings::numberOf(table, row);
        if (!source) {
            design.carousels.insert(number, CarouselSettings::readAll(number));
            continue;
        }
        CarouselValues values;
        for (const QString &key : keys)
            values.append({key, source(number, key)});
        design.carousels.insert(number, values);
    }
    return design;
}

int highestId(const QVector<QStringList> &rows)
{
    int highest = 0;
    for (const QStringList &cells : rows)
        highest = qMax(highest, TextOps::toInt(cells.value(ComponentTable::Id)));
    return highest;
}

} // namespace Plumbrook::DesignFile
