#pragma once

#include <stdexcept>
#include <string>

namespace pamiro {

// A file the run cannot do without failed: a destination file that could not
// be created, written or closed, or a source file that could not be read. The
// run stops, names the file and still restores the window.
class FileError : public std::runtime_error {
  public:
    enum class Kind { Read, Write };
    FileError(Kind kind, std::string path, int error)
        : std::runtime_error(path), kind_(kind), path_(std::move(path)), error_(error) {}
    Kind WhatFailed() const { return kind_; }
    const std::string& Path() const { return path_; }
    int ErrorNumber() const { return error_; }  // errno value; 0 when unknown

  private:
    Kind kind_;
    std::string path_;
    int error_;
};

// The reason of a failed file operation, in Spanish.
std::string ErrorText(int errorNumber);

}  // namespace pamiro
