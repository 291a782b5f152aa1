#include "ReferenceLookup.h"

#include <cstdio>
#include <cstring>

#include "core/Host.h"

namespace pamiro {

namespace {

struct Layout {
    std::size_t recordSize, prefixWidth, keyOffset, keyWidth, detailOffset, detailWidth;
};
// Short records (32 bytes) for PW (Intel) and any unknown platform, long
// records (44 bytes) for AW51 and AW70.
constexpr Layout kShort{32, 4, 4, 12, 16, 16};
constexpr Layout kLong{44, 4, 4, 16, 20, 24};

// One record as the algorithm reads it: three fixed-width text fields.
struct Record {
    std::string Prefix, Key, Detail;
};

// The text before the first NUL of a field (the whole field without one),
// without leading and trailing blanks.
std::string FieldText(const std::string& field) {
    std::size_t end = field.find('\0');
    if (end == std::string::npos) end = field.size();
    std::size_t begin = 0;
    while (begin < end && field[begin] == ' ') ++begin;
    while (end > begin && field[end - 1] == ' ') --end;
    return field.substr(begin, end - begin);
}

}  // namespace

const ParameterNames* ReferenceLookup::Find(const std::string& typeName) {
    const Layout& layout = platform_ == Platform::Pw ? kShort : kLong;
    names_.clear();
    bool inList = false;

    std::FILE* file = std::fopen(path_.c_str(), "rb");
    if (file == nullptr) return nullptr;
    char bytes[64];
    Record record;
    // Whole records only: a partial last record is no record.
    while (std::fread(bytes, layout.recordSize, 1, file) == 1) {
        host_.ProcessPendingEvents();
        record.Prefix.assign(bytes, layout.prefixWidth);
        record.Key.assign(bytes + layout.keyOffset, layout.keyWidth);
        record.Detail.assign(bytes + layout.detailOffset, layout.detailWidth);
        if (record.Key.compare(0, 4, "NAME") == 0) {
            inList = FieldText(record.Detail) == typeName;
            if (inList) names_.clear();
        }
        if (inList) names_.push_back(FieldText(record.Key));
    }
    std::fclose(file);
    return names_.empty() ? nullptr : &names_;
}

}  // namespace pamiro
