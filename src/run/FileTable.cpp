#include "run/FileTable.h"

#include <cstring>

namespace pamiro {

namespace {
constexpr std::size_t kOutputBufferSize = 64 * 1024;
}

InputFile::InputFile(std::FILE* file, std::string path, std::uint64_t length)
    : file_(file), path_(std::move(path)), length_(length) {}

InputFile::~InputFile() { std::fclose(file_); }

void InputFile::Read(char* out, std::size_t size) {
    std::size_t got = 0;
    if (position_ < length_) {
        // Sequential reads keep stdio's buffer; only a jump seeks.
        if (position_ != streamPosition_ &&
            fseeko(file_, static_cast<off_t>(position_), SEEK_SET) != 0) {
            streamPosition_ = UINT64_MAX;
        } else {
            got = std::fread(out, 1, size, file_);
            streamPosition_ = position_ + got;
        }
    }
    if (got < size) {
        std::memset(out + got, 0, size - got);
        readPastEnd_ = true;
    }
    position_ += size;
}

void InputFile::ReadAt(std::uint64_t offset, char* out, std::size_t size) {
    position_ = offset;
    Read(out, size);
}

OutputFile::OutputFile(std::FILE* file, std::string path)
    : file_(file), path_(std::move(path)) {
    if (file_ != nullptr) {
        buffer_.resize(kOutputBufferSize);
        std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
    }
}

OutputFile::~OutputFile() { CloseQuietly(); }

void OutputFile::Put(std::string_view bytes) {
    if (bytes.empty() || file_ == nullptr) return;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        throw DestinationWriteError(path_);
    }
}

void OutputFile::WriteLine(std::string_view text) {
    Put(text);
    Put("\r\n");
}

void OutputFile::Close() {
    if (file_ == nullptr) return;
    std::FILE* file = file_;
    file_ = nullptr;
    // A buffered write only fails for real at flush or close (a full disk).
    const bool flushed = std::fflush(file) == 0 && std::ferror(file) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!flushed || !closed) throw DestinationWriteError(path_);
}

void OutputFile::CloseQuietly() noexcept {
    if (file_ == nullptr) return;
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
