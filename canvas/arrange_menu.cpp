#include "canvas/arrange_menu.h"

#include "canvas/context_menu_operations.h"
#include "canvas/design_canvas.h"
#include "model/component_table.h"
#include "model/design_document.h"

#include <QMenu>
#include <QSettings>

namespace Plumbrook {

namespace {

using A = Arrangement::Operation;

const QString kSnapKey = QStringLiteral("layout/snap");

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
    mMenu->addSeparator();
    mSnap = mMenu->addAction(QStringLiteral("吸附"));
    mSnap->setCheckable(true);
    loadSettings();
    connect(mSnap, &QAction::toggled, this, [this](bool on) {
        QSettings(mSettingsFile(), QSettings::IniFormat).setValue(kSnapKey, on);
    });
}

void ArrangeMenu::loadSettings()
{
    const QSignalBlocker quiet(mSnap);
    mSnap->setChecked(QSettings(mSettingsFile(), QSettings::IniFormat).value(kSnapKey, false).toBool());
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
    mCanvas->document()->record(step, [&] {
        for (qsizetype i = 0; i < objects.size(); ++i) {
            if (placed[i] == frames[i])
                continue;
            if (mCanvas->isLockedObject(objects[i])) {
                locked = true;
                continue;
            }
            mCanvas->setFrame(objects[i], placed[i]);
            mCanvas->storeFrame(objects[i]);
            // A carousel's arrows keep their place beside it; arrows of their own are aligned as any.
            const QPoint shift = placed[i].topLeft() - frames[i].topLeft();
            for (QWidget *arrow : mCanvas->withCarouselArrows({objects[i]}).mid(1)) {
                if (shift.isNull() || objects.contains(arrow))
                    continue;
                mCanvas->moveObject(arrow, mCanvas->frameOf(arrow).topLeft() + shift);
                mCanvas->storeFrame(arrow);
            }
        }
    });
    mCanvas->showSelection();
    if (locked)
        emit mCanvas->statusMessage(ContextMenuOperations::kLockedMessage);
}

} // namespace Plumbrook
