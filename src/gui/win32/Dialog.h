#pragma once

#include <windows.h>

namespace pamiro::win32 {

// A modeless dialog made from a template of the resources. The dialog
// procedure keeps `this` in GWLP_USERDATA and hands the messages to the
// virtual members.
class Dialog {
  public:
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Creates the dialog (hidden unless its template says WS_VISIBLE); false
    // when the system refused.
    bool Create(int templateId, HWND owner);
    HWND Handle() const { return handle_; }
    HWND Item(int id) const { return ::GetDlgItem(handle_, id); }
    // Destroys the window; the object stays.
    void Destroy();

  protected:
    Dialog() = default;
    // WM_INITDIALOG; true lets the system set the focus.
    virtual bool OnInit() { return true; }
    // WM_COMMAND; true when handled.
    virtual bool OnCommand(int id, int code, HWND control) = 0;
    // Every other message; true when handled, result then holds the answer.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);
    // WM_DESTROY has gone by: the handle is no longer valid.
    virtual void OnDestroyed() {}

  private:
    static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND handle_ = nullptr;
};

}  // namespace pamiro::win32
