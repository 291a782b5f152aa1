#include "core/Choices.h"

namespace pamiro {

namespace {
constexpr PlatformTraits kTraits[] = {
    {"PW (Intel)", "pw", EntryForm::Short, ByteOrder::Little, kShortDataLayout, "ver20_"},
    {"AW51", "aw51", EntryForm::Long, ByteOrder::Big, kLongDataLayout, "ver51_"},
    {"AW70", "aw70", EntryForm::Long, ByteOrder::Little, kLongDataLayout, "ver51_"},
};

template <typename Enum>
std::optional<Enum> FromIndex(int index, int count) {
    if (index < 0 || index >= count) return std::nullopt;
    return static_cast<Enum>(index);
}
}  // namespace

std::optional<Platform> PlatformFromIndex(int index) { return FromIndex<Platform>(index, 3); }
std::optional<SourceKind> SourceKindFromIndex(int index) { return FromIndex<SourceKind>(index, 2); }
std::optional<DestinationKind> DestinationKindFromIndex(int index) {
    return FromIndex<DestinationKind>(index, 2);
}
int IndexOf(Platform platform) { return static_cast<int>(platform); }
int IndexOf(SourceKind kind) { return static_cast<int>(kind); }
int IndexOf(DestinationKind kind) { return static_cast<int>(kind); }

const PlatformTraits& TraitsOf(Platform platform) { return kTraits[IndexOf(platform)]; }

}  // namespace pamiro
