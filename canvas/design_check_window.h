#pragma once

#include "codegen/design_checks.h"

#include <QWidget>

class QListWidgetItem;
class QTimer;

namespace Ui {
class DesignCheckWindow;
}

namespace Plumbrook {

class MainWindow;

// Lists what would go wrong with the design in the shop, errors first, keeps the list
// in step with the design, and takes the user to the component a line names.
class DesignCheckWindow : public QWidget
{
    Q_OBJECT

public:
    explicit DesignCheckWindow(MainWindow *main);
    ~DesignCheckWindow() override;

    QVector<DesignFinding> findings() const { return mFindings; }
    // The countdown check's clock; tests hold it still.
    void setNow(const QDateTime &now) { mNow = now; }

public slots:
    // Runs the checks now and shows what they found.
    void refresh();
    // Runs them once the current turn of the event loop is done, however often asked.
    void scheduleRefresh();

private:
    void goTo(QListWidgetItem *item);

    Ui::DesignCheckWindow *ui;
    MainWindow *mMain;
    QTimer *mRefresh;
    QVector<DesignFinding> mFindings;
    QDateTime mNow;
};

// Runs the checks of the main window's design as the designer sees it: its carousels'
// settings and the pictures it has fetched.
QVector<DesignFinding> checkDesignOf(const MainWindow *main, const QDateTime &now = {});

} // namespace Plumbrook
