#include "core/FileTable.h"

#include <cstring>

namespace pamiro {

namespace {
constexpr std::size_t kOutputBufferSize = 64 * 1024;
constexpr std::size_t kInputWindowSize = 64 * 1024;
}

InputFile::InputFile(std::FILE* file, std::string path, std::uint64_t length)
    : file_(file), path_(std::move(path)), length_(length) {}

InputFile::~InputFile() { std::fclose(file_); }

void InputFile::Read(char* out, std::size_t size) {
    std::size_t got = 0;
    if (position_ < length_) {
        const std::uint64_t left = length_ - position_;
        got = Fetch(out, left < size ? static_cast<std::size_t>(left) : size);
    }
    if (got < size) {
        std::memset(out + got, 0, size - got);
        readPastEnd_ = true;
    }
    position_ += size;
}

// Records lie close together and are read at jumping offsets: a window of the
// file kept in memory serves most reads without a seek or a system call.
std::size_t InputFile::Fetch(char* out, std::size_t wanted) {
    const bool inWindow = position_ >= windowStart_ &&
                          position_ - windowStart_ + wanted <= window_.size();
    if (!inWindow) {
        if (fseeko(file_, static_cast<off_t>(position_), SEEK_SET) != 0) return 0;
        if (wanted > kInputWindowSize) return std::fread(out, 1, wanted, file_);
        window_.resize(kInputWindowSize);
        window_.resize(std::fread(window_.data(), 1, window_.size(), file_));
        windowStart_ = position_;
        if (wanted > window_.size()) wanted = window_.size();
    }
    std::memcpy(out, window_.data() + (position_ - windowStart_), wanted);
    return wanted;
}

void InputFile::ReadAt(std::uint64_t offset, char* out, std::size_t size) {
    position_ = offset;
    Read(out, size);
}

OutputFile::OutputFile(std::FILE* file, std::string path)
    : file_(file), path_(std::move(path)) {
    if (file_ != nullptr) buffer_.reserve(kOutputBufferSize);
}

OutputFile::~OutputFile() { CloseQuietly(); }

// Lines gather in the file's own buffer and reach stdio in large pieces.
void OutputFile::Put(std::string_view bytes) {
    if (bytes.empty() || file_ == nullptr) return;
    if (buffer_.size() + bytes.size() > kOutputBufferSize && !Drain()) {
        throw DestinationWriteError(path_);
    }
    if (bytes.size() >= kOutputBufferSize) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
            throw DestinationWriteError(path_);
        }
        return;
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

bool OutputFile::Drain() {
    if (buffer_.empty()) return true;
    const bool written = std::fwrite(buffer_.data(), 1, buffer_.size(), file_) == buffer_.size();
    buffer_.clear();
    return written;
}

void OutputFile::WriteLine(std::string_view text) {
    Put(text);
    Put("\r\n");
}

void OutputFile::Close() {
    if (file_ == nullptr) return;
    const bool drained = Drain();
    std::FILE* file = file_;
    file_ = nullptr;
    // A buffered write only fails for real at flush or close (a full disk).
    const bool flushed = drained && std::fflush(file) == 0 && std::ferror(file) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!flushed || !closed) throw DestinationWriteError(path_);
}

void OutputFile::CloseQuietly() noexcept {
    if (file_ == nullptr) return;
    // What was written before an interruption stays on disk.
    if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    buffer_.clear();
    std::fclose(file_);
    file_ = nullptr;
}

FileTable::FileTable() = default;
FileTable::~FileTable() { CloseAll(); }

int FileTable::FreeHandle() {
    for (std::size_t i = 1; i < slots_.size(); ++i) {
        if (!slots_[i].input && !slots_[i].output) return static_cast<int>(i);
    }
    if (slots_.empty()) slots_.resize(1);
    slots_.emplace_back();
    return static_cast<int>(slots_.size() - 1);
}

int FileTable::OpenInput(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return 0;
    std::uint64_t length = 0;
    if (fseeko(file, 0, SEEK_END) == 0) {
        const off_t end = ftello(file);
        if (end > 0) length = static_cast<std::uint64_t>(end);
    }
    std::rewind(file);
    const int handle = FreeHandle();
    slots_[handle].input = std::make_unique<InputFile>(file, path, length);
    return handle;
}

int FileTable::CreateOutput(const std::string& path) {
    std::FILE* file = nullptr;
    if (!discardOutput_) {
        file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) throw DestinationWriteError(path);
    }
    const int handle = FreeHandle();
    slots_[handle].output = std::make_unique<OutputFile>(file, path);
    return handle;
}

InputFile& FileTable::Input(int handle) {
    if (!IsOpen(handle) || !slots_[handle].input) throw std::logic_error("not an input handle");
    return *slots_[handle].input;
}

OutputFile& FileTable::Output(int handle) {
    if (!IsOpen(handle) || !slots_[handle].output) throw std::logic_error("not an output handle");
    return *slots_[handle].output;
}

bool FileTable::IsOpen(int handle) const {
    return handle > 0 && static_cast<std::size_t>(handle) < slots_.size() &&
           (slots_[handle].input || slots_[handle].output);
}

void FileTable::Close(int handle) {
    if (!IsOpen(handle)) return;
    Slot& slot = slots_[handle];
    slot.input.reset();
    if (slot.output) {
        std::unique_ptr<OutputFile> output = std::move(slot.output);
        output->Close();
    }
}

void FileTable::CloseAll() noexcept {
    for (Slot& slot : slots_) {
        slot.input.reset();
        if (slot.output) slot.output->CloseQuietly();
        slot.output.reset();
    }
}

int FileTable::OpenCount() const {
    int count = 0;
    for (const Slot& slot : slots_) count += (slot.input || slot.output) ? 1 : 0;
    return count;
}

}  // namespace pamiro
