#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace pamiro {

class NativeFile;

// Bytes a reader reads at chosen offsets: a file or a block of memory. Bytes
// past the end read as 0. A read error (other than the end) throws a
// FileError of kind Read naming the source.
class ByteSource {
  public:
    explicit ByteSource(std::string name) : name_(std::move(name)) {}
    virtual ~ByteSource() = default;
    virtual std::uint64_t Length() const = 0;
    // Fills out[0, size) with the bytes at offset, zeros past the end.
    virtual void ReadAt(std::uint64_t offset, char* out, std::size_t size) = 0;
    // The path (or name) messages show for it.
    const std::string& Name() const { return name_; }

  private:
    std::string name_;
};

class MemorySource : public ByteSource {
  public:
    MemorySource(std::string name, std::string bytes)
        : ByteSource(std::move(name)), bytes_(std::move(bytes)) {}
    std::uint64_t Length() const override { return bytes_.size(); }
    void ReadAt(std::uint64_t offset, char* out, std::size_t size) override;

  private:
    std::string bytes_;
};

// Records lie close together and are read at jumping offsets, often
// alternating between an index and the records it points at: two windows of
// the file kept in memory serve most reads without a system call. A file
// that shrinks while it is read reads as its new length.
class FileSource : public ByteSource {
  public:
    FileSource(std::string path, std::unique_ptr<NativeFile> file);
    ~FileSource() override;
    std::uint64_t Length() const override { return length_; }
    void ReadAt(std::uint64_t offset, char* out, std::size_t size) override;

  private:
    struct Window {
        std::unique_ptr<char[]> Bytes;
        std::uint64_t Start = 0;
        std::size_t Size = 0;  // bytes held
        std::uint64_t LastUse = 0;
    };
    std::size_t Fetch(std::uint64_t offset, char* out, std::size_t wanted);
    std::unique_ptr<NativeFile> file_;
    std::uint64_t length_;
    Window windows_[2];
    std::uint64_t uses_ = 0;
};

}  // namespace pamiro
