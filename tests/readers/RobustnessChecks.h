#pragma once

// What must hold after a run over any input, however damaged: the run ended
// with its end steps and without an engine fault, nothing outside the
// destination changed, and unless the run failed the destination holds whole
// files.

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "run/ConversionJob.h"
#include "support/Workspace.h"

namespace pamiro::testing {

// Every entry under folder: files with their bytes, links as their target
// (never followed), folders as a mark.
inline std::map<std::string, std::string> SnapshotTree(const fs::path& folder) {
    std::map<std::string, std::string> entries;
    if (!fs::exists(folder)) return entries;
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator();
         ++it) {
        const std::string key = fs::relative(it->path(), folder).string();
        const auto status = it->symlink_status();
        if (fs::is_symlink(status)) {
            entries[key] = "<link>" + fs::read_symlink(it->path()).string();
        } else if (fs::is_regular_file(status)) {
            entries[key] = ReadFile(it->path());
        } else {
            entries[key] = "<folder>";
        }
    }
    return entries;
}

inline bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

inline std::string Numbered(const std::string& prefix, long long n) {
    std::string digits = std::to_string(n);
    if (digits.size() < 4) digits.insert(0, 4 - digits.size(), '0');
    return prefix + digits;
}

// The end of a run that met damaged input: end steps taken, no file left
// open, no engine fault, and complete output unless the run failed.
inline void ExpectCleanEnd(const Workspace::Result& result, const fs::path& out, const std::string& cp) {
    const ConversionJob& job = *result.Job;
    ASSERT_TRUE(result.Started);
    EXPECT_EQ(result.Host.Panel1, "Terminado");
    EXPECT_EQ(result.Host.Restores, 1);
    EXPECT_TRUE(job.ConversionIdle);
    EXPECT_EQ(job.Files.OpenCount(), 0);
    for (const RecordedMessage& message : result.Host.Messages) {
        EXPECT_NE(message.Title + ": " + message.Text.substr(0, 13), "Pamiro: Error interno")
            << message.Text;
    }
    if (job.Report.Failed) return;
    if (job.DestinationKind == kDestinationFoxCae) {
        EXPECT_TRUE(fs::exists(out / "cmp_list"));
        EXPECT_TRUE(fs::exists(out / "src_list"));
        for (long long n = 1; n <= job.CompoundCount; ++n) {
            const std::string text = ReadFile(out / Numbered("cmp", n));
            EXPECT_NE(text.find("NAME     >END\r\n**** Revision Code "), std::string::npos) << n;
            EXPECT_TRUE(EndsWith(text, "\r\n")) << n;
        }
    } else {
        const std::string script = ReadFile(out / (cp + ".cmd"));
        EXPECT_EQ(script.rfind("OPEN " + cp + " ALL PAMIRO\r\n", 0), 0u);
        EXPECT_TRUE(EndsWith(script, "CLOSE " + cp + "\r\nEXIT\r\n"));
    }
}

// A folder beside the source and the destination that no run may touch, and
// the source tree, which a run only reads.
class UntouchedFolders {
public:
    explicit UntouchedFolders(const Workspace& ws) : ws_(ws) {
        WriteFile(ws.temp.Path() / "outside" / "x.s", "outside source\r\n");
        WriteFile(ws.temp.Path() / "outside" / "parameters", std::string(40, '\1'));
        WriteFile(ws.temp.Path() / "outside" / "outside.O", std::string(48, '\0'));
    }
    void Take() {
        outside_ = SnapshotTree(ws_.temp.Path() / "outside");
        source_ = SnapshotTree(ws_.Src());
        data_ = SnapshotTree(ws_.Data());
    }
    void ExpectUnchanged() const {
        EXPECT_EQ(SnapshotTree(ws_.temp.Path() / "outside"), outside_);
        EXPECT_EQ(SnapshotTree(ws_.Src()), source_);
        EXPECT_EQ(SnapshotTree(ws_.Data()), data_);
        std::set<std::string> top;
        for (const auto& entry : fs::directory_iterator(ws_.temp.Path())) {
            top.insert(entry.path().filename().string());
        }
        EXPECT_EQ(top, (std::set<std::string>{"data", "out", "outside", "src"}));
    }

private:
    const Workspace& ws_;
    std::map<std::string, std::string> outside_, source_, data_;
};

}  // namespace pamiro::testing
