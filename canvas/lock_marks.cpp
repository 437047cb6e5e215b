#include "canvas/lock_marks.h"

#include "canvas/design_canvas.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "model/sliced_work.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace Plumbrook {

namespace {

const char *const kMarkName = "lockMark";
constexpr int kMarkSize = 12;

const QPixmap &lockPicture()
{
    static const QPixmap picture = [] {
        QPixmap pixmap(kMarkSize, kMarkSize);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(60, 60, 60), 1.5));
        painter.drawArc(QRectF(3, 0.75, 6, 7), 0, 180 * 16);
        painter.drawLine(QPointF(3, 4.25), QPointF(3, 5.5));
        painter.drawLine(QPointF(9, 4.25), QPointF(9, 5.5));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(240, 180, 40));
        painter.drawRoundedRect(QRectF(1.5, 5.5, 9, 6), 1, 1);
        return pixmap;
    }();
    return picture;
}

QLabel *markOf(const QWidget *object)
{
    return object ? object->findChild<QLabel *>(QLatin1String(kMarkName), Qt::FindDirectChildrenOnly) : nullptr;
}

} // namespace

LockMarks::LockMarks(DesignCanvas *canvas, QObject *parent)
    : QObject(parent)
    , mCanvas(canvas)
{
    ComponentTable *table = canvas->table();
    connect(table, &ComponentTable::cellChanged, this, [this, table](int row, int column) {
        if (column == ComponentTable::Locked && row >= 1)
            mark(table->cell(row, ComponentTable::Id));
    });
    // Objects come and go with undo, redo and opened designs, after the change that
    // announces them: the marks follow once they are there.
    DesignDocument *document = canvas->document();
    connect(document, &DesignDocument::stepApplied, this, &LockMarks::scheduleAll);
    connect(document, &DesignDocument::designReset, this, &LockMarks::scheduleAll);
}

bool LockMarks::isMarked(const QWidget *object)
{
    const QLabel *mark = markOf(object);
    return mark && !mark->isHidden();
}

void LockMarks::scheduleAll()
{
    if (mScheduled)
        return;
    mScheduled = true;
    SlicedWork::queue(this, "marks", [this] {
        markAll();
        return false;
    });
}

void LockMarks::markAll()
{
    mScheduled = false;
    const ComponentTable *table = mCanvas->table();
    for (int row = 1; row < table->count(); ++row)
        mark(table->cell(row, ComponentTable::Id));
}

void LockMarks::mark(const QString &id)
{
    QWidget *object = mCanvas->objectById(id);
    if (!object)
        return;
    const bool locked = mCanvas->table()->isLocked(mCanvas->table()->findRowById(id));
    QLabel *mark = markOf(object);
    if (!mark) {
        if (!locked)
            return;
        mark = new QLabel(object);
        mark->setObjectName(QLatin1String(kMarkName));
        mark->setPixmap(lockPicture());
        mark->setGeometry(1, 1, kMarkSize, kMarkSize);
        // The press goes to the component under it, as anywhere else on it.
        mark->setAttribute(Qt::WA_TransparentForMouseEvents);
        mark->setAttribute(Qt::WA_TranslucentBackground);
    }
    mark->setVisible(locked);
}

} // namespace Plumbrook
