#pragma once

#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/Folders.h"

namespace pamiro {

// Buffered text output to one file; every failure throws FileError of kind
// Write naming the file.
class OutputFile {
  public:
    OutputFile(std::unique_ptr<ByteSink> sink, std::string path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Writes text followed by CR LF.
    void WriteLine(std::string_view text);
    // Writes bytes as they are.
    void Write(std::string_view bytes);
    // Flushes and closes; throws when anything written was lost.
    void Close();
    // Closes without reporting, for interruptions and after another error.
    // What was written so far stays.
    void CloseQuietly() noexcept;
    const std::string& Path() const { return path_; }

  private:
    bool Drain();
    std::unique_ptr<ByteSink> sink_;
    std::string path_;
    std::vector<char> buffer_;
};

// The run's open output files, so that every one of them can be closed at
// once when the run is interrupted or fails.
class FileTable {
  public:
    FileTable() = default;
    ~FileTable() { CloseAll(); }
    FileTable(const FileTable&) = delete;
    FileTable& operator=(const FileTable&) = delete;

    // Creates (or empties) name in folder; throws FileError when it cannot.
    OutputFile& Create(OutputFolder& folder, const std::string& name);
    // Closes one file; its lost data throws FileError. Null does nothing.
    void Close(OutputFile* file);
    // Closes every open file without reporting.
    void CloseAll() noexcept;
    int OpenCount() const { return static_cast<int>(open_.size()); }

  private:
    std::list<std::unique_ptr<OutputFile>> open_;
};

}  // namespace pamiro
