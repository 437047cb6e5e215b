#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVector>

namespace Plumbrook {

class CanonicalText;

// What a piece of module code stands for: a cell of the component or of one of
// its arrows, a carousel setting, or a value that generation computes from cells.
namespace CodeHole {

constexpr int kRowStride = 32;
constexpr int cell(int rowOffset, int column) { return rowOffset * kRowStride + column; }
constexpr int kSettingBase = 100;   // + index of the key among the carousel settings
constexpr int kEncodedBase = 200;   // + column: a cell of the component's row, URL-encoded
enum Derived {
    ZoomPopupWidth = 300,
    ZoomPictureWidth,
    LeftArrowLeft,
    LeftArrowTop,
    RightArrowLeft,
    RightArrowTop,
    BackgroundOffset,
};

inline bool isCell(int hole) { return hole >= 0 && hole < kSettingBase; }
inline bool isSetting(int hole) { return hole >= kSettingBase && hole < kEncodedBase; }
inline bool isEncoded(int hole) { return hole >= kEncodedBase && hole < ZoomPopupWidth; }

} // namespace CodeHole

// The module code every kind and the module wrapper can produce, learnt by
// generating each of them once per choice with a marker in every cell; a reader
// matches code against these patterns, so that a template and its reader
// cannot drift apart.
class CodePatterns
{
public:
    // One way a kind, or the module wrapper, comes out of generation.
    struct Variant
    {
        QString kind;                         // empty for the module wrapper
        int rows = 1;                         // a carousel brings its two arrows
        QList<QPair<int, QString>> choices;   // cell or setting hole and the value it was generated with
    };
    struct Capture
    {
        int hole;
        qsizetype begin;
        qsizetype end;
    };
    struct Match
    {
        int variant;
        qsizetype end;
        QVector<Capture> captures;
    };

    // The patterns of the eighteen kinds, or of the module wrapper, for the
    // edition "0" (天猫) or "1" (集市). Built once; safe to share between threads.
    static const CodePatterns &components(int edition);
    static const CodePatterns &module(int edition);

    // The ways canonical module code matches at `position`, the longer ones
    // first, at most `limit`.
    QVector<Match> match(const CanonicalText &text, qsizetype position, int limit) const;
    const Variant &variant(int index) const { return mVariants.at(index); }
    // Texts every pattern starts with one of, for finding the next component.
    const QStringList &starts() const { return mStarts; }

    // A value longer than this is not looked for; no editor field holds one.
    static constexpr qsizetype kMaxValue = 8192;

private:
    struct Token
    {
        QString literal;
        int hole = -1;
        bool operator==(const Token &other) const = default;
    };
    struct Node
    {
        Token token;
        QVector<int> children;
        QVector<int> variants;
    };

    CodePatterns();
    void add(const QString &generated, const QList<QPair<QString, int>> &markers, const Variant &variant);
    void finish();
    void collect(const CanonicalText &text, int node, qsizetype position, QVector<Capture> &captures,
                 QVector<Match> &out, int limit) const;

    static CodePatterns buildComponents(int edition);
    static CodePatterns buildModule(int edition);

    QVector<Node> mNodes;
    QVector<Variant> mVariants;
    QStringList mStarts;
};

} // namespace Plumbrook
