#include <gtest/gtest.h>

#include "app/IniFile.h"
#include "app/RequestCheck.h"
#include "app/SettingsStore.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

constexpr const char* kInitialisedStore =
    "[Parametros]\n"
    "Revision=302\n"
    "Last_IA=620\n"
    "SRCDIR=/sys/tmp\n"
    "DSTDIR=/sys/tmp\n"
    "VERSION=620\n"
    "PLTFRM=1\n"
    "FUENTE=0\n"
    "DESTINO=0\n"
    "\n"
    "[Version]\n"
    "411=4.1.1 o anterior\n"
    "423=4.2.x\n"
    "610=6.1 / 4.3\n"
    "611=6.1.1\n"
    "620=6.2 / 6.2.1 / 6.3\n";

class Store : public ::testing::Test {
  protected:
    fs::path File() const { return temp.Path() / "cfg" / "Pamiro.ini"; }
    void Put(const std::string& text) {
        fs::create_directories(File().parent_path());
        WriteFile(File(), text);
    }
    std::string Stored() const { return ReadFile(File()); }
    StartChoices Load() {
        SettingsStore store(File());
        return LoadStartChoices(store, "/sys");
    }
    TempDir temp;
};

TEST(IniText, ValuesSurviveWriteAndReadBack) {
    const std::vector<std::string> values{
        "",           "plain",       "C:\\Windows\\Temp", " leading blank", "trailing blank ",
        "\"quoted\"", "line\nbreak", "cr\rtab\t",         "bell\x07",       "a=b;c#d",
        "\xE1\xF1",   "\"",          "\\x41 stays",       "ends with \\",   "[x]"};
    IniDocument document;
    for (std::size_t i = 0; i < values.size(); ++i) {
        document.Set("S", "K" + std::to_string(i), values[i]);
    }
    const IniDocument back = IniDocument::Parse(document.Serialise());
    for (std::size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(back.Get("S", "K" + std::to_string(i)), values[i]);
    }
    EXPECT_EQ(back, document);
}

TEST(IniText, ReadsAFileEditedByHand) {
    const IniDocument document = IniDocument::Parse(
        "stray=before any section\r\n"
        "; a comment\r\n"
        "[parametros]\r\n"
        "  SRCDIR =  C:\\Windows\\Temp  \r\n"
        "# another comment\r\n"
        "no equals sign here\r\n"
        "PLTFRM=1\r\n"
        "pltfrm=2\r\n"
        "[ Version ]\r\n"
        "630=\"6.3 nueva\"\r\n"
        "=no key\r\n");
    EXPECT_EQ(document.Get("Parametros", "SRCDIR"), "C:\\Windows\\Temp");
    // A repeated key keeps its first place and its last value.
    EXPECT_EQ(document.Section("PARAMETROS"),
              (KeyValuePairs{{"SRCDIR", "C:\\Windows\\Temp"}, {"PLTFRM", "2"}}));
    EXPECT_EQ(document.Section("Version"), (KeyValuePairs{{"630", "6.3 nueva"}}));
    EXPECT_FALSE(document.Get("", "stray"));
}

TEST(IniText, KeepsKeysInWrittenOrderAndRewritesInPlace) {
    IniDocument document;
    document.Set("Version", "630", "x");
    document.Set("Version", "411", "a");
    document.Set("Version", "630", "y");
    document.RemoveSection("Missing");
    EXPECT_EQ(document.Section("Version"), (KeyValuePairs{{"630", "y"}, {"411", "a"}}));
    document.RemoveSection("version");
    EXPECT_TRUE(document.Section("Version").empty());
}

TEST(SettingsRules, LeadingNumberReadsTheNumberAtTheStart) {
    const std::vector<std::pair<std::string, double>> cases{
        {"302", 302},    {"301", 301},  {"400", 400},  {"", 0},          {"abc", 0},
        {"  301x", 301}, {"3 02", 302}, {"-5", -5},    {"302.5", 302.5}, {"R302", 0},
        {"0302", 302},   {"+7", 7},     {"1.2.3", 1.2}};
    for (const auto& [text, value] : cases) {
        EXPECT_DOUBLE_EQ(LeadingNumber(text), value) << '"' << text << '"';
    }
}

TEST(SettingsRules, StoreIsInitialisedOnlyWhenMissingOlderOrWithoutVersions) {
    const std::vector<std::tuple<std::string, bool, bool>> cases{
        {"NOREG", false, true}, {"noreg", false, true},  {"301", false, true},
        {"", false, true},      {"abc", false, true},    {"302", false, false},
        {"400", false, false},  {" 302 ", false, false}, {"302abc", false, false},
        {"302", true, true},    {"400", true, true}};
    for (const auto& [revision, versionsEmpty, expected] : cases) {
        EXPECT_EQ(NeedsInitialisation(revision, versionsEmpty), expected)
            << '"' << revision << '"' << (versionsEmpty ? " without versions" : "");
    }
}

TEST(SettingsRules, StoredListIndexAcceptsOnlyAnIndexOfTheList) {
    const std::vector<std::pair<std::string, int>> cases{
        {"0", 0},  {"2", 2},   {" 1 ", 1},  {"3", -1}, {"-1", -1},  {"", -1},
        {"x", -1}, {"1x", -1}, {"1.0", -1}, {"+1", 1}, {"0001", 1}, {"99999999", -1}};
    for (const auto& [text, index] : cases) {
        EXPECT_EQ(StoredListIndex(text, 3), index) << '"' << text << '"';
    }
}

TEST_F(Store, FirstStartWritesEveryDefaultInOrderAndShowsThem) {
    const StartChoices choices = Load();
    EXPECT_TRUE(choices.Initialised);
    EXPECT_EQ(choices.StoreError, "");
    EXPECT_EQ(Stored(), kInitialisedStore);
    ASSERT_EQ(choices.VersionTable.size(), 5u);
    EXPECT_EQ(choices.VersionIndex, 4);
    EXPECT_EQ(choices.VersionTable[4].second, "6.2 / 6.2.1 / 6.3");
    EXPECT_EQ(choices.PlatformIndex, 1);
    EXPECT_EQ(choices.SourceIndex, 0);
    EXPECT_EQ(choices.DestinationIndex, 0);
    EXPECT_EQ(choices.SourceFolder, "/sys/tmp");
    EXPECT_EQ(choices.DestinationFolder, "/sys/tmp");
}

TEST_F(Store, OlderRevisionDropsParametrosButKeepsHandAddedVersions) {
    Put("[Parametros]\nRevision=301\nMINE=x\nPLTFRM=2\n\n[Version]\n411=old label\n630=6.3 "
        "nueva\n");
    const StartChoices choices = Load();
    EXPECT_TRUE(choices.Initialised);
    const IniDocument stored = IniDocument::Parse(Stored());
    EXPECT_FALSE(stored.Get("Parametros", "MINE"));
    EXPECT_EQ(stored.Get("Parametros", "PLTFRM"), "1");
    EXPECT_EQ(stored.Get("Parametros", "Revision"), "302");
    ASSERT_EQ(choices.VersionTable.size(), 6u);
    EXPECT_EQ(choices.VersionTable[0],
              (std::pair<std::string, std::string>{"411", "4.1.1 o anterior"}));
    EXPECT_EQ(choices.VersionTable[1].first, "630");  // written before the other defaults
    EXPECT_EQ(choices.VersionTable[5].first, "620");
    EXPECT_EQ(choices.VersionIndex, 5);
}

TEST_F(Store, CurrentStoreWithoutVersionsIsInitialisedAfresh) {
    Put("[Parametros]\nRevision=302\nPLTFRM=2\nMINE=x\n\n[Version]\n");
    const StartChoices choices = Load();
    EXPECT_TRUE(choices.Initialised);
    EXPECT_EQ(Stored(), kInitialisedStore);
    EXPECT_EQ(choices.PlatformIndex, 1);
}

TEST_F(Store, SaveAsDefaultsWritesTheCodeAndIndexesAndNothingElse) {
    Load();
    {
        // Added by hand while the program runs: a save must not lose it.
        IniDocument edited = IniDocument::Parse(Stored());
        edited.Set("Version", "630", "6.3");
        WriteFile(File(), edited.Serialise());
    }
    SettingsStore store(File());
    const StartChoices loaded = LoadStartChoices(store, "/sys");
    ASSERT_TRUE(SaveAsDefaults(store, {"/src/sub", "/dst", 1, 2, 1, 0}, loaded.VersionTable));
    IniDocument stored = IniDocument::Parse(Stored());
    EXPECT_EQ(stored.Section("Parametros"), (KeyValuePairs{{"Revision", "302"},
                                                           {"Last_IA", "620"},
                                                           {"SRCDIR", "/src/sub"},
                                                           {"DSTDIR", "/dst"},
                                                           {"VERSION", "423"},
                                                           {"PLTFRM", "2"},
                                                           {"FUENTE", "1"},
                                                           {"DESTINO", "0"}}));
    EXPECT_EQ(stored.Section("Version").size(), 6u);

    // Nothing selected: the lists store -1, the version keeps its code.
    ASSERT_TRUE(SaveAsDefaults(store, {"/s", "/d", -1, -1, -1, -1}, loaded.VersionTable));
    stored = IniDocument::Parse(Stored());
    EXPECT_EQ(stored.Get("Parametros", "VERSION"), "423");
    EXPECT_EQ(stored.Get("Parametros", "PLTFRM"), "-1");
    EXPECT_EQ(Load().PlatformIndex, -1);
}

TEST_F(Store, WritesLeaveNoTemporaryFilesAndKeepOddValuesIntact) {
    SettingsStore store(File());
    LoadStartChoices(store, "/sys");
    const std::string odd = " /carpeta con\nsalto ";
    ASSERT_TRUE(SaveAsDefaults(store, {odd, "/d", 0, 0, 0, 0}, DefaultVersionTable()));
    EXPECT_EQ(Load().SourceFolder, odd);
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(File().parent_path())) ++files;
    EXPECT_EQ(files, 1);
}

TEST_F(Store, UnreadableStoreIsNeverReplaced) {
    fs::create_directories(File());  // a folder where the file should be
    SettingsStore store(File());
    EXPECT_FALSE(store.Readable());
    const StartChoices choices = LoadStartChoices(store, "/sys");
    EXPECT_NE(choices.StoreError, "");
    EXPECT_TRUE(fs::is_directory(File()));
    // The window still works from the defaults held in memory.
    EXPECT_EQ(choices.VersionTable.size(), 5u);
    EXPECT_EQ(choices.PlatformIndex, 1);
}

TEST_F(Store, WriteFailureIsReported) {
    WriteFile(temp.Path() / "cfg", "a file, not a folder");
    SettingsStore store(File());
    const StartChoices choices = LoadStartChoices(store, "/sys");
    EXPECT_NE(choices.StoreError, "");
    EXPECT_FALSE(SaveAsDefaults(store, {"/s", "/d", 0, 0, 0, 0}, choices.VersionTable));
    EXPECT_NE(store.Error(), "");
}

#ifndef _WIN32  // the configuration folder of POSIX systems; Windows keeps settings elsewhere
TEST(SettingsFile, FollowsTheUsersConfigurationFolder) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string previous = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", "/cfg/home", 1);
    EXPECT_EQ(DefaultSettingsFile(), fs::path("/cfg/home/Pamiro/Pamiro.ini"));
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(DefaultSettingsFile().parent_path().parent_path().filename(), ".config");
    if (saved) {
        setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
}
#endif

}  // namespace
}  // namespace pamiro::testing
