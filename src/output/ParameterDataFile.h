#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/Choices.h"
#include "core/Folders.h"
#include "core/SourceTree.h"

namespace pamiro {

// One record's three fields, as raw bytes of their full width.
struct DataRecord {
    std::string Prefix;
    std::string Key;
    std::string Detail;
};

DataRecord SplitDataRecord(std::string_view record, const DataFileLayout& layout);
// A type header is a record whose Key field starts with the bytes "NAME".
bool IsTypeHeader(const DataRecord& record);

// The parameter names of a block type in the data file's order; the first two
// name the record's name and type strings.
using ParameterNames = std::vector<std::string>;

// Finds a block type's parameter names; null when the type is unknown.
class TypeLookup {
  public:
    virtual ~TypeLookup() = default;
    virtual const ParameterNames* Find(const std::string& typeName) = 0;
};

// The parameter lists of one data file, read at the first lookup and indexed
// by type. Looking a type up here gives exactly what scanning the whole file
// for it gives: the last definition of a type wins, lists run to the next
// header, and a partial last record is no record. A file that cannot be
// opened makes every type unknown; a read error throws FileError.
class ParameterLookup : public TypeLookup {
  public:
    ParameterLookup(const InputFolder& folder, RelativePath file, const DataFileLayout& layout,
                    InputWatcher* watcher = nullptr)
        : folder_(folder), file_(std::move(file)), layout_(layout), watcher_(watcher) {}
    const ParameterNames* Find(const std::string& typeName) override;
    // Every type's list, by type.
    const std::unordered_map<std::string, ParameterNames>& Lists() {
        if (!loaded_) Load();
        return lists_;
    }

  private:
    void Load();
    const InputFolder& folder_;
    RelativePath file_;
    const DataFileLayout& layout_;
    InputWatcher* watcher_;
    bool loaded_ = false;
    std::unordered_map<std::string, ParameterNames> lists_;
};

}  // namespace pamiro
