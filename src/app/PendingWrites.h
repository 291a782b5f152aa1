#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pamiro {

// A write a settings store keeps until Commit: a key written, or (Key empty)
// a whole section deleted.
struct PendingWrite {
    std::string Section;
    std::string Key;
    std::string Value;
};

// The writes a store has not yet made lasting, in the order they were made.
class PendingWrites {
  public:
    const PendingWrite& Write(std::string_view section, std::string_view key, std::string value) {
        writes_.push_back({std::string(section), std::string(key), std::move(value)});
        return writes_.back();
    }
    const PendingWrite& DeleteSection(std::string_view section) {
        writes_.push_back({std::string(section), {}, {}});
        return writes_.back();
    }
    const std::vector<PendingWrite>& All() const { return writes_; }
    bool Empty() const { return writes_.empty(); }
    // The first count writes have been made lasting.
    void Done(std::size_t count) {
        writes_.erase(writes_.begin(), writes_.begin() + static_cast<std::ptrdiff_t>(count));
    }

  private:
    std::vector<PendingWrite> writes_;
};

}  // namespace pamiro
