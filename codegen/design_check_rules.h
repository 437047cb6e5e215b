#pragma once

#include "codegen/design_checks.h"

namespace Plumbrook {

// The checks that read one component's own content: links, pictures, text, countdown, carousel.
namespace DesignCheckRules {

// Where one row's findings go.
struct RowCheck
{
    const ComponentTable &table;
    int row;
    const CheckSources &sources;
    QVector<DesignFinding> &findings;
    // The local wall-clock time a countdown's end is compared with.
    std::pair<QDate, QTime> now = {};

    QString cell(int column) const;
    int cellInt(int column) const;
    void add(DesignFinding::Check check, DesignFinding::Severity severity, const QString &text,
             const QString &figure = {}) const;
};

void checkLink(const RowCheck &c, int linkColumn, bool hotspot);
// `role` names the picture in the texts ("图片", "移入图片", "第 2 张图片").
void checkPictureAddress(const RowCheck &c, const QString &url, const QString &role);
void checkPictureSize(const RowCheck &c, const QString &url, const QString &role);
void checkText(const RowCheck &c);
void checkCountdown(const RowCheck &c);
void checkCarousel(const RowCheck &c);

// Whether a picture kind's link goes somewhere.
bool isRealLink(const QString &link);

} // namespace DesignCheckRules
} // namespace Plumbrook
