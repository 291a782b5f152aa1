#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pamiro {

// A destination file that could not be created, written or closed. The run
// stops, reports the file and still restores the window.
class DestinationWriteError : public std::runtime_error {
public:
    explicit DestinationWriteError(std::string path)
        : std::runtime_error("cannot write " + path), path_(std::move(path)) {}
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Binary source file read at positions; bytes past the end read as 0.
class InputFile {
public:
    InputFile(std::FILE* file, std::string path, std::uint64_t length);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Reads size bytes at the current position into out (zero filled past the
    // end) and advances the position by size.
    void Read(char* out, std::size_t size);
    // The same at a given position; the position ends after the bytes read.
    void ReadAt(std::uint64_t offset, char* out, std::size_t size);
    std::uint64_t Position() const { return position_; }
    void Seek(std::uint64_t position) { position_ = position; }
    std::uint64_t Length() const { return length_; }
    // True once a read has come up short: the end is only seen after it.
    bool AtEnd() const { return readPastEnd_; }
    const std::string& Path() const { return path_; }

private:
    std::FILE* file_;
    std::string path_;
    std::uint64_t length_;
    std::size_t Fetch(char* out, std::size_t wanted);
    std::uint64_t position_ = 0;
    std::vector<char> window_;  // bytes of the file from windowStart_ on
    std::uint64_t windowStart_ = 0;
    bool readPastEnd_ = false;
};

// Buffered text output; every failure surfaces as DestinationWriteError. A
// null file discards everything written.
class OutputFile {
public:
    OutputFile(std::FILE* file, std::string path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Writes text followed by CR LF.
    void WriteLine(std::string_view text);
    // Flushes and closes; throws when anything written was lost.
    void Close();
    // Closes without reporting, for interruptions and after another error.
    void CloseQuietly() noexcept;
    const std::string& Path() const { return path_; }

private:
    void Put(std::string_view bytes);
    // Hands the gathered lines to stdio; false when they could not be written.
    bool Drain();
    std::FILE* file_;
    std::string path_;
    std::vector<char> buffer_;
};

// The run's open files under small handle numbers, as the readers and writers
// pass them around. Handle 0 means "no file".
class FileTable {
public:
    FileTable();
    ~FileTable();
    FileTable(const FileTable&) = delete;
    FileTable& operator=(const FileTable&) = delete;

    // Returns 0 when the file cannot be opened.
    int OpenInput(const std::string& path);
    // Creates or truncates; throws DestinationWriteError on failure. While
    // output is discarded, nothing is created and every line goes nowhere.
    int CreateOutput(const std::string& path);
    void DiscardOutput(bool discard) { discardOutput_ = discard; }
    InputFile& Input(int handle);
    OutputFile& Output(int handle);
    bool IsOpen(int handle) const;
    // Closes one file; an output file's lost data throws DestinationWriteError.
    void Close(int handle);
    // Closes every open file without reporting (interruption, failed run).
    void CloseAll() noexcept;
    int OpenCount() const;

private:
    struct Slot {
        std::unique_ptr<InputFile> input;
        std::unique_ptr<OutputFile> output;
    };
    int FreeHandle();
    std::vector<Slot> slots_;
    bool discardOutput_ = false;
};

}  // namespace pamiro
