#include "codegen/design_check_rules.h"

#include "codegen/picture_sizes.h"
#include "model/text_ops.h"
#include "model/component_table.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QRegularExpression>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <optional>

namespace Plumbrook::DesignCheckRules {

namespace {

using C = ComponentTable;
using Check = DesignFinding::Check;
using Severity = DesignFinding::Severity;

// A box may be this much wider or taller than its picture's proportions allow, in percent.
constexpr int kProportionTolerance = 2;
// How far a picture may be blown up before it looks blurred: three halves.
constexpr int kBlowUpNumerator = 3;
constexpr int kBlowUpDenominator = 2;
// How many texts' fitting is kept between checks.
constexpr qsizetype kKnownTexts = 4096;

QString sizeText(int width, int height)
{
    return QStringLiteral("%1×%2").arg(width).arg(height);
}

// The words as the shop's page lays them out: tags gone, a line break kept, and
// every other run of white space one space.
QString visibleText(const QString &markup)
{
    static const QRegularExpression lineBreak(QStringLiteral("<br\\s*/?>"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    static const QRegularExpression space(QStringLiteral("[ \\t\\r\\n\\f]+"));
    QString text = markup;
    if (text.contains(u'<')) {
        text.replace(lineBreak, QString(QChar::LineSeparator));
        text.remove(tag);
    }
    text.replace(space, QStringLiteral(" "));
    text.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    return text.trimmed();
}

// The size a text needs when its lines are `width` wide.
QSizeF laidOut(const QString &text, const QFont &font, int width, qreal lineHeight)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal widest = 0;
    int lines = 0;
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        widest = std::max(widest, line.naturalTextWidth());
        ++lines;
    }
    layout.endLayout();
    return {widest, lines * lineHeight};
}

// The end time as the page's script reads it, "2016-11-11 00:00:00" (or with slashes,
// without seconds, or a date alone), in the viewer's local time. Parsed by hand:
// QDateTime::fromString looks up the time zone on every call.
std::optional<std::pair<QDate, QTime>> parseEndTime(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^\\s*(\\d{4})[-/](\\d{1,2})[-/](\\d{1,2})(?:\\s+(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?)?\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    const QTime time(match.captured(4).toInt(), match.captured(5).toInt(), match.captured(6).toInt());
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return std::pair{date, time};
}

} // namespace

QString RowCheck::cell(int column) const
{
    return table.cell(row, column);
}

int RowCheck::cellInt(int column) const
{
    return table.cellInt(row, column);
}

void RowCheck::add(Check check, Severity severity, const QString &text, const QString &figure) const
{
    DesignFinding finding;
    finding.id = cell(C::Id);
    finding.kind = cell(C::Kind);
    finding.row = row;
    finding.severity = severity;
    finding.check = check;
    finding.text = text;
    finding.figure = figure;
    findings.append(finding);
}

bool isRealLink(const QString &link)
{
    const QString trimmed = link.trimmed();
    return !trimmed.isEmpty() && trimmed != QStringLiteral("#");
}

void checkLink(const RowCheck &c, int linkColumn, bool hotspot)
{
    const QString link = c.cell(linkColumn).trimmed();
    if (isRealLink(link))
        return;
    // A hotspot is nothing but its link; a picture without one is merely not clickable.
    const Severity severity = hotspot ? Severity::Error : Severity::Warning;
    const QString what = hotspot ? QStringLiteral("热点") : QStringLiteral("图片");
    c.add(Check::EmptyLink, severity,
          link.isEmpty() ? what + QStringLiteral("的链接为空") : what + QStringLiteral("的链接是 #，点了不会去任何地方"));
}

void checkPictureAddress(const RowCheck &c, const QString &url, const QString &role)
{
    const QString address = url.trimmed();
    if (address.isEmpty()) {
        c.add(Check::PictureAddress, Severity::Error, role + QStringLiteral("地址为空"));
    } else if (address.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive)) {
        c.add(Check::PictureAddress, Severity::Error, role + QStringLiteral("是本机文件，店铺里看不到"),
              address);
    } else if (address.startsWith(QStringLiteral("http:"), Qt::CaseInsensitive)) {
        c.add(Check::PictureAddress, Severity::Warning,
              role + QStringLiteral("用的是 http，店铺页面是 https"), address);
    }
}

void checkPictureSize(const RowCheck &c, const QString &url, const QString &role)
{
    if (!c.sources.pictures || url.trimmed().isEmpty())
        return;
    const PictureSizes::Answer answer = c.sources.pictures->sizeOf(url.trimmed());
    if (answer.state == PictureSizes::Answer::Failed) {
        c.add(Check::PictureFailed, Severity::Error, role + QStringLiteral("加载失败"), url.trimmed());
        return;
    }
    if (answer.state != PictureSizes::Answer::Loaded)
        return;
    const qint64 width = c.cellInt(C::Width);
    const qint64 height = c.cellInt(C::Height);
    const qint64 naturalWidth = answer.size.width();
    const qint64 naturalHeight = answer.size.height();
    if (width <= 0 || height <= 0 || naturalWidth <= 0 || naturalHeight <= 0)
        return;
    const QString sizes = QStringLiteral("框 %1，图片 %2")
                              .arg(sizeText(int(width), int(height)), sizeText(int(naturalWidth), int(naturalHeight)));

    // The box's proportion against the picture's: w/h against nw/nh, in whole numbers.
    const qint64 box = width * naturalHeight;
    const qint64 picture = height * naturalWidth;
    if (std::llabs(box - picture) * 100 > kProportionTolerance * picture) {
        const double percent = std::abs(double(box) / double(picture) - 1.0) * 100.0;
        c.add(Check::Proportion, Severity::Warning, role + QStringLiteral("的比例被拉变了形"),
              sizes + QStringLiteral("，相差 %1%").arg(percent, 0, 'f', 1));
    }
    if (width * kBlowUpDenominator > naturalWidth * kBlowUpNumerator
        || height * kBlowUpDenominator > naturalHeight * kBlowUpNumerator) {
        const double factor = std::max(double(width) / naturalWidth, double(height) / naturalHeight);
        c.add(Check::Blurred, Severity::Warning, role + QStringLiteral("放大超过 1.5 倍，会模糊"),
              sizes + QStringLiteral("，放大 %1 倍").arg(factor, 0, 'f', 2));
    }
}

void checkText(const RowCheck &c)
{
    if (!DesignChecks::canMeasureText())
        return;
    const QString text = visibleText(c.cell(C::Picture));
    const int width = c.cellInt(C::Width);
    const int height = c.cellInt(C::Height);
    if (text.isEmpty() || width <= 0 || height <= 0)
        return;
    // Repeated labels are common, so whether a text fits is kept for its next copy.
    thread_local QHash<QString, bool> known;
    const QString key = QStringList{text, c.cell(C::Other), c.cell(C::Other1), c.cell(C::BgColor),
                                    c.cell(C::Other2), QString::number(width), QString::number(height)}
                            .join(QChar(0x1f));
    if (const auto found = known.constFind(key); found != known.cend()) {
        if (*found)
            return;
    } else if (known.size() > kKnownTexts) {
        known.clear();
    }
    QFont font(c.cell(C::Other));
    const int size = c.cellInt(C::Other1);
    font.setPixelSize(size > 0 ? size : 12);
    font.setBold(c.cell(C::BgColor) == QStringLiteral("1"));
    const QFontMetricsF metrics(font);
    const int setLineHeight = c.cellInt(C::Other2);
    const qreal lineHeight = setLineHeight > 0 ? qreal(setLineHeight) : metrics.lineSpacing();
    // Most texts stand on one line with room to spare: measured so, they need no layout.
    if (!text.contains(QChar::LineSeparator) && lineHeight <= height + 0.5
        && metrics.horizontalAdvance(text) <= width + 0.5) {
        known.insert(key, true);
        return;
    }
    const QSizeF needed = laidOut(text, font, width, lineHeight);
    // Half a pixel either way is rounding, not words cut off.
    const bool fits = needed.width() <= width + 0.5 && needed.height() <= height + 0.5;
    known.insert(key, fits);
    if (fits)
        return;
    c.add(Check::TextOverflow, Severity::Warning, QStringLiteral("文字放不下，会超出文字框"),
          QStringLiteral("需要 %1，框只有 %2")
              .arg(sizeText(int(std::ceil(needed.width())), int(std::ceil(needed.height()))),
                   sizeText(width, height)));
}

void checkCountdown(const RowCheck &c)
{
    const QString text = c.cell(C::Picture);
    const std::optional<std::pair<QDate, QTime>> end = parseEndTime(text);
    if (!end) {
        c.add(Check::CountdownInvalid, Severity::Error, QStringLiteral("倒计时的结束时间不是有效的时间"),
              text.isEmpty() ? QStringLiteral("（空）") : text);
        return;
    }
    if (*end <= c.now)
        c.add(Check::CountdownPast, Severity::Error, QStringLiteral("倒计时的结束时间已经过了"),
              QStringLiteral("结束于 %1 %2")
                  .arg(end->first.toString(QStringLiteral("yyyy-MM-dd")),
                       end->second.toString(QStringLiteral("HH:mm:ss"))));
}

void checkCarousel(const RowCheck &c)
{
    if (!c.sources.carouselPictures)
        return;
    const QStringList pictures = c.sources.carouselPictures(c.row);
    int withAddress = 0;
    for (int k = 1; k <= pictures.size(); ++k) {
        const QString role = QStringLiteral("轮播的第 %1 张图片").arg(k);
        const QString url = pictures.at(k - 1).trimmed();
        if (url.isEmpty()) {
            c.add(Check::CarouselPictures, Severity::Error, role + QStringLiteral("地址为空"));
            continue;
        }
        ++withAddress;
        checkPictureAddress(c, url, role);
    }
    if (withAddress < 2)
        c.add(Check::CarouselPictures, Severity::Warning, QStringLiteral("轮播少于两张图片，轮播不起来"),
              QStringLiteral("只有 %1 张").arg(withAddress));
}

} // namespace Plumbrook::DesignCheckRules
