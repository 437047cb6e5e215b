#include "components/colour_picker_button.h"

#include "model/colour_conversion.h"

#include <QColorDialog>

namespace Plumbrook {

ColourPickerButton::ColourPickerButton(QWidget *parent)
    : QPushButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setToolTip(QStringLiteral("选择颜色"));
    setColour(0);
    connect(this, &QPushButton::clicked, this, &ColourPickerButton::openDialog);
}

void ColourPickerButton::setColour(int value)
{
    mColour = value;
    // Only the three colour bytes can be shown; whatever else a stored value carries is kept.
    const QString shown = ColourConversion::colourText(value & 0xFFFFFF);
    setStyleSheet(QStringLiteral("QPushButton { background: %1; border: 1px solid #808080; }").arg(shown));
}

int ColourPickerButton::valueOf(const QColor &colour)
{
    return colour.red() | colour.green() << 8 | colour.blue() << 16;
}

std::optional<int> ColourPickerButton::valueOfText(const QString &text)
{
    const QColor colour = QColor::fromString(text.trimmed());
    if (!colour.isValid())
        return std::nullopt;
    return valueOf(colour);
}

void ColourPickerButton::openDialog()
{
    auto *dialog = new QColorDialog(this);
    dialog->setObjectName(QStringLiteral("颜色对话框"));
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const std::optional<int> start = mDialogColour ? mDialogColour() : std::nullopt;
    const int value = start.value_or(mColour);
    dialog->setCurrentColor(QColor(value & 0xFF, value >> 8 & 0xFF, value >> 16 & 0xFF));
    connect(dialog, &QColorDialog::colorSelected, this, [this](const QColor &colour) {
        setColour(valueOf(colour));
        emit colourPicked(mColour);
    });
    dialog->open();
}

} // namespace Plumbrook
