#pragma once

#include <QListWidget>
#include <vector>

#include "app/WindowView.h"

namespace pamiro::window {

// A folder list as the window model fills it: the open folder's ancestors
// and the folder itself (open icons), its subfolders (closed icons), each
// indented by its depth. A double click or Enter is passed to the model.
class FolderList : public QListWidget {
    Q_OBJECT

  public:
    explicit FolderList(QWidget* parent = nullptr);
    void SetEntries(const std::vector<ListEntry>& entries);
};

}  // namespace pamiro::window
