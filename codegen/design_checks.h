#pragma once

#include "codegen/module_generator.h"

#include <QDateTime>
#include <QString>
#include <QVector>

#include <functional>

namespace Plumbrook {

class ComponentTable;
class PictureSizes;

// One thing about the design that would go wrong in the shop.
struct DesignFinding
{
    enum class Severity { Error, Warning };
    enum class Check {
        Outside,            // wholly or partly outside the module
        Covered,            // a clickable component hidden under others
        EmptyLink,          // a link left empty or "#"
        PictureAddress,     // empty, local or plain http
        PictureFailed,      // the picture did not load
        Proportion,         // the box distorts the picture
        Blurred,            // the picture is blown up too far
        TextOverflow,       // the words do not fit the box
        CountdownInvalid,   // the end time is no time
        CountdownPast,      // the end time has passed
        CarouselPictures,   // fewer than two pictures, or one without an address
        Duplicate,          // the same kind and frame as another
        ModuleTooShort,     // components reach below the module
    };

    QString id;     // 标识 of the row; "1" for the module itself
    QString kind;   // 备注 of the row
    int row = 0;
    Severity severity = Severity::Warning;
    Check check = Check::Outside;
    QString text;     // what is wrong, in a few words
    QString figure;   // the measure behind it, empty when none helps

    static QString severityText(Severity severity);
    // "<id> <kind> <severity>: <text>（<figure>）"
    QString line() const;
};

// What the checks read beyond the table.
struct CheckSources
{
    // The picture address of each slide of the carousel in `row`; unset: carousels
    // are not looked into.
    std::function<QStringList(int row)> carouselPictures;
    // Natural sizes of pictures; null: the picture-size checks are skipped.
    const PictureSizes *pictures = nullptr;
    // What a countdown's end is compared with; invalid: the current local time.
    QDateTime now;
};

// Looks through a design for what would go wrong once its code is pasted into the shop.
namespace DesignChecks {

// Errors first, then reminders, each in row order.
QVector<DesignFinding> run(const ComponentTable &table, const CheckSources &sources = {});

struct Counts
{
    int errors = 0;
    int warnings = 0;
};
Counts count(const QVector<DesignFinding> &findings);
// "3 个错误，2 个提醒"
QString summary(const Counts &counts);

// Whether the text checks can measure here: they need fonts, which need a GUI application.
bool canMeasureText();

} // namespace DesignChecks
} // namespace Plumbrook
