#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/Host.h"

namespace pamiro::testing {

struct RecordedMessage {
    MessageIcon Icon;
    std::string Text;
    std::string Title;
};

// A host that records what a run shows and lets a test act inside the run's
// event processing (for instance to interrupt it).
class RecordingHost : public Host {
  public:
    void SetStatus(int panel, std::string_view text) override {
        (panel == 1 ? Panel1 : Panel2).assign(text);
        Statuses.push_back(std::to_string(panel) + ":" + std::string(text));
    }
    void ShowMessage(MessageIcon icon, std::string_view text, std::string_view title,
                     MessageKind = MessageKind::Plain) override {
        Messages.push_back({icon, std::string(text), std::string(title)});
    }
    void ProcessPendingEvents() override {
        ++EventCalls;
        if (OnEvents) OnEvents(EventCalls);
    }
    void FreezeWindow() override {
        Frozen = true;
        ++Freezes;
    }
    void RestoreWindow() override {
        Frozen = false;
        ++Restores;
    }

    // Every message as "TITLE: TEXT" lines.
    std::string MessageLines() const {
        std::string text;
        for (const RecordedMessage& m : Messages) text += m.Title + ": " + m.Text + "\n";
        return text;
    }

    std::string Panel1, Panel2;
    std::vector<std::string> Statuses;
    std::vector<RecordedMessage> Messages;
    std::function<void(int)> OnEvents;
    int EventCalls = 0;
    int Freezes = 0, Restores = 0;
    bool Frozen = false;
};

}  // namespace pamiro::testing
