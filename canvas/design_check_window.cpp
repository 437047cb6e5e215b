#include "canvas/design_check_window.h"

#include "canvas/canvas_picture_sizes.h"
#include "canvas/canvas_scroller.h"
#include "canvas/design_canvas.h"
#include "canvas/main_window.h"
#include "model/carousel_settings.h"
#include "components/window_drag.h"
#include "model/component_table.h"
#include "model/design_document.h"

#include "ui_design_check_window.h"

#include <QColor>
#include <QElapsedTimer>
#include <QTimer>
#include <QUndoStack>

#include <algorithm>

namespace Plumbrook {

namespace {

constexpr int kIdRole = Qt::UserRole;
constexpr int kLineRole = Qt::UserRole + 1;
constexpr qint64 kSmoothMsecs = 16;
constexpr qint64 kLongestWaitMsecs = 500;

} // namespace

QVector<DesignFinding> checkDesignOf(const MainWindow *main, const QDateTime &now)
{
    const CanvasPictureSizes pictures(main->canvas());
    CheckSources sources;
    sources.pictures = &pictures;
    sources.now = now;
    const ComponentTable *table = main->table();
    sources.carouselPictures = [table](int row) { return CarouselSettings::slidePictures(*table, row); };
    return DesignChecks::run(*table, sources);
}

DesignCheckWindow::DesignCheckWindow(MainWindow *main)
    : QWidget(main, Qt::Window | Qt::FramelessWindowHint)
    , ui(new Ui::DesignCheckWindow)
    , mMain(main)
    , mRefresh(new QTimer(this))
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(size());
    WindowDrag::install(this);
    connect(ui->超级按钮1, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->列表框_结果, &QListWidget::itemClicked, this, &DesignCheckWindow::goTo);
    connect(ui->列表框_结果, &QListWidget::itemActivated, this, &DesignCheckWindow::goTo);

    mRefresh->setSingleShot(true);
    mRefresh->setInterval(0);
    connect(mRefresh, &QTimer::timeout, this, &DesignCheckWindow::refresh);

    // Every way the design changes: steps done, undone and redone, a design put in
    // place, cells written while a drag goes on, settings and pictures arriving.
    DesignDocument *document = main->document();
    ComponentTable *table = main->table();
    connect(document->undoStack(), &QUndoStack::indexChanged, this, &DesignCheckWindow::scheduleRefresh);
    connect(document, &DesignDocument::stepApplied, this, &DesignCheckWindow::scheduleRefresh);
    connect(document, &DesignDocument::designReset, this, &DesignCheckWindow::scheduleRefresh);
    connect(table, &ComponentTable::cellChanged, this, &DesignCheckWindow::scheduleRefresh);
    connect(table, &ComponentTable::rowsInserted, this, &DesignCheckWindow::scheduleRefresh);
    connect(table, &ComponentTable::rowsRemoved, this, &DesignCheckWindow::scheduleRefresh);
    connect(table, &ComponentTable::modelReset, this, &DesignCheckWindow::scheduleRefresh);
    connect(main->canvas(), &DesignCanvas::objectPictureChanged, this, &DesignCheckWindow::scheduleRefresh);
    connect(CarouselSettings::notifier(), &CarouselSettings::Notifier::written, this,
            &DesignCheckWindow::scheduleRefresh);
    refresh();
}

DesignCheckWindow::~DesignCheckWindow()
{
    delete ui;
}

void DesignCheckWindow::scheduleRefresh()
{
    mRefresh->start();
}

void DesignCheckWindow::refresh()
{
    mRefresh->stop();
    QElapsedTimer took;
    took.start();
    mFindings = checkDesignOf(mMain, mNow);

    QListWidget *list = ui->列表框_结果;
    const QString current = list->currentItem() ? list->currentItem()->data(kLineRole).toString() : QString();
    list->clear();
    for (const DesignFinding &finding : std::as_const(mFindings)) {
        QString text = QStringLiteral("%1  %2 %3：%4")
                           .arg(DesignFinding::severityText(finding.severity), finding.id, finding.kind,
                                finding.text);
        if (!finding.figure.isEmpty())
            text += QStringLiteral("（%1）").arg(finding.figure);
        auto *item = new QListWidgetItem(text, list);
        item->setData(kIdRole, finding.id);
        item->setData(kLineRole, finding.line());
        if (finding.severity == DesignFinding::Severity::Error)
            item->setForeground(QColor(200, 0, 0));
        if (!current.isEmpty() && finding.line() == current)
            list->setCurrentItem(item);
    }
    ui->标签_统计->setText(mFindings.isEmpty() ? QStringLiteral("没有发现问题")
                                               : DesignChecks::summary(DesignChecks::count(mFindings)));
    // A large design is checked less often while it is dragged about, so that the
    // drag stays smooth; a small one at every turn.
    const qint64 msecs = took.elapsed();
    mRefresh->setInterval(msecs > kSmoothMsecs ? int(std::min<qint64>(msecs * 4, kLongestWaitMsecs)) : 0);
}

void DesignCheckWindow::goTo(QListWidgetItem *item)
{
    if (!item)
        return;
    DesignCanvas *canvas = mMain->canvas();
    const QString id = item->data(kIdRole).toString();
    QWidget *object = canvas->objectById(id);
    if (!object) {
        // The module itself: its findings are about its size.
        if (id == mMain->table()->cell(0, ComponentTable::Id))
            canvas->select(DesignCanvas::Selection::Background);
        return;
    }
    canvas->selectObjects({object});
    mMain->scroller()->ensureVisible(object);
}

} // namespace Plumbrook
