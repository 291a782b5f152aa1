#include "readers/IndexEntry.h"

#include "run/ConversionJob.h"
#include "core/FileTable.h"
#include "core/Host.h"

namespace pamiro {

std::string TrimBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string CutAtNul(std::string_view text) {
    return TrimBlanks(text.substr(0, text.find('\0')));
}

namespace {
template <std::size_t N>
std::uint32_t Big(const std::array<unsigned char, N>& e, std::size_t at) {
    return (std::uint32_t{e[at]} << 24) | (std::uint32_t{e[at + 1]} << 16) |
           (std::uint32_t{e[at + 2]} << 8) | std::uint32_t{e[at + 3]};
}
template <std::size_t N>
std::uint32_t Little(const std::array<unsigned char, N>& e, std::size_t at) {
    return std::uint32_t{e[at]} | (std::uint32_t{e[at + 1]} << 8) |
           (std::uint32_t{e[at + 2]} << 16) | (std::uint32_t{e[at + 3]} << 24);
}
}  // namespace

std::uint32_t LongEntryOffsetBE(const LongIndexEntry& entry) { return Big(entry, 40); }
std::uint32_t LongEntryOffsetLE(const LongIndexEntry& entry) { return Little(entry, 40); }
std::uint32_t ShortEntryOffsetLE(const ShortIndexEntry& entry) { return Little(entry, 28); }

std::size_t IndexEntrySize(int platformIndex) {
    return (platformIndex == kPlatformAw51 || platformIndex == kPlatformAw70) ? kLongEntrySize
                                                                              : kShortEntrySize;
}

IndexEntryValue ReadIndexEntry(InputFile& file, int platformIndex) {
    if (IndexEntrySize(platformIndex) == kLongEntrySize) {
        LongIndexEntry entry{};
        file.Read(reinterpret_cast<char*>(entry.data()), entry.size());
        std::string_view name(reinterpret_cast<const char*>(entry.data()) + 10, 30);
        return {CutAtNul(name), platformIndex == kPlatformAw51 ? LongEntryOffsetBE(entry)
                                                               : LongEntryOffsetLE(entry)};
    }
    ShortIndexEntry entry{};
    file.Read(reinterpret_cast<char*>(entry.data()), entry.size());
    std::string_view name(reinterpret_cast<const char*>(entry.data()) + 6, 13);
    return {CutAtNul(name), ShortEntryOffsetLE(entry)};
}

void ReportInvalidOffsets(ConversionJob& job, Host& host, const std::string& indexPath,
                          long long count) {
    if (count == 0) return;
    job.Report.InvalidOffsets += count;
    job.Report.Warnings += 1;
    host.ShowMessage(MessageIcon::Warning,
                     indexPath + " - " + std::to_string(count) +
                         " entrada(s) con desplazamiento no valido (2^31 o mayor) omitida(s)",
                     "Pamiro - Indice");
}

}  // namespace pamiro
