#pragma once

#include "app/WindowView.h"
#include "gui/win32/Dialog.h"

namespace pamiro::win32 {

// frmAbout: modeless, closed by "Aceptar", Enter or Escape.
class AboutDialog : public Dialog {
  public:
    explicit AboutDialog(AboutTexts texts) : texts_(std::move(texts)) {}
    ~AboutDialog() override;

  protected:
    bool OnInit() override;
    bool OnCommand(int id, int code, HWND control) override;

  private:
    AboutTexts texts_;
    HFONT titleFont_ = nullptr;
};

}  // namespace pamiro::win32
