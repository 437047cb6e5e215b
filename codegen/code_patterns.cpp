#include "codegen/code_patterns.h"

#include "codegen/canonical_text.h"
#include "codegen/module_generator.h"
#include "model/text_ops.h"
#include "model/carousel_settings.h"
#include "model/component_table.h"
#include "model/kind_table.h"
#include "model/module_settings.h"

#include <algorithm>

namespace Plumbrook {

namespace {

using C = ComponentTable;
using Assignment = QList<QPair<int, QString>>;
using Markers = QList<QPair<QString, int>>;

constexpr char16_t kFirstMarker = 0xF000;
constexpr char16_t kLastMarker = 0xF7FF;
const QString kClosing = QStringLiteral("\r\n</div></div></div>");

// A private-use character no template holds stands for the hole in a probe.
QString marker(int hole)
{
    return QString(QChar(char16_t(kFirstMarker + hole)));
}

int settingHole(const QString &key)
{
    static const QStringList keys = [] {
        QStringList all;
        for (const auto &pair : CarouselSettings::defaults())
            all.append(pair.first);
        return all;
    }();
    return CodeHole::kSettingBase + int(keys.indexOf(key));
}

// How to probe a kind: which cells and settings are choices compared with fixed
// values, and which are read as numbers and so need numeric markers.
struct KindProbe
{
    QString kind;
    int rows = 1;
    QList<QPair<int, QStringList>> choices;
    Assignment numbers;    // cells read as numbers: their marker is the number itself
    Assignment plain;      // values that must not be taken for markers
    Assignment derived;    // what generation computes from those numbers
};

QList<KindProbe> kindProbes()
{
    using namespace CodeHole;
    const QStringList binary = {QStringLiteral("0"), QStringLiteral("1")};
    const QStringList ternary = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")};
    const auto probe = [](KindTable::Kind kind, int rows = 1) {
        KindProbe made;
        made.kind = KindTable::nameOf(kind);
        made.rows = rows;
        return made;
    };

    KindProbe zoom = probe(KindTable::Kind::Zoom);
    const QString zoomWidth = QStringLiteral("900001");
    const double zoomPopup = TextOps::toInt(zoomWidth) * double(TextOps::toFloat(QStringLiteral("2")));
    zoom.numbers = {{cell(0, C::Width), zoomWidth}};
    zoom.plain = {{cell(0, C::BgCode), QStringLiteral("2")}};
    zoom.derived = {{ZoomPopupWidth, TextOps::formatNumber(zoomPopup)},
                    {ZoomPictureWidth, TextOps::formatNumber(zoomPopup - 10)}};

    KindProbe customerService = probe(KindTable::Kind::Service);
    // An empty text stands for any value the fill rule does not name, where that
    // leaves a placeholder in the code.
    const QString other;
    customerService.choices = {{cell(0, C::Other2), binary}, {cell(0, C::Text), ternary},
                               {cell(0, C::BgColor), binary}, {cell(0, C::Other), ternary + QStringList{other}},
                               {cell(0, C::Other1), binary}};

    KindProbe countdown = probe(KindTable::Kind::Countdown);
    countdown.choices = {{cell(0, C::BgColor), ternary + QStringList{QStringLiteral("3"), other}},
                         {cell(0, C::Other1), binary}};

    KindProbe text = probe(KindTable::Kind::Text);
    text.choices = {{cell(0, C::BgColor), binary}};
    KindProbe video = probe(KindTable::Kind::Video);
    video.choices = {{cell(0, C::Link), binary}};

    // The arrows' offsets are differences of positions, so the positions are numbers.
    KindProbe carousel = probe(KindTable::Kind::Carousel, 3);
    QStringList counts;
    for (int n = 0; n + 2 <= CarouselSettings::kMaxPictures; ++n)
        counts.append(QString::number(n));
    carousel.choices = {{settingHole(CarouselSettings::kNumber), counts},
                        {settingHole(CarouselSettings::kAutoplay), binary + QStringList{other}},
                        {settingHole(CarouselSettings::kShowArrows), binary + QStringList{other}},
                        {settingHole(CarouselSettings::kLinkTarget), binary}};
    carousel.numbers = {{cell(0, C::Left), QStringLiteral("100000")}, {cell(0, C::Top), QStringLiteral("200000")}};
    carousel.plain = {{cell(1, C::Left), QStringLiteral("131111")}, {cell(1, C::Top), QStringLiteral("252222")},
                      {cell(2, C::Left), QStringLiteral("173333")}, {cell(2, C::Top), QStringLiteral("294444")}};
    carousel.derived = {{LeftArrowLeft, QStringLiteral("31111")}, {LeftArrowTop, QStringLiteral("52222")},
                        {RightArrowLeft, QStringLiteral("73333")}, {RightArrowTop, QStringLiteral("94444")}};

    using K = KindTable::Kind;
    return {probe(K::Picture), probe(K::Hotspot), probe(K::Swap), zoom, text, probe(K::Favourite),
            probe(K::Share), probe(K::QrCode), probe(K::Cart), probe(K::Like), probe(K::Follow),
            customerService, probe(K::ChatGroup), video, countdown, probe(K::Search), probe(K::Flash),
            carousel};
}

// Every combination of the choices' values.
QList<Assignment> combinations(const QList<QPair<int, QStringList>> &choices)
{
    QList<Assignment> all = {{}};
    for (const auto &[hole, values] : choices) {
        QList<Assignment> next;
        for (const Assignment &partial : all) {
            for (const QString &value : values)
                next.append(partial + Assignment{{hole, value}});
        }
        all = next;
    }
    return all;
}

QString generateProbe(const QVector<QStringList> &rows, const GenerationSources &sources)
{
    ComponentTable table;
    table.replaceRows(rows);
    QString code = ModuleGenerator(table, sources).generate(QStringLiteral("auto"));
    if (code.endsWith(kClosing))
        code.chop(kClosing.size());
    return code;
}

QStringList moduleRecord(int edition)
{
    QStringList record = ComponentTable::initialModuleRecord();
    record[C::BgCode] = QString::number(edition);
    record[C::Other4].clear();
    return record;
}

} // namespace

CodePatterns::CodePatterns()
    : mNodes(1)
{
}

void CodePatterns::add(const QString &generated, const QList<QPair<QString, int>> &markers,
                       const Variant &variant)
{
    QString text = CanonicalText::of(generated);
    Markers ordered = markers;
    std::sort(ordered.begin(), ordered.end(),
              [](const auto &a, const auto &b) { return a.first.size() > b.first.size(); });
    for (const auto &[text_, hole] : ordered)
        text.replace(text_, marker(hole));

    QVector<Token> tokens;
    for (const QChar c : text) {
        if (c.unicode() >= kFirstMarker && c.unicode() <= kLastMarker) {
            tokens.append({QString(), int(c.unicode() - kFirstMarker)});
        } else {
            if (tokens.isEmpty() || tokens.last().hole >= 0)
                tokens.append(Token{});
            tokens.last().literal.append(c);
        }
    }

    int node = 0;
    for (const Token &token : tokens) {
        int next = -1;
        for (const int child : mNodes.at(node).children) {
            if (mNodes.at(child).token == token) {
                next = child;
                break;
            }
        }
        if (next < 0) {
            next = int(mNodes.size());
            mNodes.append({token, {}, {}});
            mNodes[node].children.append(next);
        }
        node = next;
    }
    mNodes[node].variants.append(int(mVariants.size()));
    mVariants.append(variant);
}

void CodePatterns::finish()
{
    for (const int child : mNodes.at(0).children) {
        const QString start = mNodes.at(child).token.literal.left(12);
        if (!start.isEmpty() && !mStarts.contains(start))
            mStarts.append(start);
    }
}

CodePatterns CodePatterns::buildComponents(int edition)
{
    using namespace CodeHole;
    CodePatterns patterns;
    for (const KindProbe &probe : kindProbes()) {
        for (const Assignment &assignment : combinations(probe.choices)) {
            Markers markers;
            QVector<QStringList> rows = {moduleRecord(edition)};
            for (int r = 0; r < probe.rows; ++r) {
                QStringList cells(C::ColumnCount);
                for (int column = 0; column < C::ColumnCount; ++column)
                    cells[column] = marker(cell(r, column));
                cells[C::Id] = QString::number(2 + r);
                cells[C::Kind] = r == 0 ? probe.kind
                    : (r == 1 ? CarouselSettings::kLeftArrowPrefix : CarouselSettings::kRightArrowPrefix)
                        + QStringLiteral("1");
                rows.append(cells);
            }
            const auto set = [&rows](int hole, const QString &value) {
                if (isCell(hole))
                    rows[1 + hole / kRowStride][hole % kRowStride] = value;
            };
            for (const auto &[hole, value] : probe.numbers) {
                set(hole, value);
                markers.append({value, hole});
            }
            for (const auto &[hole, value] : probe.plain + assignment)
                set(hole, value);
            for (const auto &[hole, value] : probe.derived)
                markers.append({value, hole});
            for (int column = 0; column < C::ColumnCount; ++column)
                markers.append({TextOps::urlEncode(marker(cell(0, column)), true, true), kEncodedBase + column});

            GenerationSources sources;
            sources.carouselSetting = [&assignment](int, const QString &key) {
                const int hole = settingHole(key);
                for (const auto &[choice, value] : assignment) {
                    if (choice == hole)
                        return value;
                }
                return marker(hole);
            };
            sources.randomDigit = [] { return 0; };
            patterns.add(generateProbe(rows, sources), markers, {probe.kind, probe.rows, assignment});
        }
    }
    patterns.finish();
    return patterns;
}

CodePatterns CodePatterns::buildModule(int edition)
{
    using namespace CodeHole;
    const QString width = QStringLiteral("3000001");
    const QString colour = QStringLiteral("#") + marker(cell(0, C::BgColor));
    const Markers markers = {{width, cell(0, C::Width)},
                             {colour, cell(0, C::BgColor)},
                             {ModuleSettings::backgroundOffset(width, edition), BackgroundOffset}};
    const QStringList four = {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
    const QList<QPair<int, QStringList>> choices = {
        {cell(0, C::Text), four}, {cell(0, C::Other), four.mid(0, 3)},
        {cell(0, C::Other1), four.mid(0, 3)}, {cell(0, C::Other2), four.mid(0, 2)}};

    CodePatterns patterns;
    for (const Assignment &assignment : combinations(choices)) {
        for (int present = 0; present < 8; ++present) {
            ModuleSettings settings;
            settings.width = width;
            settings.height = marker(cell(0, C::Height));
            settings.picture = present & 1 ? marker(cell(0, C::Picture)) : QString();
            settings.anchor = present & 2 ? marker(cell(0, C::Link)) : QString();
            settings.colourText = present & 4 ? colour : QString();
            settings.repeat = TextOps::toInt(assignment.at(0).second);
            settings.horizontal = TextOps::toInt(assignment.at(1).second);
            settings.vertical = TextOps::toInt(assignment.at(2).second);
            settings.attachment = TextOps::toInt(assignment.at(3).second);
            settings.edition = edition;
            QStringList record = moduleRecord(edition);
            record[C::Other4] = settings.buildWrapper();
            patterns.add(generateProbe({record}, {}), markers,
                         {QString(), 0, assignment + Assignment{{cell(0, C::BgCode), QString::number(edition)}}});
        }
    }
    patterns.finish();
    return patterns;
}

const CodePatterns &CodePatterns::components(int edition)
{
    static const CodePatterns tmall = buildComponents(0);
    static const CodePatterns marketplace = buildComponents(1);
    return edition == 0 ? tmall : marketplace;
}

const CodePatterns &CodePatterns::module(int edition)
{
    static const CodePatterns tmall = buildModule(0);
    static const CodePatterns marketplace = buildModule(1);
    return edition == 0 ? tmall : marketplace;
}

namespace {

// The first `literal` at or after `from` that a value can reach: within the
// longest value, and on the line the value starts on in the original text.
qsizetype findAfterValue(const CanonicalText &text, const QString &literal, qsizetype from)
{
    // Values are short: a plain scan beats setting up a string search.
    const QString &canonical = text.text();
    const qsizetype last = qMin(from + qMin(text.nextLineBreak(from) - from, CodePatterns::kMaxValue),
                                canonical.size() - literal.size());
    const QChar *data = canonical.constData();
    const QChar first = literal.at(0);
    const QStringView rest = QStringView(literal).mid(1);
    for (qsizetype at = from; at <= last; ++at) {
        if (data[at] == first && QStringView(data + at + 1, rest.size()) == rest)
            return at;
    }
    return -1;
}

} // namespace

void CodePatterns::collect(const CanonicalText &text, int node, qsizetype position, QVector<Capture> &captures,
                           QVector<Match> &out, int limit) const
{
    const QStringView rest = QStringView(text.text()).mid(position);
    for (const int child : mNodes.at(node).children) {
        if (out.size() >= limit)
            return;
        const Token &token = mNodes.at(child).token;
        if (token.hole < 0) {
            if (rest.startsWith(token.literal))
                collect(text, child, position + token.literal.size(), captures, out, limit);
            continue;
        }
        // A value ends where the text after it first occurs; templates never
        // put two values side by side.
        for (const int next : mNodes.at(child).children) {
            const QString &literal = mNodes.at(next).token.literal;
            if (literal.isEmpty())
                continue;
            const qsizetype end = findAfterValue(text, literal, position);
            if (end < 0)
                continue;
            captures.append({token.hole, position, end});
            collect(text, next, end + literal.size(), captures, out, limit);
            captures.removeLast();
            if (out.size() >= limit)
                return;
        }
    }
    for (const int variant : mNodes.at(node).variants) {
        if (out.size() >= limit)
            return;
        out.append({variant, position, captures});
    }
}

QVector<CodePatterns::Match> CodePatterns::match(const CanonicalText &text, qsizetype position, int limit) const
{
    QVector<Match> out;
    QVector<Capture> captures;
    collect(text, 0, position, captures, out, limit);
    return out;
}

} // namespace Plumbrook
