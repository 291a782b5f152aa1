#include "cli/BatchConsole.h"

#include <algorithm>

#include "core/Console.h"

namespace pamiro::cli {

void BatchConsole::Message(const std::string& cp, std::string_view title, std::string_view text,
                           const std::string& detail) {
    std::lock_guard<std::mutex> lock(mutex_);
    ClearProgress();
    // Names inside the text are the source's bytes, written as they are.
    PrintErr("%s: ", cp.c_str());
    WriteErr(title);
    WriteErr(": ");
    WriteErr(text);
    WriteErr("\n");
    if (!detail.empty()) PrintErr("%s:   %s\n", cp.c_str(), detail.c_str());
    DrawProgress();
}

void BatchConsole::Started(const std::string& cp) {
    std::lock_guard<std::mutex> lock(mutex_);
    running_.push_back(cp);
    ClearProgress();
    DrawProgress();
}

void BatchConsole::Finished(std::size_t index, const std::string& cp, std::string lines) {
    std::lock_guard<std::mutex> lock(mutex_);
    running_.erase(std::find(running_.begin(), running_.end(), cp));
    ++done_;
    summaries_[index] = std::move(lines);
    ClearProgress();
    FlushErr();
    for (; printed_ < total_ && summaries_[printed_]; ++printed_) {
        WriteOut(summaries_[printed_]->c_str());
    }
    FlushOut();
    DrawProgress();
}

void BatchConsole::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    ClearProgress();
}

void BatchConsole::ClearProgress() {
    if (!shown_) return;
    WriteErr("\r\x1b[K");
    shown_ = false;
}

void BatchConsole::DrawProgress() {
    if (!progress_ || done_ == total_) return;
    std::string line = "[" + std::to_string(done_) + "/" + std::to_string(total_) + "] en curso:";
    for (const std::string& cp : running_) line += " " + cp;
    if (line.size() > 78) line.resize(78);
    WriteErr(line.c_str());
    FlushErr();
    shown_ = true;
}

}  // namespace pamiro::cli
