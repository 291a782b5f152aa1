#include "ReferenceLookup.h"

#include <cstdio>
#include <cstring>

#include "run/ConversionJob.h"
#include "run/Host.h"

namespace pamiro {

namespace {

struct Layout {
    std::size_t recordSize, keyOffset, keyWidth, detailOffset, detailWidth;
};
// Short records (32 bytes) for PW (Intel) and any unknown platform, long
// records (44 bytes) for AW51 and AW70.
constexpr Layout kShort{32, 4, 12, 16, 16};
constexpr Layout kLong{44, 4, 16, 20, 24};

// The text before the first NUL of a field (the whole field without one),
// without leading and trailing blanks.
std::string FieldText(const char* field, std::size_t width) {
    const void* nul = std::memchr(field, '\0', width);
    std::size_t end = nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - field)
                                     : width;
    std::size_t begin = 0;
    while (begin < end && field[begin] == ' ') ++begin;
    while (end > begin && field[end - 1] == ' ') --end;
    return std::string(field + begin, end - begin);
}

}  // namespace

int ReferenceLookUpBlockType(ConversionJob& job, Host& host, const std::string& typeName) {
    const Layout& layout = (job.PlatformIndex == 1 || job.PlatformIndex == 2) ? kLong : kShort;
    job.ParameterCount = 0;
    job.ParameterNames.clear();
    bool inList = false;

    std::FILE* file = std::fopen(job.DataFilePath.c_str(), "rb");
    if (file == nullptr) return -2;
    char record[64];
    // Whole records only: a partial last record is no record.
    while (std::fread(record, layout.recordSize, 1, file) == 1) {
        host.ProcessPendingEvents();
        if (std::memcmp(record + layout.keyOffset, "NAME", 4) == 0) {
            inList = FieldText(record + layout.detailOffset, layout.detailWidth) == typeName;
            if (inList) {
                job.ParameterCount = 0;
                job.ParameterNames.clear();
            }
        }
        if (inList) {
            job.ParameterNames.push_back(FieldText(record + layout.keyOffset, layout.keyWidth));
            job.ParameterCount += 1;
        }
    }
    std::fclose(file);
    return job.ParameterCount != 0 ? 0 : -2;
}

}  // namespace pamiro
