#include "core/ByteSource.h"

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
    const bool inWindow = offset >= windowStart_ && offset < windowStart_ + window_.size();
    if (!inWindow) {
        if (wanted >= kWindowSize) {
            const long long got = file_->ReadAt(offset, out, wanted);
            if (got < 0) throw FileError(FileError::Kind::Read, Name(), file_->Error());
            return static_cast<std::size_t>(got);
        }
        window_.resize(kWindowSize);
        const long long got = file_->ReadAt(offset, window_.data(), window_.size());
        if (got < 0) {
            window_.clear();
            throw FileError(FileError::Kind::Read, Name(), file_->Error());
        }
        window_.resize(static_cast<std::size_t>(got));
        windowStart_ = offset;
        if (got == 0) return 0;
    }
    const std::size_t available = window_.size() - static_cast<std::size_t>(offset - windowStart_);
    const std::size_t n = std::min(wanted, available);
    std::memcpy(out, window_.data() + (offset - windowStart_), n);
    return n;
}

}  // namespace pamiro
