#include "output/ParameterDataFile.h"

#include "core/Text.h"

namespace pamiro {

DataRecord SplitDataRecord(std::string_view record, const DataFileLayout& layout) {
    return DataRecord{std::string(record.substr(layout.PrefixOffset, layout.PrefixWidth)),
                      std::string(record.substr(layout.KeyOffset, layout.KeyWidth)),
                      std::string(record.substr(layout.DetailOffset, layout.DetailWidth))};
}

bool IsTypeHeader(const DataRecord& record) { return record.Key.compare(0, 4, "NAME") == 0; }

void ParameterLookup::Load() {
    loaded_ = true;
    const auto file = folder_.Open(file_);
    if (!file) return;
    if (watcher_ != nullptr) watcher_->InputOpened(InputRole::DataFile, file->Name());
    const std::uint64_t records = file->Length() / layout_.RecordSize;
    ParameterNames* current = nullptr;
    std::string record(layout_.RecordSize, '\0');
    for (std::uint64_t i = 0; i < records; ++i) {
        file->ReadAt(i * layout_.RecordSize, record.data(), record.size());
        const DataRecord fields = SplitDataRecord(record, layout_);
        if (IsTypeHeader(fields)) {
            // A later header of the same type starts its list afresh.
            current = &lists_[CutAtNul(fields.Detail)];
            current->clear();
        }
        if (current != nullptr) current->push_back(CutAtNul(fields.Key));
    }
}

const ParameterNames* ParameterLookup::Find(const std::string& typeName) {
    if (!loaded_) Load();
    const auto it = lists_.find(typeName);
    return it == lists_.end() || it->second.empty() ? nullptr : &it->second;
}

}  // namespace pamiro
