#include "components/palette_window.h"

#include "components/component_creation.h"
#include "model/kind_table.h"

#include "ui_palette_window.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

namespace Plumbrook {

PaletteWindow::PaletteWindow(QWidget *owner, DesignDocument *document, Placement placement)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint)
    , ui(new Ui::PaletteWindow)
    , mDocument(document)
    , mPlacement(std::move(placement))
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(size());
    setStyleSheet(QStringLiteral(
        "Plumbrook--PaletteWindow { background: rgb(246,246,246); border: 1px solid rgb(200,200,200); }"
        "QPushButton#超级按钮26, QPushButton#超级按钮1 { border: none; color: rgb(65,65,65); }"
        "QPushButton#超级按钮26:hover { background: rgb(0,224,128); }"
        "QPushButton#超级按钮1:hover { background: rgb(255,0,0); color: white; }"));
    setAttribute(Qt::WA_StyledBackground);

    for (const KindTable::KindInfo &defaults : KindTable::all()) {
        auto *button = findChild<QPushButton *>(defaults.button);
        if (!button)
            continue;
        const QString kind = defaults.name;
        connect(button, &QPushButton::clicked, this,
                [this, kind] { ComponentCreation::create(mDocument, kind, mPlacement(kind)); });
    }
    connect(ui->超级按钮26, &QPushButton::clicked, this, &PaletteWindow::dockRequested);
    connect(ui->超级按钮1, &QPushButton::clicked, this, &QWidget::close);
}

PaletteWindow::~PaletteWindow()
{
    delete ui;
}

void PaletteWindow::mousePressEvent(QMouseEvent *event)
{
    // Without a title bar, the top strip is where the window is dragged from.
    if (event->button() == Qt::LeftButton && event->position().y() < ui->外形框1->y()
        && windowHandle())
        windowHandle()->startSystemMove();
    QWidget::mousePressEvent(event);
}

} // namespace Plumbrook
