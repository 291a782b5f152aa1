#pragma once

#include <memory>
#include <string>

#include "core/Folders.h"
#include "run/RunObserver.h"

namespace pamiro {

// A folder on disk that tells an observer which files a run opened (the
// command line's report lists them); without an observer it only reads.
class ObservedInputFolder : public InputFolder {
  public:
    ObservedInputFolder(DiskInputFolder folder, RunObserver* observer)
        : folder_(std::move(folder)), observer_(observer) {}
    EntryKind Entry(const RelativePath& path) const override { return folder_.Entry(path); }
    std::unique_ptr<ByteSource> Open(const RelativePath& path) const override {
        auto source = folder_.Open(path);
        if (source && observer_ != nullptr) observer_->InputOpened(folder_.PathOf(path));
        return source;
    }
    std::vector<std::pair<std::string, EntryKind>> Entries() const override {
        return folder_.Entries();
    }
    std::string PathOf(const RelativePath& path) const override { return folder_.PathOf(path); }

  private:
    DiskInputFolder folder_;
    RunObserver* observer_;
};

}  // namespace pamiro
