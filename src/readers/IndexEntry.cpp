#include "readers/IndexEntry.h"

#include <array>

#include "core/Text.h"

namespace pamiro {

const EntryLayout& LayoutOf(EntryForm form) {
    return form == EntryForm::Long ? kLongEntry : kShortEntry;
}

IndexEntry ReadIndexEntry(ByteSource& file, std::uint64_t offset, EntryForm form, ByteOrder order) {
    const EntryLayout& layout = LayoutOf(form);
    std::array<char, kLongEntry.Size> bytes{};
    file.ReadAt(offset, bytes.data(), layout.Size);
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        const std::size_t at = order == ByteOrder::Big ? i : 3 - i;
        value = (value << 8) | static_cast<unsigned char>(bytes[layout.OffsetOffset + at]);
    }
    return {CutAtNul(std::string_view(bytes.data() + layout.NameOffset, layout.NameWidth)), value};
}

}  // namespace pamiro
