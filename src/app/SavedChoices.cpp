#include "app/SavedChoices.h"

#include "app/ProgramInfo.h"
#include "app/RequestCheck.h"
#include "core/NativeSystem.h"

namespace pamiro {

namespace {

constexpr std::string_view kParametros = "Parametros";
constexpr std::string_view kVersion = "Version";
constexpr std::string_view kNoRevision = "NOREG";
constexpr std::string_view kDefaultVersionCode = "620";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool InitialiseStore(SettingsStore& store, std::string_view storedRevision,
                     std::string_view systemFolder) {
    // "Version" is only overwritten key by key: versions added by hand stay.
    if (storedRevision != kNoRevision) store.DeleteSection(kParametros);
    store.Write(kParametros, "Revision", std::string(kProgramRevision));
    store.Write(kParametros, "Last_IA", std::string(kDefaultVersionCode));
    for (const auto& [code, label] : DefaultVersionTable()) store.Write(kVersion, code, label);
    const std::string folder = DefaultFolderUnder(systemFolder);
    store.Write(kParametros, "SRCDIR", folder);
    store.Write(kParametros, "DSTDIR", folder);
    store.Write(kParametros, "VERSION", std::string(kDefaultVersionCode));
    store.Write(kParametros, "PLTFRM", "1");
    store.Write(kParametros, "FUENTE", "0");
    store.Write(kParametros, "DESTINO", "0");
    return store.Commit();
}

}  // namespace

std::string DefaultFolderUnder(std::string_view systemFolder) {
    return TempFolderUnder(systemFolder);
}

double LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && IsBlank(text[i])) ++i;
    };
    skipBlanks();
    double sign = 1.0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-') sign = -1.0;
        ++i;
    }
    double value = 0.0;
    double scale = 0.0;  // 0 before the decimal point, then 0.1, 0.01...
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsBlank(c)) continue;  // blanks inside the number do not end it
        if (c == '.' && scale == 0.0) {
            scale = 0.1;
        } else if (c >= '0' && c <= '9') {
            if (scale == 0.0) {
                value = value * 10.0 + (c - '0');
            } else {
                value += (c - '0') * scale;
                scale /= 10.0;
            }
        } else {
            break;
        }
    }
    return sign * value;
}

int StoredListIndex(std::string_view text, int count) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.empty() || text.size() > 6) return -1;
    bool negative = false;
    if (text.front() == '-' || text.front() == '+') {
        negative = text.front() == '-';
        text.remove_prefix(1);
        if (text.empty()) return -1;
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    if (negative || value >= count) return -1;
    return value;
}

bool NeedsInitialisation(std::string_view storedRevision, bool versionSectionEmpty) {
    if (storedRevision == kNoRevision) return true;
    if (LeadingNumber(kProgramRevision) > LeadingNumber(storedRevision)) return true;
    // A current store without any offered version is unusable: start afresh.
    return versionSectionEmpty;
}

StartChoices LoadStartChoices(SettingsStore& store, std::string_view systemFolder) {
    StartChoices choices;
    const std::string storedRevision = store.Read(kParametros, "Revision", kNoRevision);
    if (NeedsInitialisation(storedRevision, store.ReadSection(kVersion).empty())) {
        if (!InitialiseStore(store, storedRevision, systemFolder))
            choices.StoreError = store.Error();
        choices.Initialised = true;
    }

    const std::string storedCode = store.Read(kParametros, "VERSION", kDefaultVersionCode);
    choices.VersionTable = store.ReadSection(kVersion);
    if (!choices.VersionTable.empty()) {
        // The first entry unless a code matches; were two equal, the last wins.
        choices.VersionIndex = 0;
        for (std::size_t row = 0; row < choices.VersionTable.size(); ++row) {
            if (choices.VersionTable[row].first == storedCode) {
                choices.VersionIndex = static_cast<int>(row);
            }
        }
    }
    choices.PlatformIndex =
        StoredListIndex(store.Read(kParametros, "PLTFRM", "0"), kPlatformEntries);
    choices.SourceIndex = StoredListIndex(store.Read(kParametros, "FUENTE", "0"), kSourceEntries);
    choices.DestinationIndex =
        StoredListIndex(store.Read(kParametros, "DESTINO", "0"), kDestinationEntries);
    choices.SourceFolder = store.Read(kParametros, "SRCDIR", FixedDefaultFolder());
    choices.DestinationFolder = store.Read(kParametros, "DSTDIR", FixedDefaultFolder());
    return choices;
}

bool SaveAsDefaults(SettingsStore& store, const CurrentChoices& choices,
                    const VersionRows& versionTable) {
    store.Write(kParametros, "SRCDIR", choices.SourceFolder);
    store.Write(kParametros, "DSTDIR", choices.DestinationFolder);
    if (choices.VersionIndex >= 0 &&
        static_cast<std::size_t>(choices.VersionIndex) < versionTable.size()) {
        store.Write(kParametros, "VERSION",
                    versionTable[static_cast<std::size_t>(choices.VersionIndex)].first);
    }
    store.Write(kParametros, "PLTFRM", std::to_string(choices.PlatformIndex));
    store.Write(kParametros, "FUENTE", std::to_string(choices.SourceIndex));
    store.Write(kParametros, "DESTINO", std::to_string(choices.DestinationIndex));
    return store.Commit();
}

}  // namespace pamiro
