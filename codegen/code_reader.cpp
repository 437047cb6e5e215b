#include "codegen/code_reader.h"

#include "codegen/canonical_text.h"
#include "codegen/code_patterns.h"
#include "codegen/code_recovery.h"
#include "codegen/module_generator.h"
#include "model/carousel_settings.h"
#include "model/component_table.h"

#include <QStringDecoder>

namespace Plumbrook {

namespace {

using C = ComponentTable;

const QString kClosing = QStringLiteral("</div></div></div>");
constexpr int kCandidates = 4;
constexpr qsizetype kExcerpt = 40;

// Reads one piece after another, checking each by generating it again.
class Reader
{
public:
    explicit Reader(const QString &code) : mCanonical(code) {}

    CodeImport run();

private:
    CapturedValues values(const CodePatterns::Match &match) const;
    bool generatesSame(const QString &generated, qsizetype begin, qsizetype end) const;
    bool readModule();
    bool readComponent();
    bool generatesSame(const RecoveredComponent &component, qsizetype end);
    void skipUnrecognised();
    qsizetype nextStart(qsizetype from);
    void append(RecoveredComponent component);
    bool generatesWhole() const;

    const CanonicalText mCanonical;
    const QString &mText = mCanonical.text();
    qsizetype mPosition = 0;
    int mEdition = 1;
    bool mCareful = true;
    ComponentTable mScratch;
    CodeImport mResult;
    QVector<qsizetype> mNextStarts;
};

CapturedValues Reader::values(const CodePatterns::Match &match) const
{
    CapturedValues values;
    values.reserve(match.captures.size());
    for (const CodePatterns::Capture &capture : match.captures) {
        // Blanks dropped next to a value belong to it, unless a back end broke the line there.
        QString value = mCanonical.rawSlice(capture.begin, capture.end);
        if (value.contains(u'\n') || value.contains(u'\r'))
            value = mText.mid(capture.begin, capture.end - capture.begin);
        values.append({capture.hole, value});
    }
    return values;
}

bool Reader::generatesSame(const QString &generated, qsizetype begin, qsizetype end) const
{
    if (QStringView(mCanonical.raw()).mid(mCanonical.rawAt(begin), generated.size()) == generated)
        return true;
    return CanonicalText::of(generated) == QStringView(mText).mid(begin, end - begin);
}

bool Reader::readModule()
{
    for (const int edition : {0, 1}) {
        for (const CodePatterns::Match &match : CodePatterns::module(edition).match(mCanonical, 0, kCandidates)) {
            QString shrink;
            const ModuleSettings settings =
                CodeRecovery::moduleSettings(CodePatterns::module(edition).variant(match.variant), values(match),
                                             &shrink);
            mScratch.replaceRows({ComponentTable::initialModuleRecord()});
            settings.save(mScratch);
            mScratch.setCell(0, C::Left, QStringLiteral("0"));
            mScratch.setCell(0, C::Other4, settings.buildWrapper());
            QString generated = ModuleGenerator(mScratch).generate(
                shrink.isEmpty() ? QStringLiteral("auto") : shrink + QStringLiteral("px"));
            generated.chop(kClosing.size() + 2);
            if (!generatesSame(generated, 0, match.end))
                continue;
            mResult.design.rows = {mScratch.rowCells(0)};
            mResult.design.shrink = shrink;
            mResult.moduleRecognised = true;
            mEdition = settings.edition == 0 ? 0 : 1;
            mPosition = match.end;
            return true;
        }
    }
    return false;
}

bool Reader::readComponent()
{
    const CodePatterns &patterns = CodePatterns::components(mEdition);
    for (const CodePatterns::Match &match : patterns.match(mCanonical, mPosition, mCareful ? kCandidates : 1)) {
        for (RecoveredComponent &component : CodeRecovery::components(patterns.variant(match.variant), values(match))) {
            if (mCareful && !generatesSame(component, match.end))
                continue;
            append(std::move(component));
            mPosition = match.end;
            return true;
        }
    }
    return false;
}

bool Reader::generatesSame(const RecoveredComponent &component, qsizetype end)
{
    QVector<QStringList> rows = {mResult.design.rows.first()};
    rows[0][C::Other4].clear();
    for (qsizetype r = 0; r < component.rows.size(); ++r) {
        QStringList cells = component.rows.at(r);
        cells[C::Id] = QString::number(2 + r);
        if (r > 0)
            cells[C::Kind] = (r == 1 ? CarouselSettings::kLeftArrowPrefix : CarouselSettings::kRightArrowPrefix)
                + QStringLiteral("1");
        rows.append(cells);
    }
    mScratch.replaceRows(rows);
    GenerationSources sources;
    sources.carouselSetting = [&component](int, const QString &key) {
        for (const auto &[name, value] : component.settings) {
            if (name == key)
                return value;
        }
        return QString();
    };
    return generatesSame(ModuleGenerator(mScratch, sources).finishedComponentCode(1), mPosition, end);
}

void Reader::append(RecoveredComponent component)
{
    QVector<QStringList> &rows = mResult.design.rows;
    const int number = int(rows.size());
    for (qsizetype r = 0; r < component.rows.size(); ++r) {
        QStringList cells = component.rows.at(r);
        cells[C::Id] = QString::number(rows.size() + 1);
        if (!component.settings.isEmpty() && r == 0)
            cells[CarouselSettings::kNumberColumn] = QString::number(number);
        if (r > 0)
            cells[C::Kind] = (r == 1 ? CarouselSettings::kLeftArrowPrefix : CarouselSettings::kRightArrowPrefix)
                + QString::number(number);
        rows.append(cells);
    }
    if (!component.settings.isEmpty())
        mResult.design.carousels.insert(number, component.settings);
    ++mResult.components;
}

qsizetype Reader::nextStart(qsizetype from)
{
    const QStringList &starts = CodePatterns::components(mEdition).starts();
    if (mNextStarts.size() != starts.size())
        mNextStarts = QVector<qsizetype>(starts.size(), -2);
    qsizetype nearest = mText.size();
    for (qsizetype i = 0; i < starts.size(); ++i) {
        // Each start is looked for again only once the reading has passed it.
        if (mNextStarts[i] != -1 && mNextStarts[i] < from)
            mNextStarts[i] = mText.indexOf(starts.at(i), from);
        if (mNextStarts[i] >= 0)
            nearest = qMin(nearest, mNextStarts[i]);
    }
    return nearest;
}

void Reader::skipUnrecognised()
{
    if (mResult.unrecognisedPieces++ == 0) {
        mResult.firstUnrecognisedLine = mCanonical.lineAt(mPosition);
        const QString &raw = mCanonical.raw();
        const qsizetype from = mCanonical.rawAt(mPosition);
        qsizetype to = from;
        while (to < raw.size() && to - from < kExcerpt && raw.at(to) != u'\r' && raw.at(to) != u'\n')
            ++to;
        mResult.firstUnrecognised = raw.mid(from, to - from);
        if (to < raw.size() && raw.at(to) != u'\r' && raw.at(to) != u'\n')
            mResult.firstUnrecognised += QStringLiteral("…");
    }
    mPosition = nextStart(mPosition + 1);
}

CodeImport Reader::run()
{
    if (!readModule()) {
        QStringList record = ComponentTable::initialModuleRecord();
        // Code made before the module settings were confirmed has no wrapper;
        // its edition shows in the components' classes.
        mEdition = mText.contains(QStringLiteral("sn-simple-logo")) ? 0 : 1;
        if (mEdition == 0)
            record[C::BgCode] = QStringLiteral("0");
        mResult.design.rows = {record};
    }
    const CodeImport module = mResult;
    const qsizetype start = mPosition;
    // Most code reads on the first guess for every piece, which one generation
    // of the whole confirms; otherwise every piece is checked on its own.
    for (const bool careful : {false, true}) {
        mCareful = careful;
        mResult = module;
        mPosition = start;
        mNextStarts.clear();
        while (mPosition < mText.size()) {
            if (mText.size() - mPosition == kClosing.size() && QStringView(mText).mid(mPosition) == kClosing)
                break;
            if (!readComponent())
                skipUnrecognised();
        }
        if (!careful && mResult.unrecognisedPieces == 0 && generatesWhole())
            break;
    }
    return mResult;
}

bool Reader::generatesWhole() const
{
    ComponentTable table;
    table.replaceRows(mResult.design.rows);
    GenerationSources sources;
    const QMap<int, DesignFile::CarouselValues> &carousels = mResult.design.carousels;
    sources.carouselSetting = [&carousels](int number, const QString &key) {
        for (const auto &[name, value] : carousels.value(number)) {
            if (name == key)
                return value;
        }
        return QString();
    };
    const QString &shrink = mResult.design.shrink;
    const QString code =
        ModuleGenerator(table, sources).generate(shrink.isEmpty() ? QStringLiteral("auto") : shrink + QStringLiteral("px"));
    return code == mCanonical.raw() || CanonicalText::of(code) == mText;
}

} // namespace

QString CodeImport::summary() const
{
    QString text;
    if (!recognisedAnything())
        text = firstUnrecognisedLine == 0 ? QStringLiteral("没有可导入的代码")
                                          : QStringLiteral("没有识别出模块或组件，设计未改变");
    else if (moduleRecognised)
        text = QStringLiteral("已导入代码：识别出模块设置和 %1 个组件").arg(components);
    else
        text = QStringLiteral("已导入代码：识别出 %1 个组件（代码中没有模块设置）").arg(components);
    if (firstUnrecognisedLine > 0)
        text += QStringLiteral("；无法识别的代码：第 %1 行 %2").arg(firstUnrecognisedLine).arg(firstUnrecognised);
    return text;
}

namespace CodeReader {

CodeImport read(const QString &code)
{
    return Reader(code).run();
}

std::optional<QString> decode(const QByteArray &bytes)
{
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;
    // GB18030 holds every GBK text and decodes it alike.
    QStringDecoder gb18030("GB18030");
    if (gb18030.isValid()) {
        text = gb18030.decode(body);
        if (!gb18030.hasError())
            return text;
    }
    return std::nullopt;
}

} // namespace CodeReader
} // namespace Plumbrook
