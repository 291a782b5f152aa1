#pragma once

#include <memory>
#include <vector>

#include "app/WindowView.h"
#include "gui/win32/AboutDialog.h"
#include "gui/win32/Dialog.h"
#include "gui/win32/FolderListBox.h"

namespace pamiro {
class WindowModel;
}

namespace pamiro::win32 {

// frmBase as a Win32 dialog: builds nothing but what the resources hold and
// a status bar, hands every event to the window model and does what it says.
class MainWindow : public Dialog, public WindowView {
  public:
    MainWindow() = default;
    ~MainWindow() override;

    // Creates the window; the model's window load runs when the model is
    // attached and the window is shown.
    bool Open(WindowModel& model, int showCommand);
    // Routes a message of the message loop to the dialog that owns it; true
    // when one did (Tab, Enter, Escape, access keys).
    bool RouteDialogMessage(MSG& message);
    // The model has ended the program (it closes once the handler returns).
    bool Ended() const { return ended_; }

    // WindowView
    void SetEntries(Element list, const std::vector<ListEntry>& entries) override;
    void SelectEntry(Element list, int index) override;
    int SelectedEntry(Element list) const override;
    std::string Text(Element element) const override;
    void SetText(Element element, std::string_view text) override;
    void SetFocus(Element element) override;
    void SetEnabled(bool enabled) override;
    MessageAnswer ShowMessage(const MessageRequest& request) override;
    void ProcessPendingEvents() override;
    void ShowAbout(const AboutTexts& texts) override;
    void EndProgram() override;

  protected:
    bool OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

  private:
    HWND Control(Element element) const;
    FolderListBox* Folders(Element element);
    const FolderListBox* Folders(Element element) const;
    // The element that has the keyboard (a combo box for its text part);
    // cmdEjecutar for anything else.
    Element Focused() const;
    void LayOutStatusBar();

    WindowModel* model_ = nullptr;
    HWND status_ = nullptr;
    std::unique_ptr<AboutDialog> about_;
    FolderListBox dirFuente_;
    FolderListBox dirDestino_;
    bool ended_ = false;
};

}  // namespace pamiro::win32
