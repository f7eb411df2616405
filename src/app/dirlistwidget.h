// The folder list on screen, bound to its model.
#pragma once

#include <QListView>

namespace dyadix {

class DirListModel;

// A folder list on screen: folders indented by depth, opened by double-click or Enter.
class DirListWidget final : public QListView
{
    Q_OBJECT
public:
    DirListWidget(DirListModel &model, QWidget *parent);
};

} // namespace dyadix
