#include "cli/CliHost.h"

#include <cstdio>
#include <string_view>

#include "core/Choices.h"
#include "core/Console.h"
#include "core/Text.h"
#include "run/ConversionJob.h"

namespace pamiro::cli {

CliHost::CliHost(bool showProgress) : showProgress_(showProgress) {}

CliHost::~CliHost() { ClearProgress(); }

void CliHost::ClearProgress() {
    if (!progressShown_) return;
    WriteErr("\r\x1b[K");
    progressShown_ = false;
}

void CliHost::SetStatus(int panel, std::string_view text) {
    if (panel == 1) compound_.assign(text);
    if (!showProgress_ || text == "Terminado") return;
    std::string line = compound_;
    if (panel == 2 && !text.empty()) line.append(":").append(text);
    if (line.size() > 70) line.resize(70);
    PrintErr("\r\x1b[K%s", line.c_str());
    FlushErr();
    progressShown_ = true;
}

void CliHost::ShowMessage(MessageIcon icon, std::string_view text, std::string_view title,
                          MessageKind kind) {
    ClearProgress();
    switch (icon) {
        case MessageIcon::Critical:
            ++critical_;
            criticalTitle_.assign(title);
            criticalText_.assign(text);
            break;
        case MessageIcon::Warning:
            ++warning_;
            break;
        case MessageIcon::Question:
            ++question_;
            break;
    }
    // Names inside the text are the source's bytes, written as they are.
    WriteErr(prefix_.c_str());
    const std::string_view first = text.substr(0, text.find('\n'));
    WriteErr(title);
    WriteErr(": ");
    WriteErr(first);
    WriteErr("\n");
    for (const std::string& note : NotesFor(text, kind)) {
        PrintErr("  %s\n", note.c_str());
    }
}

std::vector<std::string> CliHost::NotesFor(std::string_view text, MessageKind kind) const {
    std::vector<std::string> notes;
    if (!workingFileFolder_.empty() && kind == MessageKind::WorkingFileNotFound) {
        notes.push_back("Carpeta donde se buscó: " + workingFileFolder_);
    }
    // The text's further lines, then the hints, each indented below it.
    for (std::string& note : source_ ? NotesAfter(text, kind, *source_) : FurtherLines(text)) {
        notes.push_back(std::move(note));
    }
    return notes;
}

void CliHost::RestoreWindow() { ClearProgress(); }

int CliHost::Messages(MessageIcon icon) const {
    switch (icon) {
        case MessageIcon::Critical:
            return critical_;
        case MessageIcon::Warning:
            return warning_;
        case MessageIcon::Question:
            return question_;
    }
    return 0;
}

namespace {
// A choice of count entries named by its list label (any case), its index in
// the list or its short name (any case); -1 when none.
template <class Label, class ShortName>
int Pick(const std::string& text, int count, Label label, ShortName shortName) {
    for (int index = 0; index < count; ++index) {
        if (EqualIgnoringAsciiCase(text, label(index)) || text == std::to_string(index) ||
            EqualIgnoringAsciiCase(text, shortName(index))) {
            return index;
        }
    }
    return -1;
}
}  // namespace

int ParsePlatform(const std::string& text) {
    return Pick(
        text, 3, [](int i) { return TraitsOf(*PlatformFromIndex(i)).Label; },
        [](int i) { return TraitsOf(*PlatformFromIndex(i)).ShortName; });
}
int ParseSource(const std::string& text) {
    return Pick(
        text, 2, [](int i) { return kSourceKindLabels[i]; },
        [](int i) { return kSourceKindShortNames[i]; });
}
int ParseReadSource(const std::string& text) {
    if (const int source = ParseSource(text); source >= 0) return source;
    // The outputs read back go on after the two sources, by label or short
    // name only: their numbers are the destinations'.
    for (int i = 0; i < 2; ++i) {
        if (EqualIgnoringAsciiCase(text, kDestinationKindLabels[i]) ||
            EqualIgnoringAsciiCase(text, kDestinationKindShortNames[i])) {
            return 2 + i;
        }
    }
    return -1;
}
int ParseDestination(const std::string& text) {
    return Pick(
        text, 2, [](int i) { return kDestinationKindLabels[i]; },
        [](int i) { return kDestinationKindShortNames[i]; });
}

}  // namespace pamiro::cli
