#pragma once

#include "model/session_store.h"

#include <QList>
#include <QWidget>

namespace Ui {
class RecoveryWindow;
}

namespace Plumbrook {

class FileMenu;
class MainWindow;

// Lists the designs earlier runs left behind (time, file, components) and lets the user
// restore one, save it elsewhere or discard it; what is not decided on stays for later.
class RecoveryWindow : public QWidget
{
    Q_OBJECT

public:
    RecoveryWindow(MainWindow *main, FileMenu *menu, const QList<SessionStore::Leftover> &leftovers);
    ~RecoveryWindow() override;

    int count() const { return int(mLeftovers.size()); }
    // Selects the row of `index` in the list, as a click on it does.
    void choose(int index);

public slots:
    void restoreChosen();
    void saveChosenAs();
    void discardChosen();

private:
    int chosen() const;
    void removeRow(int index);

    Ui::RecoveryWindow *ui;
    FileMenu *mMenu;
    QList<SessionStore::Leftover> mLeftovers;
};

} // namespace Plumbrook
