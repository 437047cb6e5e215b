#pragma once

#include "codegen/templates.h"
#include "model/text_ops.h"

namespace Plumbrook {

// One template and its ordered, limited substitutions, as every fill rule applies them.
class TemplateFiller
{
public:
    explicit TemplateFiller(const QString &templateName) : mText(Templates::text(templateName)) {}

    TemplateFiller &set(const QString &placeholder, const QString &value, int limit)
    {
        TextOps::replaceIn(mText, placeholder, value, limit);
        return *this;
    }
    QString text() const { return mText; }

private:
    QString mText;
};

} // namespace Plumbrook
