#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pamiro::cli {

// The terminal of a batch: every line of every worker goes through here, so
// lines never mix and the progress line is redrawn below them. Summary lines
// come out in the order of the CPs, whichever worker ends first.
class BatchConsole {
  public:
    BatchConsole(std::size_t total, bool progress)
        : total_(total), progress_(progress), summaries_(total) {}

    // "CP: TITLE: TEXT", then the detail's lines below it.
    void Message(const std::string& cp, std::string_view title, std::string_view text,
                 const std::string& detail = {});
    void Started(const std::string& cp);
    // The CP at index has ended: its summary lines are printed once every CP
    // before it has printed its own.
    void Finished(std::size_t index, const std::string& cp, std::string lines);
    void Close();

  private:
    void ClearProgress();
    void DrawProgress();

    std::mutex mutex_;
    std::size_t total_;
    std::size_t done_ = 0;
    bool progress_;
    bool shown_ = false;
    std::vector<std::string> running_;
    std::vector<std::optional<std::string>> summaries_;
    std::size_t printed_ = 0;
};

}  // namespace pamiro::cli
