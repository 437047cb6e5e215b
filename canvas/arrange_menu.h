#pragma once

#include "model/arrangement.h"

#include <QObject>
#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace Plumbrook {

class DesignCanvas;

// The menu "排列": aligning, distributing and sizing the selection, each one step,
// and the switch of snapping, kept in the per-user settings.
class ArrangeMenu : public QObject
{
    Q_OBJECT

public:
    // `settingsFile` names the per-user file the snapping switch is kept in.
    ArrangeMenu(DesignCanvas *canvas, std::function<QString()> settingsFile, QWidget *parent);

    QMenu *menu() const { return mMenu; }
    QAction *snapAction() const { return mSnap; }
    bool snapping() const;
    // The snapping grid's size in module pixels (1 to 100), kept in the per-user settings.
    int gridSize() const;
    void setGridSize(int pixels);
    // Reads the snapping switch from the per-user settings again.
    void loadSettings();

    // Applies `operation` to the selection; locked components stay where they are.
    void arrange(Arrangement::Operation operation);

    static inline const QString kNaturalSizeText = QStringLiteral("原始尺寸");
    // Gives the selected pictures their pictures' own size, as one step.
    void giveNaturalSize();

private:
    DesignCanvas *mCanvas;
    std::function<QString()> mSettingsFile;
    QMenu *mMenu;
    QAction *mSnap;
};

} // namespace Plumbrook
