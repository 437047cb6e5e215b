#pragma once

#include <QString>

namespace Plumbrook {

class ComponentTable;

// The module's own settings as the settings window edits them: loaded from and
// saved to the module record, and turned into the module wrapper markup.
struct ModuleSettings
{
    QString width;        // texts as typed
    QString height;
    QString picture;
    QString anchor;
    QString colourText;   // the colour box beside the picker; only the wrapper reads it
    int colour = 0;       // the picker's value, red in the lowest byte
    int repeat = 0;       // the list indexes
    int horizontal = 0;
    int vertical = 0;
    int attachment = 0;
    int edition = 0;      // 0 天猫, 1 集市

    static ModuleSettings load(const ComponentTable &table);
    // Everything but the colour box's text, which the record never keeps.
    void save(ComponentTable &table) const;
    QString buildWrapper() const;

    // The layer's left offset that keeps a background wider than the edition's
    // standard page width centred on that width.
    static QString backgroundOffset(const QString &widthText, int edition);
    // Without leading and trailing ASCII and full-width spaces.
    static QString trimSpaces(const QString &text);

    static QString repeatCss(int index);
    static QString horizontalCss(int index);
    static QString verticalCss(int index);
    static QString attachmentCss(int index);
};

} // namespace Plumbrook
