#include "core/FileTable.h"

#include "core/FileError.h"

namespace pamiro {

namespace {
constexpr std::size_t kBufferSize = 64 * 1024;
}

OutputFile::OutputFile(std::unique_ptr<ByteSink> sink, std::string path)
    : sink_(std::move(sink)), path_(std::move(path)) {
    buffer_.reserve(kBufferSize);
}

OutputFile::~OutputFile() { CloseQuietly(); }

// Lines gather here and reach the system in large pieces.
void OutputFile::Write(std::string_view bytes) {
    if (!sink_) return;
    if (buffer_.size() + bytes.size() > kBufferSize && !Drain()) {
        throw FileError(FileError::Kind::Write, path_, sink_->Error());
    }
    if (bytes.size() >= kBufferSize) {
        if (!sink_->Write(bytes.data(), bytes.size())) {
            throw FileError(FileError::Kind::Write, path_, sink_->Error());
        }
        return;
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

void OutputFile::WriteLine(std::string_view text) {
    Write(text);
    Write("\r\n");
}

bool OutputFile::Drain() {
    if (buffer_.empty()) return true;
    const bool written = sink_->Write(buffer_.data(), buffer_.size());
    buffer_.clear();
    return written;
}

void OutputFile::Close() {
    if (!sink_) return;
    const bool drained = Drain();
    std::unique_ptr<ByteSink> sink = std::move(sink_);
    // A write may only fail for real at close (a full disk on some systems).
    const bool closed = sink->Close();
    if (!drained || !closed) throw FileError(FileError::Kind::Write, path_, sink->Error());
}

void OutputFile::CloseQuietly() noexcept {
    if (!sink_) return;
    Drain();
    sink_->Close();
    sink_.reset();
}

OutputFile& FileTable::Create(OutputFolder& folder, const std::string& name) {
    auto file = std::make_unique<OutputFile>(folder.Create(name), folder.PathOf(name));
    open_.push_back(std::move(file));
    return *open_.back();
}

void FileTable::Close(OutputFile* file) {
    for (auto it = open_.begin(); it != open_.end(); ++it) {
        if (it->get() != file) continue;
        std::unique_ptr<OutputFile> closing = std::move(*it);
        open_.erase(it);
        closing->Close();
        return;
    }
}

void FileTable::CloseAll() noexcept {
    for (auto& file : open_) file->CloseQuietly();
    open_.clear();
}

}  // namespace pamiro
