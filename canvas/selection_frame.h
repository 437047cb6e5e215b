#pragma once

#include <QWidget>

namespace Plumbrook {

// The dashed frame drawn around the bounds of a selection of several components;
// it lets every pointer event through to what lies below.
class SelectionFrame : public QWidget
{
    Q_OBJECT

public:
    explicit SelectionFrame(QWidget *parent = nullptr);

    void showAround(const QRect &bounds);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace Plumbrook
