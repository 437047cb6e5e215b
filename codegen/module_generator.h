#pragma once

#include <QString>

#include <functional>

namespace Plumbrook {

class ComponentTable;

// Where generation takes what lies outside the table; tests and the command
// line supply their own.
struct GenerationSources
{
    // A key of the settings file of carousel `number`; empty when absent.
    // Unset: the design holding the table, else the carousel settings files under the
    // program's directory, each read once by the generator.
    std::function<QString(int number, const QString &key)> carouselSetting;
    // One random decimal digit 0..9 for the zoom kind's class names.
    // Unset: the process-wide random generator.
    std::function<int()> randomDigit;
};

// Turns the design into the module code: the module wrapper, one piece of
// markup per component in row order, and the closing tags.
class ModuleGenerator
{
public:
    explicit ModuleGenerator(const ComponentTable &table, GenerationSources sources = {});

    // `shrink` is the shrink field's text as typed; only its leading integer
    // counts (none, or "auto", leaves the module's height as it is).
    QString generate(const QString &shrink = {}) const;

    // The filled template of one component row, before the common geometry
    // substitutions; empty for a kind without a template.
    QString componentCode(int row) const;
    // The code one component row contributes to the module code: its filled
    // template with the geometry and the edition rule applied.
    QString finishedComponentCode(int row) const;

    static QString generatorNotice();
    static const QString kLayerClassList;

private:
    QString placedComponentCode(int row) const;

    const ComponentTable &mTable;
    GenerationSources mSources;
};

} // namespace Plumbrook
