#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/WindowView.h"

namespace pamiro::win32 {

// A folder list of the main window: an owner-drawn list box of the dialog
// template whose rows are indented by their depth and show the system's
// folder pictures (open for the open folder and its ancestors), with the
// entry's full path as the tool tip of the row under the mouse.
class FolderListBox {
  public:
    FolderListBox() = default;
    ~FolderListBox();
    FolderListBox(const FolderListBox&) = delete;
    FolderListBox& operator=(const FolderListBox&) = delete;

    // Takes over the list box id of dialog: row height, pictures, tool tip.
    void Attach(HWND dialog, int id);
    HWND Handle() const { return list_; }

    void SetEntries(const std::vector<ListEntry>& entries);
    void Select(int index);
    // The highlighted row, -1 for none.
    int Selected() const;
    // WM_DRAWITEM of this list box.
    void Draw(const DRAWITEMSTRUCT& item) const;

  private:
    struct Row {
        int Depth = 0;
        bool Open = false;
        std::wstring Tip;
    };
    static LRESULT CALLBACK Watch(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR self);
    int RowAt(POINT client) const;

    HWND list_ = nullptr;
    HWND tip_ = nullptr;
    std::vector<Row> rows_;
    int tipRow_ = -1;  // the row whose path the tool tip shows
    HICON closedIcon_ = nullptr;
    HICON openIcon_ = nullptr;
    int iconSide_ = 16;
    int indent_ = 12;
};

}  // namespace pamiro::win32
