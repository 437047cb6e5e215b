#pragma once

#include <QPushButton>

#include <functional>
#include <optional>

namespace Plumbrook {

// A small button that shows the colour it holds and lets the user pick another
// in the colour dialog; the colour is kept as red in the lowest byte.
class ColourPickerButton : public QPushButton
{
    Q_OBJECT

public:
    explicit ColourPickerButton(QWidget *parent = nullptr);

    int colour() const { return mColour; }
    // Shows the value without announcing it as a pick.
    void setColour(int value);
    // Where the dialog opens when the source names a colour; else at the button's own.
    void setDialogColourSource(std::function<std::optional<int>()> source)
    {
        mDialogColour = std::move(source);
    }

    static int valueOf(const QColor &colour);
    // The value of a colour text such as "#F80", "#FF8800" or "red"; none for other texts.
    static std::optional<int> valueOfText(const QString &text);

signals:
    void colourPicked(int value);

private:
    void openDialog();

    int mColour = 0;
    std::function<std::optional<int>()> mDialogColour;
};

} // namespace Plumbrook
