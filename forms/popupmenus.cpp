#include "forms/popupmenus.h"

#include <QMenu>

namespace forms {

int QtPopupMenus::popup(const std::vector<QString>& items, const QPoint& globalPos, QWidget* owner)
{
    QMenu menu(owner);
    for (std::size_t i = 0; i < items.size(); ++i)
        menu.addAction(items[i])->setData(int(i));
    const QAction* chosen = menu.exec(globalPos);
    return chosen ? chosen->data().toInt() : -1;
}

} // namespace forms
