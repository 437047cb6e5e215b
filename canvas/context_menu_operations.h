#pragma once

#include <QString>

namespace Plumbrook {

class MainWindow;

// What the context menu does to the selected component: edit, copy, delete,
// lock and unlock, each reporting on the status line.
namespace ContextMenuOperations {

inline const QString kLockedMessage =
    QStringLiteral("该组件已被锁定，不能移动、编辑和删除，若需操作，请选右键解锁..");
inline const QString kCarouselCopyMessage = QStringLiteral("轮播组件不能复制，请在功能列表中创建...");
inline const QString kDeletedMessage = QStringLiteral("选中组件已被删除....");
inline const QString kLockedDoneMessage = QStringLiteral("已锁定选中组件锁定");
inline const QString kUnlockedDoneMessage = QStringLiteral("已对选中组件解除锁定");

void edit(MainWindow *main);
void copy(MainWindow *main);
void remove(MainWindow *main);
void lock(MainWindow *main);
void unlock(MainWindow *main);

} // namespace ContextMenuOperations
} // namespace Plumbrook
