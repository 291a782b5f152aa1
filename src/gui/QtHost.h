#pragma once

#include <QElapsedTimer>

#include "core/Host.h"

namespace pamiro::window {

class MainWindow;

// The window's host for a run: status panels, message boxes, the freezing of
// the window and the handling of pending events, during which a close request
// answered Yes ends the run.
class QtHost : public Host {
  public:
    explicit QtHost(MainWindow& window) : window_(window) {}

    void SetStatus(int panel, std::string_view text) override;
    void ShowMessage(MessageIcon icon, std::string_view text, std::string_view title) override;
    void ProcessPendingEvents() override;
    void FreezeWindow() override;
    void RestoreWindow() override;

  private:
    MainWindow& window_;
    QElapsedTimer sinceEvents_;
};

}  // namespace pamiro::window
