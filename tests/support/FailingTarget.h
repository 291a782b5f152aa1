#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/FileError.h"
#include "core/Folders.h"

namespace pamiro::testing {

// A destination in memory that fails (a full disk, a rename refused) at its
// nth creation, write, close or rename, 0 never; when Stuck, every rename after too.
class FailingTarget : public MemoryOutputFolder {
  public:
    int FailAt = 0;
    bool Stuck = false;
    std::vector<std::string> Renamed;  // the names moves gave, in order
    std::unique_ptr<ByteSink> Create(const std::string& name) override {
        Step(name);
        return std::make_unique<Sink>(MemoryOutputFolder::Create(name), *this, name);
    }
    void Rename(const std::string& from, const std::string& to) override {
        Step(to);
        MemoryOutputFolder::Rename(from, to);
        Renamed.push_back(to);
    }
    void Step(const std::string& name) {
        if (--FailAt == 0 || (Stuck && FailAt < 0))
            throw FileError(FileError::Kind::Write, name, 28);
    }

  private:
    struct Sink : ByteSink {
        Sink(std::unique_ptr<ByteSink> inner, FailingTarget& target, std::string name)
            : inner_(std::move(inner)), target_(target), name_(std::move(name)) {}
        bool Write(const char* d, std::size_t n) override { return Ok() && inner_->Write(d, n); }
        bool Close() override { return Ok() && inner_->Close(); }
        int Error() const override { return 28; }
        bool Ok() { return --target_.FailAt != 0; }
        std::unique_ptr<ByteSink> inner_;
        FailingTarget& target_;
        std::string name_;
    };
};

}  // namespace pamiro::testing
