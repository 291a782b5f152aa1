#include "output/ParameterDataFile.h"

#include <cstdio>
#include <memory>

#include "readers/IndexEntry.h"
#include "run/ConversionJob.h"
#include "core/Host.h"

namespace pamiro {

const DataFileLayout& DataLayoutForPlatform(int platformIndex) {
    return (platformIndex == kPlatformAw51 || platformIndex == kPlatformAw70) ? kLongDataLayout
                                                                              : kShortDataLayout;
}

DataRecord SplitDataRecord(std::string_view record, const DataFileLayout& layout) {
    return DataRecord{std::string(record.substr(layout.PrefixOffset, layout.PrefixWidth)),
                      std::string(record.substr(layout.KeyOffset, layout.KeyWidth)),
                      std::string(record.substr(layout.DetailOffset, layout.DetailWidth))};
}

bool IsTypeHeader(const DataRecord& record) { return record.Key.compare(0, 4, "NAME") == 0; }

void ParameterDataCache::Clear() {
    loaded_ = false;
    path_.clear();
    platform_ = -1;
    lists_.clear();
}

bool ParameterDataCache::IsLoaded(const std::string& path, int platformIndex) const {
    const bool wantLong = &DataLayoutForPlatform(platformIndex) == &kLongDataLayout;
    return loaded_ && path == path_ && wantLong == longLayout_;
}

void ParameterDataCache::Load(const std::string& path, int platformIndex) {
    if (IsLoaded(path, platformIndex)) return;
    Clear();
    loaded_ = true;
    path_ = path;
    platform_ = platformIndex;
    const DataFileLayout& layout = DataLayoutForPlatform(platformIndex);
    longLayout_ = &layout == &kLongDataLayout;

    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) return;
    std::vector<std::string>* current = nullptr;
    std::string record(layout.RecordSize, '\0');
    // A partial last record is not a record: fread of a whole record fails.
    while (std::fread(record.data(), layout.RecordSize, 1, file.get()) == 1) {
        DataRecord fields = SplitDataRecord(record, layout);
        if (IsTypeHeader(fields)) {
            // A later header of the same type starts its list afresh.
            current = &lists_[CutAtNul(fields.Detail)];
            current->clear();
        }
        if (current != nullptr) current->push_back(CutAtNul(fields.Key));
    }
}

const std::vector<std::string>* ParameterDataCache::Find(const std::string& typeName) const {
    auto it = lists_.find(typeName);
    return it == lists_.end() ? nullptr : &it->second;
}

int LookUpBlockType(ConversionJob& job, Host& host, const std::string& typeName) {
    job.ParameterCount = 0;
    host.ProcessPendingEvents();
    job.DataFile.Load(job.DataFilePath, job.PlatformIndex);
    const std::vector<std::string>* list = job.DataFile.Find(typeName);
    if (list == nullptr || list->empty()) {
        job.ParameterNames.clear();
        return -2;
    }
    job.ParameterNames.assign(list->begin(), list->end());
    job.ParameterCount = static_cast<long long>(list->size());
    return 0;
}

}  // namespace pamiro
