#include "canvas/arrange_menu.h"

#include "canvas/canvas_surface.h"
#include "canvas/context_menu_operations.h"
#include "canvas/design_canvas.h"
#include "canvas/picture_object.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/design_operations.h"
#include "model/snap_index.h"

#include <QInputDialog>
#include <QMenu>
#include <QSettings>

namespace Plumbrook {

namespace {

using A = Arrangement::Operation;

const QString kSnapKey = QStringLiteral("layout/snap");
const QString kGridKey = QStringLiteral("layout/grid");

struct Item
{
    const char *text;
    A operation;
};

// In the order the menu lists them; a null text is a separator.
const Item kItems[] = {
    {"左对齐", A::AlignLeft},
    {"水平居中", A::AlignHorizontalCentres},
    {"右对齐", A::AlignRight},
    {"顶端对齐", A::AlignTop},
    {"垂直居中", A::AlignVerticalCentres},
    {"底端对齐", A::AlignBottom},
    {nullptr, A::AlignLeft},
    {"水平分布", A::DistributeHorizontally},
    {"垂直分布", A::DistributeVertically},
    {nullptr, A::AlignLeft},
    {"等宽", A::SameWidth},
    {"等高", A::SameHeight},
};

} // namespace

ArrangeMenu::ArrangeMenu(DesignCanvas *canvas, std::function<QString()> settingsFile,
                         QWidget *parent)
    : QObject(parent)
    , mCanvas(canvas)
    , mSettingsFile(std::move(settingsFile))
    , mMenu(new QMenu(QStringLiteral("排列"), parent))
{
    mMenu->setObjectName(QStringLiteral("排列"));
    for (const Item &item : kItems) {
        if (!item.text) {
            mMenu->addSeparator();
            continue;
        }
        const A operation = item.operation;
        mMenu->addAction(QString::fromUtf8(item.text), this, [this, operation] { arrange(operation); });
    }
    mMenu->addAction(kNaturalSizeText, this, &ArrangeMenu::giveNaturalSize);
    mMenu->addSeparator();
    mSnap = mMenu->addAction(QStringLiteral("吸附"));
    mSnap->setCheckable(true);
    loadSettings();
    connect(mSnap, &QAction::toggled, this, [this](bool on) {
        QSettings(mSettingsFile(), QSettings::IniFormat).setValue(kSnapKey, on);
    });
    mMenu->addAction(QStringLiteral("网格大小…"), this, [this, parent] {
        bool chosen = false;
        const int pixels = QInputDialog::getInt(parent, QStringLiteral("网格大小"),
                                                QStringLiteral("网格大小（像素）："), gridSize(),
                                                SnapIndex::kMinimumGrid, SnapIndex::kMaximumGrid, 1,
                                                &chosen);
        if (chosen)
            setGridSize(pixels);
    });
}

int ArrangeMenu::gridSize() const
{
    return mCanvas->surface()->gridSize();
}

void ArrangeMenu::setGridSize(int pixels)
{
    pixels = qBound(SnapIndex::kMinimumGrid, pixels, SnapIndex::kMaximumGrid);
    mCanvas->surface()->setGridSize(pixels);
    QSettings(mSettingsFile(), QSettings::IniFormat).setValue(kGridKey, pixels);
}

void ArrangeMenu::loadSettings()
{
    const QSignalBlocker quiet(mSnap);
    const QSettings settings(mSettingsFile(), QSettings::IniFormat);
    mSnap->setChecked(settings.value(kSnapKey, false).toBool());
    mCanvas->surface()->setGridSize(
        qBound(SnapIndex::kMinimumGrid, settings.value(kGridKey, SnapIndex::kGrid).toInt(),
               SnapIndex::kMaximumGrid));
}

bool ArrangeMenu::snapping() const
{
    return mSnap->isChecked();
}

void ArrangeMenu::arrange(Arrangement::Operation operation)
{
    const QList<QWidget *> objects = mCanvas->selectedObjects();
    if (objects.isEmpty())
        return;
    QVector<QRect> frames;
    for (QWidget *object : objects)
        frames.append(mCanvas->frameOf(object));
    const ComponentTable *table = mCanvas->table();
    const QRect module(mCanvas->backgroundPos(), QSize(table->cellInt(0, ComponentTable::Width),
                                                       table->cellInt(0, ComponentTable::Height)));
    QString step;
    for (const Item &item : kItems) {
        if (item.text && item.operation == operation)
            step = QString::fromUtf8(item.text);
    }
    const QVector<QRect> placed = Arrangement::arranged(frames, operation, module);
    bool locked = false;
    DesignOperations::Frames moved;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        if (placed[i] == frames[i])
            continue;
        if (mCanvas->isLockedObject(objects[i])) {
            locked = true;
            continue;
        }
        moved.append({DesignCanvas::tagOf(objects[i]), placed[i].translated(-mCanvas->backgroundPos())});
        // A carousel's arrows keep their place beside it; arrows selected themselves are aligned as any.
        const QPoint shift = placed[i].topLeft() - frames[i].topLeft();
        for (QWidget *arrow : mCanvas->withCarouselArrows({objects[i]}).mid(1)) {
            if (!objects.contains(arrow))
                moved.append({DesignCanvas::tagOf(arrow), mCanvas->moduleFrameOf(arrow).translated(shift)});
        }
    }
    if (!moved.isEmpty())
        DesignOperations::setFrames(mCanvas->document(), step, moved);
    mCanvas->showSelection();
    if (locked)
        emit mCanvas->statusMessage(ContextMenuOperations::kLockedMessage);
}

} // namespace Plumbrook

namespace Plumbrook {

void ArrangeMenu::giveNaturalSize()
{
    bool locked = false;
    DesignOperations::Frames frames;
    for (QWidget *object : mCanvas->selectedObjects()) {
        auto *picture = qobject_cast<PictureObject *>(object);
        if (!picture || !picture->hasPicture())
            continue;
        if (mCanvas->isLockedObject(object)) {
            locked = true;
            continue;
        }
        frames.append({DesignCanvas::tagOf(object),
                       QRect(mCanvas->moduleFrameOf(object).topLeft(), picture->naturalSize())});
    }
    if (!frames.isEmpty())
        DesignOperations::setFrames(mCanvas->document(), kNaturalSizeText, frames);
    mCanvas->showSelection();
    if (locked)
        emit mCanvas->statusMessage(ContextMenuOperations::kLockedMessage);
}

} // namespace Plumbrook
