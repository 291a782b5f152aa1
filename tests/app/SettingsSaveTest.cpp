// What a save does to the store already there, and how it says it failed.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "app/IniFile.h"
#include "app/SystemErrorText.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

fs::perms Mode(const fs::path& path) { return fs::status(path).permissions() & fs::perms::mask; }

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

IniDocument NewStore() { return IniDocument::Parse("[Parametros]\nPLTFRM=2\n"); }

TEST(SettingsSave, FailureLeavesTheStoreAndNamesItWithASpanishReason) {
    const std::string kept = "[Parametros]\nPLTFRM=0\n";
    const std::vector<std::tuple<std::string, std::function<void(const fs::path&)>, std::string>>
        cases{{"read-only store",
               [&](const fs::path& file) {
                   fs::create_directories(file.parent_path());
                   WriteFile(file, kept);
                   fs::permissions(file, fs::perms::owner_read | fs::perms::group_read |
                                             fs::perms::others_read);
               },
               "Permiso denegado"},
              {"a file where the folder should be",
               [](const fs::path& file) { WriteFile(file.parent_path(), "x"); },
               "No es una carpeta"}};
    for (const auto& [what, prepare, reason] : cases) {
        SCOPED_TRACE(what);
        TempDir temp;
        const fs::path file = temp.Path() / "cfg" / "Pamiro.ini";
        prepare(file);
        const std::set<std::string> before = Names(temp.Path());
        std::string error;
        EXPECT_FALSE(SaveIniFileAtomically(file, NewStore(), error));
        EXPECT_EQ(error, file.string() + ": " + reason);
        EXPECT_EQ(Names(temp.Path()), before);
        if (fs::is_directory(file.parent_path())) {
            EXPECT_EQ(Names(file.parent_path()), std::set<std::string>{"Pamiro.ini"});
            EXPECT_EQ(ReadFile(file), kept);
            EXPECT_EQ(Mode(file), fs::perms(0444));
        }
    }
    EXPECT_EQ(SpanishErrorText(99999), "Error del sistema 99999");
}

TEST(SettingsSave, KeepsTheModeAndRemovesOnlyStaleTemporariesOfTheStore) {
    TempDir temp;
    const fs::path file = temp.Path() / "Pamiro.ini";
    WriteFile(file, "[Parametros]\nPLTFRM=0\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const char* name :
         {"Pamiro.ini.tmp-123", "Pamiro.ini.tmp-12a", "Otro.ini.tmp-1", "Pamiro.ini.tmp-456"}) {
        WriteFile(temp.Path() / name, "left by a crash");
        if (name != std::string("Pamiro.ini.tmp-456"))
            fs::last_write_time(temp.Path() / name, hourAgo);
    }
    std::string error;
    ASSERT_TRUE(SaveIniFileAtomically(file, NewStore(), error)) << error;
    EXPECT_EQ(ReadFile(file), NewStore().Serialise());
    EXPECT_EQ(Mode(file), fs::perms::owner_read | fs::perms::owner_write);
    // A fresh one may belong to a save of another instance still running.
    EXPECT_EQ(Names(temp.Path()), (std::set<std::string>{"Pamiro.ini", "Pamiro.ini.tmp-12a",
                                                         "Otro.ini.tmp-1", "Pamiro.ini.tmp-456"}));
}

}  // namespace
}  // namespace pamiro::testing
