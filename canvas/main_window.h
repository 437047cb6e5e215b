#pragma once

#include <QPointer>
#include <QWidget>
#include <optional>

class QMenu;
class QSystemTrayIcon;
class QTimer;

namespace Ui {
class MainWindow;
}

namespace Plumbrook {

class ArrangeMenu;
class CanvasInteraction;
class CanvasScroller;
class CanvasSync;
class ComponentTable;
class DesignCanvas;
class DesignDocument;
class EditorHost;
class FileMenu;
class GeometryBoxes;
class PictureDrop;
class RulerGuides;
class LayerPanel;
class SelectionOperations;
class StackingActions;
class ZoomControls;

// The program's central borderless window: it owns the design and carries the
// canvas, the title strip, the menus, the status line and the geometry boxes.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    DesignDocument *document() const { return mDocument; }
    ComponentTable *table() const { return mTable; }
    DesignCanvas *canvas() const { return mCanvas; }
    // What the component editors opened from this window are handed.
    EditorHost *editorHost() const { return mEditorHost; }
    CanvasScroller *scroller() const { return mScroller; }
    SelectionOperations *selectionOperations() const { return mSelectionOperations; }
    ArrangeMenu *arrangeMenu() const { return mArrangeMenu; }
    StackingActions *stackingActions() const { return mStacking; }
    LayerPanel *layerPanel() const { return mLayerPanel; }
    // Shows or hides the "图层" panel beside the canvas, and remembers it for the next start.
    void setLayersShown(bool shown);
    ZoomControls *zoomControls() const { return mZoomControls; }
    FileMenu *fileMenu() const { return mFileMenu; }
    PictureDrop *pictureDrop() const { return mPictureDrop; }
    RulerGuides *rulers() const { return mRulers; }
    QMenu *contextMenu() const { return mContextMenu; }
    QMenu *settingsMenu() const { return mSettingsMenu; }
    QSystemTrayIcon *trayIcon() const { return mTray; }

    // Replaces the status line's text; safe to call from any thread.
    Q_INVOKABLE void showStatus(const QString &text);
    QString statusText() const;

    // The screen the layout and panning measure; tests inject their own.
    QSize screenSize() const;
    void setScreenSizeOverride(const QSize &size) { mScreenOverride = size; }
    void setTrayAvailableOverride(std::optional<bool> available) { mTrayOverride = available; }
    bool dragAnywhere() const { return mDragAnywhere; }

    // The shrink amount the design's code was made with, when it came from a
    // design file or module code that names one; the code output window starts with it.
    QString designShrink() const;

    void applyLayout(int width, int height);
    // Draws the module background from the module record, as "确定" with its values does.
    void showInitialModule();
    void dockPalette();
    void closeSideWindows();

    // Side windows opened from the buttons, kept so that they never open twice.
    QPointer<QWidget> palette;
    QPointer<QWidget> moduleSettingsWindow;
    QPointer<QWidget> codeOutputWindow;
    QPointer<QWidget> designCheckWindow;

public slots:
    void toggleMaximise();
    void minimise();
    void closeToTray();
    void popSettingsMenu();
    void exitProgram();

    void openPalette();
    void openModuleSettings();
    void openCodeOutput();
    void openDesignCheck();
    void openFeedback();
    void openTutorial();
    void createShortcut();
    void checkUpdate();
    void openWebsite();
    void clearPictureCache();
    void onClockTick();

    void editSelected();
    void copySelected();
    void deleteSelected();
    void lockSelected();
    void unlockSelected();

signals:
    void exitRequested(int code);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void buildMenus();
    void buildTitleStrip();
    void buildPictureDrop();
    void restoreFromTray();
    void buildLayers();
    void placeLayerPanel(int width, int height);
    QString layoutSettingsFile() const;

    Ui::MainWindow *ui;
    DesignDocument *mDocument;
    ComponentTable *mTable;
    DesignCanvas *mCanvas;
    EditorHost *mEditorHost;
    CanvasInteraction *mInteraction;
    CanvasScroller *mScroller;
    SelectionOperations *mSelectionOperations;
    ArrangeMenu *mArrangeMenu;
    StackingActions *mStacking;
    LayerPanel *mLayerPanel;
    GeometryBoxes *mGeometryBoxes;
    CanvasSync *mSync;
    ZoomControls *mZoomControls;
    RulerGuides *mRulers;
    FileMenu *mFileMenu;
    PictureDrop *mPictureDrop = nullptr;
    QMenu *mContextMenu;
    QMenu *mSettingsMenu;
    QTimer *mClock;
    QSystemTrayIcon *mTray = nullptr;
    bool mDragAnywhere = true;
    bool mLayersSettled = false;
    QSize mScreenOverride;
    std::optional<bool> mTrayOverride;
};

} // namespace Plumbrook
