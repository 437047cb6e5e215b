#pragma once

#include <QPushButton>

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

    static int valueOf(const QColor &colour);

signals:
    void colourPicked(int value);

private:
    void openDialog();

    int mColour = 0;
};

} // namespace Plumbrook
