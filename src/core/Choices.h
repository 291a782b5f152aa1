#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace pamiro {

// The three choices a conversion is made of. Their order is the order of the
// window's lists, so a list's selection index converts directly.
enum class Platform { Pw, Aw51, Aw70 };
enum class SourceKind { WorkingFile, SaveAll };
enum class DestinationKind { FoxCae, Icc };

std::optional<Platform> PlatformFromIndex(int index);
std::optional<SourceKind> SourceKindFromIndex(int index);
std::optional<DestinationKind> DestinationKindFromIndex(int index);
int IndexOf(Platform platform);
int IndexOf(SourceKind kind);
int IndexOf(DestinationKind kind);

// Record layout of a parameter data file:
//            short (32 bytes)   long (44 bytes)
//   Prefix   0, 4               0, 4     not interpreted
//   Key      4, 12              4, 16    "NAME..." in a type header, else a list name
//   Detail   16, 16             20, 24   type name in a header, else not interpreted
struct DataFileLayout {
    std::size_t RecordSize;
    std::size_t PrefixOffset, PrefixWidth;
    std::size_t KeyOffset, KeyWidth;
    std::size_t DetailOffset, DetailWidth;
};
inline constexpr DataFileLayout kShortDataLayout{32, 0, 4, 4, 12, 16, 16};
inline constexpr DataFileLayout kLongDataLayout{44, 0, 4, 4, 16, 20, 24};

enum class EntryForm { Short, Long };  // index entries of 34 or 48 bytes
enum class ByteOrder { Little, Big };

// Everything that depends on the platform, in one table.
struct PlatformTraits {
    std::string_view Label;      // as the window lists it
    std::string_view ShortName;  // as the command line takes it
    EntryForm IndexEntries;      // of ".O" files ("parameters" is always short)
    ByteOrder RecordOffsets;     // of long entries
    const DataFileLayout& DataLayout;
    std::string_view DataFilePrefix;  // "ver20_" or "ver51_"
};
const PlatformTraits& TraitsOf(Platform platform);

inline constexpr std::string_view kSourceKindLabels[] = {"Working File", "Save All"};
inline constexpr std::string_view kSourceKindShortNames[] = {"wf", "sa"};
inline constexpr std::string_view kDestinationKindLabels[] = {"FoxCAE Transfer", "ICC Api"};
inline constexpr std::string_view kDestinationKindShortNames[] = {"foxcae", "icc"};

// The I/A versions a new settings store offers: the code that names the data
// file (ver51_620.dat) and the label the window lists.
struct VersionChoice {
    std::string_view Code, Label;
};
inline constexpr VersionChoice kDefaultVersions[] = {{"411", "4.1.1 o anterior"},
                                                     {"423", "4.2.x"},
                                                     {"610", "6.1 / 4.3"},
                                                     {"611", "6.1.1"},
                                                     {"620", "6.2 / 6.2.1 / 6.3"}};

}  // namespace pamiro
