#pragma once

#include <QObject>
#include <QPoint>
#include <QStringList>

#include <functional>

namespace Plumbrook {

class DesignCanvas;
struct ComponentClip;

// What the keyboard does to the selection: nudging, deleting, copying and pasting
// (through the system clipboard, between designs and designers), duplicating,
// selecting all and none; each change of the design one step.
class SelectionOperations : public QObject
{
    Q_OBJECT

public:
    explicit SelectionOperations(DesignCanvas *canvas, QObject *parent = nullptr);

    static inline const QString kNothingCopiedMessage = QStringLiteral("没有可粘贴的组件，请先复制组件");
    static inline const QString kCopiedMessage = QStringLiteral("已复制选中组件，按 Ctrl+V 粘贴");

    // Moves every unlocked selected component by `delta` module pixels.
    void nudge(const QPoint &delta);
    void removeSelected();
    void copySelected();
    void paste();
    void duplicate();
    void selectAll();
    void clearSelection();

    // What Ctrl+V does with no components copied; it returns whether it pasted anything.
    void setPasteFallback(std::function<bool()> fallback) { mPasteFallback = std::move(fallback); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Adds the clip's components 10 pixels right of and below where they were copied.
    void placeCopies(const QString &step, const ComponentClip &clip);
    QStringList selectedIds() const;

    DesignCanvas *mCanvas;
    std::function<bool()> mPasteFallback;
};

} // namespace Plumbrook
