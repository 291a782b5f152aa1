#include "core/ByteSource.h"

#include <algorithm>
#include <cstring>

#include "core/FileError.h"
#include "core/NativeFile.h"

namespace pamiro {

namespace {
constexpr std::size_t kWindowSize = 64 * 1024;
}

void MemorySource::ReadAt(std::uint64_t offset, char* out, std::size_t size) {
    std::size_t got = 0;
    if (offset < bytes_.size()) {
        got = static_cast<std::size_t>(std::min<std::uint64_t>(size, bytes_.size() - offset));
        std::memcpy(out, bytes_.data() + offset, got);
    }
    std::memset(out + got, 0, size - got);
}

FileSource::FileSource(std::string path, std::unique_ptr<NativeFile> file)
    : ByteSource(std::move(path)), file_(std::move(file)), length_(file_->Length()) {}

FileSource::~FileSource() = default;

void FileSource::ReadAt(std::uint64_t offset, char* out, std::size_t size) {
    std::size_t got = 0;
    while (got < size && offset + got < length_) {
        const std::size_t n = Fetch(offset + got, out + got, size - got);
        if (n == 0) break;  // the file became shorter: the rest reads as past its end
        got += n;
    }
    std::memset(out + got, 0, size - got);
}

std::size_t FileSource::Fetch(std::uint64_t offset, char* out, std::size_t wanted) {
    Window* window = nullptr;
    for (Window& w : windows_) {
        if (offset >= w.Start && offset < w.Start + w.Size) window = &w;
    }
    if (window == nullptr) {
        if (wanted >= kWindowSize) {
            const long long got = file_->ReadAt(offset, out, wanted);
            if (got < 0) throw FileError(FileError::Kind::Read, Name(), file_->Error());
            return static_cast<std::size_t>(got);
        }
        window = windows_[0].LastUse <= windows_[1].LastUse ? &windows_[0] : &windows_[1];
        // No larger than the file: index files are small.
        const auto capacity =
            static_cast<std::size_t>(std::min<std::uint64_t>(kWindowSize, length_));
        if (!window->Bytes) window->Bytes = std::make_unique<char[]>(capacity);
        window->Size = 0;
        const long long got = file_->ReadAt(offset, window->Bytes.get(), capacity);
        if (got < 0) throw FileError(FileError::Kind::Read, Name(), file_->Error());
        window->Start = offset;
        window->Size = static_cast<std::size_t>(got);
        if (got == 0) return 0;
    }
    window->LastUse = ++uses_;
    const auto at = static_cast<std::size_t>(offset - window->Start);
    const std::size_t n = std::min(wanted, window->Size - at);
    std::memcpy(out, window->Bytes.get() + at, n);
    return n;
}

}  // namespace pamiro
