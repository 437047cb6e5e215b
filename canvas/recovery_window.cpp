#include "canvas/recovery_window.h"

#include "canvas/file_menu.h"
#include "canvas/main_window.h"
#include "components/window_drag.h"

#include "ui_recovery_window.h"

#include <QFileInfo>

namespace Plumbrook {

RecoveryWindow::RecoveryWindow(MainWindow *main, FileMenu *menu, const QList<SessionStore::Leftover> &leftovers)
    : QWidget(main, Qt::Window | Qt::FramelessWindowHint)
    , ui(new Ui::RecoveryWindow)
    , mMenu(menu)
    , mLeftovers(leftovers)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(size());
    WindowDrag::install(this);
    ui->列表框1->setColumnWidth(0, 140);
    ui->列表框1->setColumnWidth(1, 260);
    ui->列表框1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (const SessionStore::Leftover &leftover : std::as_const(mLeftovers)) {
        const QString name = leftover.designPath.isEmpty() ? QStringLiteral("（未命名）")
                                                           : QFileInfo(leftover.designPath).fileName();
        const QString components = leftover.components < 0 ? QStringLiteral("无法读取")
                                                           : QString::number(leftover.components);
        auto *item = new QTreeWidgetItem(ui->列表框1, {leftover.time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                                      name, components});
        item->setToolTip(1, leftover.designPath);
    }
    choose(0);
    connect(ui->超级按钮1, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->超级按钮_恢复, &QPushButton::clicked, this, &RecoveryWindow::restoreChosen);
    connect(ui->超级按钮_另存为, &QPushButton::clicked, this, &RecoveryWindow::saveChosenAs);
    connect(ui->超级按钮_丢弃, &QPushButton::clicked, this, &RecoveryWindow::discardChosen);
    connect(ui->列表框1, &QTreeWidget::itemDoubleClicked, this, &RecoveryWindow::restoreChosen);
    // A row goes once its folder is gone: a copy saved elsewhere has been written.
    connect(mMenu, &FileMenu::designWritten, this, [this] {
        for (int i = int(mLeftovers.size()) - 1; i >= 0; --i) {
            if (!QFileInfo::exists(mLeftovers.at(i).folder))
                removeRow(i);
        }
    });
}

RecoveryWindow::~RecoveryWindow()
{
    delete ui;
}

void RecoveryWindow::choose(int index)
{
    if (QTreeWidgetItem *item = ui->列表框1->topLevelItem(index))
        ui->列表框1->setCurrentItem(item);
}

int RecoveryWindow::chosen() const
{
    return ui->列表框1->indexOfTopLevelItem(ui->列表框1->currentItem());
}

void RecoveryWindow::removeRow(int index)
{
    delete ui->列表框1->takeTopLevelItem(index);
    mLeftovers.removeAt(index);
    if (mLeftovers.isEmpty())
        close();
    else
        choose(qMin(index, int(mLeftovers.size()) - 1));
}

void RecoveryWindow::restoreChosen()
{
    const int index = chosen();
    if (index < 0 || index >= mLeftovers.size())
        return;
    if (mMenu->recover(mLeftovers.at(index)))
        removeRow(index);
}

void RecoveryWindow::saveChosenAs()
{
    const int index = chosen();
    if (index < 0 || index >= mLeftovers.size())
        return;
    mMenu->saveLeftoverAs(mLeftovers.at(index));
}

void RecoveryWindow::discardChosen()
{
    const int index = chosen();
    if (index < 0 || index >= mLeftovers.size())
        return;
    SessionStore::discard(mLeftovers.at(index));
    removeRow(index);
}

} // namespace Plumbrook
