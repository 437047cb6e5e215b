#include "canvas/main_window.h"

#include "canvas/arrange_menu.h"
#include "canvas/canvas_interaction.h"
#include "canvas/canvas_scroller.h"
#include "canvas/canvas_surface.h"
#include "canvas/canvas_sync.h"
#include "canvas/context_menu_operations.h"
#include "canvas/design_canvas.h"
#include "canvas/design_check_window.h"
#include "canvas/drag_snapper.h"
#include "canvas/file_menu.h"
#include "canvas/geometry_boxes.h"
#include "canvas/interface_fonts.h"
#include "canvas/layer_panel.h"
#include "canvas/lock_marks.h"
#include "canvas/module_background_layer.h"
#include "canvas/picture_drop.h"
#include "canvas/picture_object.h"
#include "canvas/preview_download.h"
#include "canvas/ruler_guides.h"
#include "canvas/selection_operations.h"
#include "canvas/stacking_actions.h"
#include "canvas/window_editor_host.h"
#include "canvas/zoom_controls.h"
#include "canvas/code_output_window.h"
#include "components/editor_registry.h"
#include "components/editors.h"
#include "components/palette_window.h"
#include "model/background_work.h"
#include "model/component_table.h"
#include "model/design_document.h"
#include "canvas/module_settings_window.h"
#include "net/announcements.h"
#include "net/desktop_shortcut.h"
#include "canvas/feedback_window.h"
#include "net/picture_cache.h"
#include "net/shell_links.h"
#include "net/update_check.h"

#include "ui_main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QIcon>
#include <QImageReader>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QSettings>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindow>

namespace Plumbrook {

namespace {

const QString kLayersKey = QStringLiteral("layout/layers");
constexpr int kLayersWidth = 230;

// The interface's fonts are settled before the window's first widget takes its font from
// the application: settled later, the widgets already made keep the old face.
QWidget *withInterfaceFonts(QWidget *parent)
{
    InterfaceFonts::install();
    return parent;
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QWidget(withInterfaceFonts(parent), Qt::Window | Qt::FramelessWindowHint)
    , ui(new Ui::MainWindow)
    , mDocument(new DesignDocument(this))
    , mTable(mDocument->table())
{
    ui->setupUi(this);
    // Read as the PNG it is: a reader left to guess asks, and so loads, every image
    // plugin there is before the window can be shown.
    QImageReader iconReader(QStringLiteral(":/pictures/icon.png"), "png");
    iconReader.setAutoDetectImageFormat(false);
    setWindowIcon(QIcon(QPixmap::fromImage(iconReader.read())));
    setMouseTracking(true);
    ui->外形框1->setMouseTracking(true);
    ui->外形框1->installEventFilter(this);

    SelectionHandles handles;
    handles.setHandles({ui->标签_左上, ui->标签_上中, ui->标签_右上, ui->标签_右中,
                        ui->标签_左中, ui->标签_左下, ui->标签_下中, ui->标签_右下});
    // A palette rather than a style sheet: eight sheets to parse and a style-sheet style
    // for each handle would slow the start for a plain fill.
    QPalette handleColours = ui->标签_左上->palette();
    handleColours.setColor(QPalette::Window, QColor(0x1e, 0x6f, 0xd9));
    for (QLabel *handle : {ui->标签_左上, ui->标签_上中, ui->标签_右上, ui->标签_右中,
                           ui->标签_左中, ui->标签_左下, ui->标签_下中, ui->标签_右下}) {
        handle->setPalette(handleColours);
    }
    mCanvas = new DesignCanvas(mDocument, ui->动画框1, ui->图片框1, ui->透明标签1, handles, this);
    mCanvas->setScreenWidthSource([this] { return screenSize().width(); });
    mCanvas->setLayoutWidth(ui->动画框1->width());
    mInteraction = new CanvasInteraction(mCanvas, this);
    mScroller = new CanvasScroller(mCanvas, ui->设计, ui->容器_画布, ui->滚动条_横向,
                                   ui->滚动条_纵向, this);
    mSelectionOperations = new SelectionOperations(mCanvas, this);
    mGeometryBoxes = new GeometryBoxes(
        mCanvas, {ui->编辑框_宽, ui->编辑框_高, ui->编辑框_距左, ui->编辑框_距顶}, this);
    mSync = new CanvasSync(mDocument, mCanvas, this);
    mEditorHost = new WindowEditorHost(this, ui->编辑框_宽);
    new LockMarks(mCanvas, this);
    connect(mInteraction, &CanvasInteraction::selectionAboutToChange, mGeometryBoxes,
            &GeometryBoxes::applyPending);
    // Its fields would show cells that undo or redo just replaced.
    connect(mDocument, &DesignDocument::stepApplied, this, [this] {
        if (moduleSettingsWindow)
            moduleSettingsWindow->close();
    });

    connect(mCanvas, &DesignCanvas::statusMessage, this, &MainWindow::showStatus);
    connect(mGeometryBoxes, &GeometryBoxes::statusMessage, this, &MainWindow::showStatus);
    connect(mInteraction, &CanvasInteraction::dragAnywhereOff, this,
            [this] { mDragAnywhere = false; });
    connect(mInteraction, &CanvasInteraction::contextMenuRequested, this,
            [this](const QPoint &globalPos) { mContextMenu->popup(globalPos); });

    buildTitleStrip();
    buildMenus();
    registerBuiltinEditors();

    mFileMenu = new FileMenu(this, mDocument, this);
    connect(ui->超级按钮_文件, &QPushButton::clicked, this, [this] {
        mFileMenu->menu()->popup(ui->超级按钮_文件->mapToGlobal(QPoint(0, ui->超级按钮_文件->height())));
    });

    mArrangeMenu = new ArrangeMenu(mCanvas, [this] { return layoutSettingsFile(); }, this);
    mInteraction->snapper()->setEnabledSource([this] { return mArrangeMenu->snapping(); });
    buildPictureDrop();
    connect(ui->超级按钮_排列, &QPushButton::clicked, this, [this] {
        mArrangeMenu->menu()->popup(ui->超级按钮_排列->mapToGlobal(QPoint(0, ui->超级按钮_排列->height())));
    });
    buildLayers();
    // Offered while the menu is open only, so that its own five items stay its list.
    connect(mContextMenu, &QMenu::aboutToShow, this, [this] {
        mContextMenu->addMenu(mArrangeMenu->menu());
        mContextMenu->addActions(mStacking->actions());
    });
    connect(mContextMenu, &QMenu::aboutToHide, this, [this] {
        QTimer::singleShot(0, this, [this] {
            mContextMenu->removeAction(mArrangeMenu->menu()->menuAction());
            for (QAction *action : mStacking->actions())
                mContextMenu->removeAction(action);
        });
    });

    mClock = new QTimer(this);
    mClock->setObjectName(QStringLiteral("时钟1"));
    mClock->setInterval(300000);
    connect(mClock, &QTimer::timeout, this, &MainWindow::onClockTick);
    mClock->start();

    connect(ui->超级按钮_背景, &QPushButton::clicked, this, &MainWindow::openPalette);
    connect(ui->超级按钮_背景1, &QPushButton::clicked, this, &MainWindow::openModuleSettings);

    mZoomControls = new ZoomControls(mCanvas, mScroller, ui->组合框_缩放, this, this);
    // The rulers count module pixels from the module's corner as the canvas scrolls and zooms.
    mRulers = new RulerGuides(mCanvas, ui->图片框_刻度, ui->图片框_刻度_纵向, this);
    connect(mScroller, &CanvasScroller::scrolled, mRulers, &RulerGuides::refresh);

    ui->动画框1->drawGrid();
    dockPalette();
}

MainWindow::~MainWindow()
{
    delete mTray;
    delete ui;
}

void MainWindow::buildTitleStrip()
{
    const QString normal = QStringLiteral(
        "QPushButton { background: rgb(236,236,236); color: rgb(65,65,65); border: none; }"
        "QPushButton:hover { background: rgb(0,224,128); }");
    const QString close = QStringLiteral(
        "QPushButton { background: rgb(236,236,236); color: rgb(65,65,65); border: none; }"
        "QPushButton:hover { background: rgb(255,0,0); }");
    ui->超级按钮_最小1->setStyleSheet(normal);
    ui->超级按钮_最小->setStyleSheet(normal);
    ui->超级按钮_最大->setStyleSheet(normal);
    ui->超级按钮_关闭->setStyleSheet(close);

    connect(ui->超级按钮_生成代码, &QPushButton::clicked, this, &MainWindow::openCodeOutput);
    connect(ui->超级按钮_检查, &QPushButton::clicked, this, &MainWindow::openDesignCheck);
    connect(ui->超级按钮_最小1, &QPushButton::clicked, this, &MainWindow::popSettingsMenu);
    connect(ui->超级按钮_最小, &QPushButton::clicked, this, &MainWindow::minimise);
    connect(ui->超级按钮_最大, &QPushButton::clicked, this, &MainWindow::toggleMaximise);
    connect(ui->超级按钮_关闭, &QPushButton::clicked, this, &MainWindow::closeToTray);
}

void MainWindow::buildMenus()
{
    mContextMenu = new QMenu(this);
    mContextMenu->setObjectName(QStringLiteral("菜单"));
    mContextMenu->addAction(QStringLiteral("编辑"), this, &MainWindow::editSelected);
    mContextMenu->addAction(QStringLiteral("复制"), this, &MainWindow::copySelected);
    mContextMenu->addAction(QStringLiteral("删除"), this, &MainWindow::deleteSelected);
    mContextMenu->addAction(QStringLiteral("锁定"), this, &MainWindow::lockSelected);
    mContextMenu->addAction(QStringLiteral("解锁"), this, &MainWindow::unlockSelected);

    mSettingsMenu = new QMenu(this);
    mSettingsMenu->setObjectName(QStringLiteral("设置"));
    mSettingsMenu->addAction(QStringLiteral("意见反馈"), this, &MainWindow::openFeedback);
    mSettingsMenu->addAction(QStringLiteral("使用教程"), this, &MainWindow::openTutorial);
    mSettingsMenu->addAction(QStringLiteral("快捷方式"), this, &MainWindow::createShortcut);
    mSettingsMenu->addAction(QStringLiteral("检测更新"), this, &MainWindow::checkUpdate);
    mSettingsMenu->addAction(QStringLiteral("官方网站"), this, &MainWindow::openWebsite);
    mSettingsMenu->addAction(QStringLiteral("清除图片缓存"), this, &MainWindow::clearPictureCache);
    mSettingsMenu->addAction(QStringLiteral("退出软件"), this, &MainWindow::exitProgram);
}

void MainWindow::clearPictureCache()
{
    PictureCache *cache = PreviewDownload::diskCache();
    if (!cache)
        return;
    PreviewDownload::forgetRevalidations();
    // Thousands of files may go: the window does not wait for the disk.
    BackgroundWork::run(BackgroundWork::Lane::Files, this, [cache] { cache->clear(); },
                        [this] { showStatus(QStringLiteral("图片缓存已清除")); });
}

void MainWindow::buildPictureDrop()
{
    mPictureDrop = new PictureDrop(mCanvas, ui->标签_提示, this);
    mSelectionOperations->setPasteFallback([this] { return mPictureDrop->pasteClipboard(); });
    // Offered in the context menu while it is open, beside the arrange menu.
    auto *naturalSize = new QAction(ArrangeMenu::kNaturalSizeText, this);
    connect(naturalSize, &QAction::triggered, mArrangeMenu, &ArrangeMenu::giveNaturalSize);
    connect(mContextMenu, &QMenu::aboutToShow, this, [this, naturalSize] {
        mContextMenu->addAction(naturalSize);
    });
    connect(mContextMenu, &QMenu::aboutToHide, this, [this, naturalSize] {
        QTimer::singleShot(0, this, [this, naturalSize] { mContextMenu->removeAction(naturalSize); });
    });
}

void MainWindow::showStatus(const QString &text)
{
    ui->标签_提示->setText(text);
}

QString MainWindow::statusText() const
{
    return ui->标签_提示->text();
}

QSize MainWindow::screenSize() const
{
    if (mScreenOverride.isValid())
        return mScreenOverride;
    QScreen *s = screen();
    return s ? s->size() : QSize(1920, 1080);
}

void MainWindow::applyLayout(int width, int height)
{
    resize(width, height);
    const QSize screenSz = screenSize();
    if (width > 1000) {
        move(0, 0);
        mDragAnywhere = false;
    } else {
        move((screenSz.width() - width) / 2, (screenSz.height() - height) / 2);
        mDragAnywhere = true;
    }
    ui->外形框1->move(width - ui->外形框1->width() - 2, ui->外形框1->y());
    ui->标签_文件名->move(ui->外形框1->x() - ui->标签_文件名->width() - 4, ui->标签_文件名->y());
    ui->图片框_刻度->resize(width - 4, ui->图片框_刻度->height());
    ui->高级选择夹1->resize(width - 4, height - 74);
    ui->动画框1->resize(width - 4, height - 74);
    mCanvas->setLayoutWidth(width - 4);
    mScroller->setBaseSize(QSize(width - 4, height - 74));
    placeLayerPanel(width, height);
    ui->标签_提示->resize(width - ui->外形框2->width(), ui->标签_提示->height());
    ui->外形框2->move(width - ui->外形框2->width(), ui->外形框2->y());
    ui->标签_提示->move(ui->标签_提示->x(), height - 23);
    ui->外形框2->move(ui->外形框2->x(), height - 23);
    ui->组合框_缩放->move(ui->外形框2->x() - ui->组合框_缩放->width() - 5, height - 23);

    mCanvas->centreBackground(mTable->cellInt(0, ComponentTable::Width));
    mDocument->writeUnstepped([this] { mTable->setCell(0, ComponentTable::Left, QStringLiteral("0")); });
    ui->动画框1->drawGrid();
    mRulers->refresh();
    dockPalette();
}

QString MainWindow::layoutSettingsFile() const
{
    return mFileMenu->dataDir() + QStringLiteral("/layout.ini");
}

void MainWindow::buildLayers()
{
    mStacking = new StackingActions(mCanvas, this);
    mArrangeMenu->menu()->addSeparator();
    mArrangeMenu->menu()->addActions(mStacking->actions());
    mLayerPanel = new LayerPanel(mCanvas, mStacking, mSelectionOperations, this);
    mLayerPanel->setObjectName(QStringLiteral("图层"));
    connect(mLayerPanel, &LayerPanel::editRequested, this, &MainWindow::editSelected);
    connect(mLayerPanel, &LayerPanel::statusMessage, this, &MainWindow::showStatus);
    connect(ui->超级按钮_图层, &QPushButton::clicked, this, &MainWindow::setLayersShown);
    mLayerPanel->hide();
}

void MainWindow::showEvent(QShowEvent *event)
{
    // Read when first shown: the per-user folder may be set after the window was made.
    if (!mLayersSettled) {
        mLayersSettled = true;
        const bool shown = QSettings(layoutSettingsFile(), QSettings::IniFormat).value(kLayersKey, false).toBool();
        ui->超级按钮_图层->setChecked(shown);
        // Hidden, it leaves the canvas as the window's layout made it.
        if (shown) {
            mLayerPanel->show();
            placeLayerPanel(width(), height());
        }
    }
    QWidget::showEvent(event);
}

void MainWindow::placeLayerPanel(int width, int height)
{
    // The panel takes its width from the canvas's.
    const int panel = mLayerPanel->isVisibleTo(this) ? kLayersWidth : 0;
    mLayerPanel->setGeometry(width - 2 - kLayersWidth, 50, kLayersWidth, height - 74);
    ui->高级选择夹1->resize(width - 4 - panel, height - 74);
    ui->动画框1->resize(width - 4 - panel, height - 74);
    mCanvas->setLayoutWidth(width - 4 - panel);
    mScroller->setBaseSize(QSize(width - 4 - panel, height - 74));
}

void MainWindow::setLayersShown(bool shown)
{
    mLayersSettled = true;
    ui->超级按钮_图层->setChecked(shown);
    if (mLayerPanel->isVisibleTo(this) != shown) {
        mLayerPanel->setVisible(shown);
        placeLayerPanel(width(), height());
    }
    QSettings(layoutSettingsFile(), QSettings::IniFormat).setValue(kLayersKey, shown);
}

void MainWindow::showInitialModule()
{
    ModuleBackgroundLayer::render(mCanvas);
}

void MainWindow::toggleMaximise()
{
    if (ui->超级按钮_最大->text() == QStringLiteral("□")) {
        ui->超级按钮_最大->setText(QStringLiteral("◇"));
        const QSize s = screenSize();
        applyLayout(s.width(), s.height() - 40);
    } else {
        ui->超级按钮_最大->setText(QStringLiteral("□"));
        applyLayout(1000, 650);
    }
}

void MainWindow::dockPalette()
{
    if (palette)
        palette->move(x() + 4, y() + 52);
}

void MainWindow::minimise()
{
    showMinimized();
    closeSideWindows();
}

void MainWindow::closeToTray()
{
    const bool trayAvailable = mTrayOverride.value_or(QSystemTrayIcon::isSystemTrayAvailable());
    if (!trayAvailable) {
        // Hidden without an icon the window could never come back, and the
        // design with it; minimising keeps it in reach.
        minimise();
        return;
    }
    hide();
    if (!mTray) {
        mTray = new QSystemTrayIcon(windowIcon());
        mTray->setToolTip(QStringLiteral("Plumbrook自由布局"));
        connect(mTray, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger
                        || reason == QSystemTrayIcon::DoubleClick)
                        restoreFromTray();
                    else if (reason == QSystemTrayIcon::Context)
                        mSettingsMenu->popup(QCursor::pos());
                });
    }
    mTray->show();
    closeSideWindows();
}

void MainWindow::restoreFromTray()
{
    show();
    raise();
    activateWindow();
    if (mTray)
        mTray->hide();
}

void MainWindow::popSettingsMenu()
{
    mSettingsMenu->popup(QCursor::pos());
}

void MainWindow::exitProgram()
{
    emit exitRequested(0);
    QCoreApplication::exit(0);
}

void MainWindow::closeSideWindows()
{
    EditorRegistry::closeAll();
    if (moduleSettingsWindow)
        moduleSettingsWindow->close();
    if (palette)
        palette->close();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->外形框1) {
        if (event->type() == QEvent::MouseMove && width() <= 1000)
            mDragAnywhere = true;
        if (event->type() == QEvent::MouseButtonPress) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton && mDragAnywhere && windowHandle())
                windowHandle()->startSystemMove();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && mDragAnywhere && windowHandle())
        windowHandle()->startSystemMove();
    QWidget::mousePressEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (width() <= 1000)
        mDragAnywhere = true;
    QWidget::mouseMoveEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // The window manager's close behaves like the title strip's "×".
    event->ignore();
    closeToTray();
}

// Operations whose windows and workings live in their own modules.

void MainWindow::openModuleSettings()
{
    if (!moduleSettingsWindow) {
        moduleSettingsWindow = new ModuleSettingsWindow(mCanvas, this);
        moduleSettingsWindow->move(frameGeometry().center() - moduleSettingsWindow->rect().center());
    }
    moduleSettingsWindow->show();
    moduleSettingsWindow->raise();
    moduleSettingsWindow->activateWindow();
}
QString MainWindow::designShrink() const
{
    return mDocument->shrink();
}

void MainWindow::openCodeOutput()
{
    if (!codeOutputWindow) {
        auto *window = new CodeOutputWindow(mTable, this);
        window->setShrinkField(designShrink());
        window->setChecks([this] { return checkDesignOf(this); });
        // The field follows the design's own amount as another design comes in or goes back.
        const auto follow = [this, window] { window->setShrinkField(designShrink()); };
        connect(mDocument, &DesignDocument::designReset, window, follow);
        connect(mDocument, &DesignDocument::stepApplied, window, [follow](const DesignChange &change) {
            if (change.replaced)
                follow();
        });
        codeOutputWindow = window;
        codeOutputWindow->move(frameGeometry().center() - codeOutputWindow->rect().center());
    }
    static_cast<CodeOutputWindow *>(codeOutputWindow.data())->runChecks();
    codeOutputWindow->show();
    codeOutputWindow->raise();
    codeOutputWindow->activateWindow();
}

void MainWindow::openDesignCheck()
{
    if (!designCheckWindow) {
        designCheckWindow = new DesignCheckWindow(this);
        designCheckWindow->move(frameGeometry().center() - designCheckWindow->rect().center());
    }
    designCheckWindow->show();
    designCheckWindow->raise();
    designCheckWindow->activateWindow();
}

void MainWindow::openFeedback()
{
    QPointer<MainWindow> self(this);
    FeedbackWindow::open(
        [self](const QString &text) {
            if (self)
                self->showStatus(text);
        },
        this);
}

void MainWindow::openTutorial()
{
    ShellLinks::openTutorial();
}

void MainWindow::createShortcut()
{
    showStatus(DesktopShortcut::run());
}

void MainWindow::checkUpdate()
{
    // Writing out and unpacking the updater is file work, kept off the window.
    BackgroundWork::run(BackgroundWork::Lane::Files, this, &UpdateCheck::run,
                        [this](const QString &status) { showStatus(status); });
}

void MainWindow::openWebsite()
{
    ShellLinks::openWebsite();
}

void MainWindow::onClockTick()
{
    showStatus(Announcements::displayText());
}

void MainWindow::openPalette()
{
    if (!palette) {
        auto *window = new PaletteWindow(this, mDocument, [this](const QString &kind) {
            return mCanvas->newComponentPlace(kind);
        });
        connect(window, &PaletteWindow::dockRequested, this, &MainWindow::dockPalette);
        palette = window;
        dockPalette();
    }
    palette->show();
    palette->raise();
    palette->activateWindow();
}

void MainWindow::editSelected() { ContextMenuOperations::edit(this); }
void MainWindow::copySelected() { ContextMenuOperations::copy(this); }
void MainWindow::deleteSelected() { ContextMenuOperations::remove(this); }
void MainWindow::lockSelected() { ContextMenuOperations::lock(this); }
void MainWindow::unlockSelected() { ContextMenuOperations::unlock(this); }

} // namespace Plumbrook
