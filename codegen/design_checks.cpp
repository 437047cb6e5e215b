#include "codegen/design_checks.h"

#include "codegen/covered_components.h"
#include "codegen/design_check_rules.h"
#include "model/component_table.h"
#include "model/kind_table.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>

#include <algorithm>
#include <numeric>

namespace Plumbrook {

namespace {

using C = ComponentTable;
using Check = DesignFinding::Check;
using Severity = DesignFinding::Severity;
using Kind = KindTable::Kind;
using namespace DesignCheckRules;

// A component's kind and frame, which an accidental copy shares with its original.
struct FrameKey
{
    Kind kind;
    int left, top, right, bottom;
    bool operator==(const FrameKey &) const = default;
};

size_t qHash(const FrameKey &key, size_t seed = 0)
{
    return qHashMulti(seed, int(key.kind), key.left, key.top, key.right, key.bottom);
}

// Frames typed by hand can hold any number; beyond this nothing is measured more finely.
constexpr int kFarAway = 100000000;

int bounded(qint64 value)
{
    return int(std::clamp<qint64>(value, -kFarAway, kFarAway));
}

CoveredComponents::Box frameOf(const ComponentTable &table, int row)
{
    CoveredComponents::Box box;
    box.left = bounded(table.cellInt(row, C::Left));
    box.top = bounded(table.cellInt(row, C::Top));
    box.right = bounded(qint64(box.left) + std::max(0, table.cellInt(row, C::Width)));
    box.bottom = bounded(qint64(box.top) + std::max(0, table.cellInt(row, C::Height)));
    box.row = row;
    return box;
}

void checkOutside(const RowCheck &c, const CoveredComponents::Box &box, int moduleWidth, int moduleHeight)
{
    if (box.isEmpty())
        return;
    const qint64 beyond[] = {-qint64(box.left), -qint64(box.top), qint64(box.right) - moduleWidth,
                             qint64(box.bottom) - moduleHeight};
    static const QString sides[] = {QStringLiteral("左边"), QStringLiteral("上边"), QStringLiteral("右边"),
                                    QStringLiteral("下边")};
    QStringList figures;
    for (int side = 0; side < 4; ++side) {
        if (beyond[side] > 0)
            figures << sides[side] + QStringLiteral("超出 %1 像素").arg(beyond[side]);
    }
    if (figures.isEmpty())
        return;
    const bool wholly = box.left >= moduleWidth || box.top >= moduleHeight || box.right <= 0 || box.bottom <= 0;
    if (wholly)
        c.add(Check::Outside, Severity::Error, QStringLiteral("组件完全在模块之外，店铺里看不到"),
              figures.join(QStringLiteral("，")));
    else
        c.add(Check::Outside, Severity::Warning, QStringLiteral("组件有一部分在模块之外，会被裁掉"),
              figures.join(QStringLiteral("，")));
}

// A hotspot and the marketplace's widgets are there to be clicked; a picture when it links.
bool isClickable(const RowCheck &c, Kind kind)
{
    switch (kind) {
    case Kind::Hotspot:
    case Kind::Favourite:
    case Kind::Share:
    case Kind::Cart:
    case Kind::Like:
    case Kind::Follow:
    case Kind::Service:
    case Kind::ChatGroup:
    case Kind::Search:
        return true;
    case Kind::Picture:
        return isRealLink(c.cell(C::Link));
    case Kind::Swap:
    case Kind::Zoom:
        return isRealLink(c.cell(C::Text));
    default:
        return false;
    }
}

void checkContent(const RowCheck &c, Kind kind)
{
    switch (kind) {
    case Kind::Hotspot:
        checkLink(c, C::Link, true);
        break;
    case Kind::Picture:
        checkLink(c, C::Link, false);
        checkPictureAddress(c, c.cell(C::Picture), QStringLiteral("图片"));
        checkPictureSize(c, c.cell(C::Picture), QStringLiteral("图片"));
        break;
    case Kind::Swap:
        checkLink(c, C::Text, false);
        checkPictureAddress(c, c.cell(C::Picture), QStringLiteral("图片"));
        checkPictureAddress(c, c.cell(C::Link), QStringLiteral("移入后的图片"));
        checkPictureSize(c, c.cell(C::Picture), QStringLiteral("图片"));
        checkPictureSize(c, c.cell(C::Link), QStringLiteral("移入后的图片"));
        break;
    case Kind::Zoom:
        checkLink(c, C::Text, false);
        checkPictureAddress(c, c.cell(C::Picture), QStringLiteral("图片"));
        checkPictureAddress(c, c.cell(C::Link), QStringLiteral("放大后的图片"));
        checkPictureSize(c, c.cell(C::Picture), QStringLiteral("图片"));
        break;
    case Kind::Text:
        checkText(c);
        break;
    case Kind::Countdown:
        checkCountdown(c);
        break;
    case Kind::Carousel:
        checkCarousel(c);
        break;
    default:
        break;
    }
}

} // namespace

QString DesignFinding::severityText(Severity severity)
{
    return severity == Severity::Error ? QStringLiteral("错误") : QStringLiteral("提醒");
}

QString DesignFinding::line() const
{
    QString line = QStringLiteral("%1 %2 %3: %4").arg(id, kind, severityText(severity), text);
    if (!figure.isEmpty())
        line += QStringLiteral("（%1）").arg(figure);
    return line;
}

namespace DesignChecks {

bool canMeasureText()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

QVector<DesignFinding> run(const ComponentTable &table, const CheckSources &sources)
{
    QVector<DesignFinding> findings;
    const int moduleWidth = table.cellInt(0, C::Width);
    const int moduleHeight = table.cellInt(0, C::Height);

    QVector<CoveredComponents::Box> boxes;
    boxes.reserve(table.count());
    const QDateTime now = sources.now.isValid() ? sources.now : QDateTime::currentDateTime();
    const std::pair<QDate, QTime> localNow{now.date(), now.time()};
    QHash<FrameKey, int> frames;   // the first row with each kind and frame
    int lowestRow = -1;
    int lowest = 0;
    for (int row = 1; row < table.count(); ++row) {
        const KindTable::KindInfo *info = KindTable::find(table.cell(row, C::Kind));
        // A carousel's arrows are drawn by the carousel's own code.
        if (!info)
            continue;
        const RowCheck c{table, row, sources, findings, localNow};
        CoveredComponents::Box box = frameOf(table, row);
        box.level = CoveredComponents::stackLevel(info->name);
        box.clickable = isClickable(c, info->kind);
        boxes.append(box);

        checkOutside(c, box, moduleWidth, moduleHeight);
        if (!box.isEmpty() && (lowestRow < 0 || box.bottom > lowest)) {
            lowestRow = row;
            lowest = box.bottom;
        }
        const FrameKey frame{info->kind, box.left, box.top, box.right, box.bottom};
        const auto first = frames.constFind(frame);
        if (first == frames.cend())
            frames.insert(frame, row);
        else
            c.add(Check::Duplicate, Severity::Warning,
                  QStringLiteral("和组件 %1 的种类、位置、大小完全一样，可能是多复制了一个")
                      .arg(table.cell(*first, C::Id)));
        checkContent(c, info->kind);
    }

    for (const int index : CoveredComponents::find(boxes)) {
        const RowCheck c{table, boxes.at(index).row, sources, findings};
        c.add(Check::Covered, Severity::Error, QStringLiteral("被上面的组件完全盖住，点不到"),
              QStringLiteral("z-index %1").arg(boxes.at(index).level));
    }

    if (lowestRow > 0 && lowest > moduleHeight) {
        const RowCheck c{table, 0, sources, findings};
        c.add(Check::ModuleTooShort, Severity::Error, QStringLiteral("模块高度比最低的组件矮，组件下部会被裁掉"),
              QStringLiteral("模块高 %1 像素，组件 %2 到 %3 像素")
                  .arg(moduleHeight)
                  .arg(table.cell(lowestRow, C::Id))
                  .arg(lowest));
    }

    // Ordered by their places alone, then moved once each.
    QVector<int> order(findings.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&findings](int a, int b) {
        const DesignFinding &first = findings.at(a);
        const DesignFinding &second = findings.at(b);
        if (first.severity != second.severity)
            return first.severity == Severity::Error;
        return first.row < second.row;
    });
    QVector<DesignFinding> ordered;
    ordered.reserve(findings.size());
    for (const int index : std::as_const(order))
        ordered.append(std::move(findings[index]));
    return ordered;
}

Counts count(const QVector<DesignFinding> &findings)
{
    Counts counts;
    for (const DesignFinding &finding : findings)
        ++(finding.severity == Severity::Error ? counts.errors : counts.warnings);
    return counts;
}

QString summary(const Counts &counts)
{
    return QStringLiteral("%1 个错误，%2 个提醒").arg(counts.errors).arg(counts.warnings);
}

} // namespace DesignChecks
} // namespace Plumbrook
