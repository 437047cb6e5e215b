#include "codegen/code_recovery.h"

#include "model/text_ops.h"
#include "model/carousel_settings.h"
#include "model/component_table.h"
#include "model/kind_table.h"

namespace Plumbrook::CodeRecovery {

namespace {

using C = ComponentTable;

QString last(const CapturedValues &values, int hole)
{
    for (qsizetype i = values.size() - 1; i >= 0; --i) {
        if (values.at(i).first == hole)
            return values.at(i).second;
    }
    return {};
}

QString choice(const CodePatterns::Variant &variant, int hole)
{
    for (const auto &[choiceHole, value] : variant.choices) {
        if (choiceHole == hole)
            return value;
    }
    return {};
}

bool isDigits(QStringView text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

// The text field held the bare number that generation gave its unit.
QString withoutPixelUnit(const QString &value)
{
    if (value.endsWith(QStringLiteral("px")) && isDigits(QStringView(value).chopped(2)))
        return value.chopped(2);
    return value;
}

// The shortest factor text that gives the popup width generation wrote; the
// editor's four factors first.
QString zoomFactor(const QString &widthText, const QString &popup)
{
    const int width = TextOps::toInt(widthText);
    const auto gives = [&](const QString &factor) {
        return TextOps::formatNumber(width * double(TextOps::toFloat(factor))) == popup;
    };
    for (const char *factor : {"1.2", "1.3", "1.4", "1.5"}) {
        if (gives(QString::fromLatin1(factor)))
            return QString::fromLatin1(factor);
    }
    if (width != 0) {
        const double ratio = popup.toDouble() / width;
        for (int precision = 1; precision <= 9; ++precision) {
            const QString factor = QString::number(ratio, 'g', precision);
            if (gives(factor))
                return factor;
        }
    }
    return {};
}

// Cells the editors keep beside what generation reads: the open-mode list's
// index next to its target text.
void addOpenModeIndex(QStringList &cells, int indexColumn, int targetColumn)
{
    const QString target = cells.at(targetColumn);
    if (target == QStringLiteral("_blank"))
        cells[indexColumn] = QStringLiteral("0");
    else if (target == QStringLiteral("_self"))
        cells[indexColumn] = QStringLiteral("1");
}

// The text of a query key in a URL, "&" or "&amp;" ending it.
QString queryValue(const QString &url, const QString &key)
{
    const qsizetype at = url.indexOf(key);
    if (at < 0)
        return {};
    const qsizetype from = at + key.size();
    const qsizetype end = url.indexOf(u'&', from);
    return url.mid(from, end < 0 ? -1 : end - from);
}

// The QR editor composes the picture's address from its code kind and id.
void addQrFields(QStringList &cells)
{
    const QString url = cells.at(C::Text);
    const qsizetype type = QStringList{QStringLiteral("bs"), QStringLiteral("bi"), QStringLiteral("cs"),
                                       QStringLiteral("ci")}.indexOf(queryValue(url, QStringLiteral("type=")));
    if (type < 0)
        return;
    cells[C::Link] = QString::number(type);
    cells[C::Picture] = queryValue(url, type % 2 ? QStringLiteral("item_id=") : QStringLiteral("shop_id="));
}

void recoverCarousel(RecoveredComponent &component, const CapturedValues &values)
{
    QStringList &carousel = component.rows[0];
    const auto place = [&](QStringList &arrow, int leftHole, int topHole) {
        arrow[C::Width] = last(values, CodeHole::cell(1, C::Width));
        arrow[C::Height] = last(values, CodeHole::cell(1, C::Height));
        arrow[C::Left] = QString::number(qint64(TextOps::toInt(carousel.at(C::Left)))
                                         + TextOps::toInt(last(values, leftHole)));
        arrow[C::Top] = QString::number(qint64(TextOps::toInt(carousel.at(C::Top)))
                                        + TextOps::toInt(last(values, topHole)));
    };
    // Both arrows take the left one's size in the code; the right one's own is not in it.
    place(component.rows[1], CodeHole::LeftArrowLeft, CodeHole::LeftArrowTop);
    place(component.rows[2], CodeHole::RightArrowLeft, CodeHole::RightArrowTop);

    DesignFile::CarouselValues &settings = component.settings;
    const auto value = [&settings](const QString &key) -> QString & {
        for (auto &pair : settings) {
            if (pair.first == key)
                return pair.second;
        }
        static QString none;
        return none;
    };
    const qsizetype transition = CarouselSettings::transitionCodes().indexOf(value(CarouselSettings::kTransitionCode));
    const qsizetype easing = CarouselSettings::easingCodes().indexOf(value(CarouselSettings::kEasingCode));
    value(CarouselSettings::kTransitionIndex) = QString::number(qMax<qsizetype>(transition, 0));
    value(CarouselSettings::kEasingIndex) = QString::number(qMax<qsizetype>(easing, 0));
}

} // namespace

QVector<RecoveredComponent> components(const CodePatterns::Variant &variant, const CapturedValues &values)
{
    RecoveredComponent result;
    result.rows = QVector<QStringList>(variant.rows, QStringList(C::ColumnCount));
    result.rows[0][C::Kind] = variant.kind;
    const bool carousel = KindTable::is(variant.kind, KindTable::Kind::Carousel);
    if (carousel) {
        // Keys generation does not read keep their creation values.
        result.settings = CarouselSettings::defaults();
        for (int n = 1; n <= CarouselSettings::kMaxPictures; ++n) {
            for (auto &pair : result.settings) {
                if (pair.first == CarouselSettings::pictureKey(n) || pair.first == CarouselSettings::linkKey(n))
                    pair.second.clear();
            }
        }
    }
    const auto setSetting = [&result](int hole, const QString &value) {
        const qsizetype index = hole - CodeHole::kSettingBase;
        if (index >= 0 && index < result.settings.size())
            result.settings[index].second = value;
    };
    const auto apply = [&](int hole, const QString &value) {
        if (CodeHole::isCell(hole) && hole / CodeHole::kRowStride < variant.rows)
            result.rows[hole / CodeHole::kRowStride][hole % CodeHole::kRowStride] = value;
        else if (CodeHole::isSetting(hole))
            setSetting(hole, value);
        else if (CodeHole::isEncoded(hole))
            result.rows[0][hole - CodeHole::kEncodedBase] =
                QString::fromUtf8(QByteArray::fromPercentEncoding(value.toLatin1()));
    };
    for (const auto &[hole, value] : values)
        apply(hole, value);
    for (const auto &[hole, value] : variant.choices)
        apply(hole, value);

    QStringList &cells = result.rows[0];
    const QString &kind = variant.kind;
    if (KindTable::is(kind, KindTable::Kind::Zoom)) {
        cells[C::Height] = cells.at(C::Width);
        cells[C::BgCode] = zoomFactor(cells.at(C::Width), last(values, CodeHole::ZoomPopupWidth));
        const qsizetype factor = QStringList{QStringLiteral("1.2"), QStringLiteral("1.3"), QStringLiteral("1.4"),
                                             QStringLiteral("1.5")}.indexOf(cells.at(C::BgCode));
        if (factor >= 0)
            cells[C::Other] = QString::number(factor);
        addOpenModeIndex(cells, C::BgColor, C::Other2);
    } else if (KindTable::is(kind, KindTable::Kind::QrCode)) {
        cells[C::Height] = cells.at(C::Width);
        addQrFields(cells);
    } else if (KindTable::is(kind, KindTable::Kind::Text)) {
        cells[C::Other1] = withoutPixelUnit(cells.at(C::Other1));
        cells[C::Other2] = withoutPixelUnit(cells.at(C::Other2));
        // The code keeps the alignment and colour as CSS; the canvas and the editor read
        // them from the alignment's list index and the colour picker's value.
        const qsizetype align = QStringList{QStringLiteral("left"), QStringLiteral("center"),
                                            QStringLiteral("right")}.indexOf(cells.at(C::Other5));
        if (cells.at(C::Text).isEmpty() && align >= 0)
            cells[C::Text] = QString::number(align);
        if (cells.at(C::Other4).isEmpty() && cells.at(C::BgCode).contains(QLatin1Char('#')))
            cells[C::Other4] = QString::number(colourValue(cells.at(C::BgCode)));
    } else if (KindTable::is(kind, KindTable::Kind::Hotspot)) {
        addOpenModeIndex(cells, C::Text, C::BgColor);
    } else if (KindTable::is(kind, KindTable::Kind::Picture)) {
        addOpenModeIndex(cells, C::BgColor, C::Other);
    } else if (KindTable::is(kind, KindTable::Kind::Swap)) {
        addOpenModeIndex(cells, C::BgColor, C::Other1);
    } else if (KindTable::is(kind, KindTable::Kind::Video)) {
        // Generation switched the first play-mode segment of the address; undone
        // it reads as the editor had it, kept it may be what was typed.
        const bool onDemand = cells.at(C::Link) == QStringLiteral("0");
        const QString made = onDemand ? QStringLiteral("/p/2/e") : QStringLiteral("/p/1/e");
        const QString typed = onDemand ? QStringLiteral("/p/1/e") : QStringLiteral("/p/2/e");
        if (cells.at(C::Picture).contains(made)) {
            RecoveredComponent undone = result;
            TextOps::replaceIn(undone.rows[0][C::Picture], made, typed, 1);
            return onDemand ? QVector<RecoveredComponent>{undone, result} : QVector<RecoveredComponent>{result, undone};
        }
    } else if (carousel) {
        recoverCarousel(result, values);
        // Offsets from no arrow at all are minus the carousel's own position.
        const bool arrowless = last(values, CodeHole::cell(1, C::Width)).isEmpty()
            && last(values, CodeHole::cell(1, C::Height)).isEmpty() && result.rows[1][C::Left] == QStringLiteral("0")
            && result.rows[1][C::Top] == QStringLiteral("0") && result.rows[2][C::Left] == QStringLiteral("0")
            && result.rows[2][C::Top] == QStringLiteral("0");
        if (arrowless) {
            RecoveredComponent alone = result;
            alone.rows.resize(1);
            return {alone, result};
        }
    }
    return {result};
}

ModuleSettings moduleSettings(const CodePatterns::Variant &variant, const CapturedValues &values, QString *shrink)
{
    using CodeHole::cell;
    ModuleSettings settings;
    settings.width = last(values, cell(0, C::Width));
    settings.picture = last(values, cell(0, C::Picture));
    settings.anchor = last(values, cell(0, C::Link));
    settings.colourText = last(values, cell(0, C::BgColor));
    settings.colour = colourValue(settings.colourText);
    settings.repeat = TextOps::toInt(choice(variant, cell(0, C::Text)));
    settings.horizontal = TextOps::toInt(choice(variant, cell(0, C::Other)));
    settings.vertical = TextOps::toInt(choice(variant, cell(0, C::Other1)));
    settings.attachment = TextOps::toInt(choice(variant, cell(0, C::Other2)));
    settings.edition = TextOps::toInt(choice(variant, cell(0, C::BgCode)));

    // A shrink amount changed the first two heights, those of the two outer elements.
    QStringList heights;
    for (const auto &[hole, value] : values) {
        if (hole == cell(0, C::Height))
            heights.append(value);
    }
    settings.height = heights.isEmpty() ? QString() : heights.last();
    shrink->clear();
    if (heights.size() >= 3 && heights.at(0) == heights.at(1) && heights.at(0) != heights.last()) {
        const qint64 amount = qint64(TextOps::toInt(heights.at(0))) - TextOps::toInt(heights.last());
        if (amount != 0)
            *shrink = QString::number(amount);
    }
    return settings;
}

int colourValue(const QString &text)
{
    QString hex = text.mid(1);
    if (!text.startsWith(u'#') || (hex.size() != 6 && hex.size() != 3))
        return 0;
    if (hex.size() == 3)
        hex = QString(hex[0]) + hex[0] + hex[1] + hex[1] + hex[2] + hex[2];
    bool ok = false;
    const int rgb = hex.toInt(&ok, 16);
    if (!ok)
        return 0;
    return ((rgb >> 16) & 0xff) | (rgb & 0xff00) | ((rgb & 0xff) << 16);
}

} // namespace Plumbrook::CodeRecovery
