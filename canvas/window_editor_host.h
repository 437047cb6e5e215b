#pragma once

#include "components/editor_host.h"

#include <QPointer>

class QLineEdit;

namespace Plumbrook {

class MainWindow;

// The editor host of the main window: its design, its canvas, its status line and the
// place beside it where editors dock.
class WindowEditorHost : public EditorHost
{
    Q_OBJECT

public:
    WindowEditorHost(MainWindow *main, QLineEdit *widthBox);

    DesignDocument *document() const override;
    QPoint editorPlace(const QSize &size) const override;
    void showStatus(const QString &text) override;
    QString widthBoxText() const override;
    QSize pictureNaturalSize(const QString &componentId) const override;
    void setObjectShown(const QString &componentId, bool shown) override;
    void rememberShown(const QString &componentId) override;
    void showPreview(const QString &componentId, const QString &url, const QString &kind) override;

private:
    MainWindow *mMain;
    QPointer<QLineEdit> mWidthBox;
};

} // namespace Plumbrook
