// The settings store: its text, the start-up rules and how a save replaces the file.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "app/IniFile.h"
#include "app/IniSettingsStore.h"
#include "app/SavedChoices.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

// The default folder under the test's system folder "/sys".
#ifdef _WIN32
#define PAMIRO_TEST_TMP "/sys\\Temp"
#else
#define PAMIRO_TEST_TMP "/sys/tmp"
#endif

constexpr const char* kInitialisedStore =
    "[Parametros]\nRevision=302\nLast_IA=620\nSRCDIR=" PAMIRO_TEST_TMP "\nDSTDIR=" PAMIRO_TEST_TMP
    "\nVERSION=620\n"
    "PLTFRM=1\nFUENTE=0\nDESTINO=0\n\n[Version]\n411=4.1.1 o anterior\n423=4.2.x\n"
    "610=6.1 / 4.3\n611=6.1.1\n620=6.2 / 6.2.1 / 6.3\n";

#ifndef _WIN32  // for the tests of POSIX file modes
std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

fs::perms Mode(const fs::path& path) { return fs::status(path).permissions() & fs::perms::mask; }
#endif

class Store : public ::testing::Test {
  protected:
    fs::path File() const { return temp.Path() / "cfg" / "Pamiro.ini"; }
    void Put(const std::string& text) {
        fs::create_directories(File().parent_path());
        WriteFile(File(), text);
    }
    std::string Stored() const { return ReadFile(File()); }
    StartChoices Load() {
        IniSettingsStore store(File());
        return LoadStartChoices(store, "/sys");
    }
    TempDir temp;
};

TEST(IniText, ValuesKeysAndOrderSurviveWritingAndEditingByHand) {
    const std::vector<std::string> values{"",          "C:\\Windows\\Temp", " leading blank",
                                          "trailing ", "\"quoted\"",        "line\nbreak",
                                          "cr\rtab\t", "a=b;c#d",           "\xE1\xF1\x7F",
                                          "\\x41",     "ends with \\",      "[x]",
                                          "\x01\x7F"};
    IniDocument document;
    for (std::size_t i = 0; i < values.size(); ++i)
        document.Set("S", std::to_string(9 - i), values[i]);
    document.Set("s", "8", "again");  // replaced in place, the section's case kept
    const std::string text = document.Serialise();
    const IniDocument back = IniDocument::Parse(text);
    EXPECT_EQ(back, document);
    // Only the line ends are control bytes: the store stays text.
    for (const unsigned char c : text) EXPECT_TRUE((c >= 0x20 && c != 0x7F) || c == '\n');
    EXPECT_EQ(back.Section("S").at(1), (std::pair<std::string, std::string>{"8", "again"}));

    const IniDocument edited = IniDocument::Parse(
        "stray=before any section\r\n; comment\r\n[parametros]\r\n  SRCDIR =  C:\\Temp  \r\n"
        "# comment\r\nno equals sign\r\nPLTFRM=1\r\npltfrm=2\r\n[ Version ]\r\n[no end\r\n"
        "630=\"6.3 nueva\"\r\n=no key\r\n631=\"\\q\\xg1\\x4g\\x4a\\x4\"\r\n632=\"\\\"\r\n"
        "633=\"open\r\n634=\"\r\n[a=b]\r\n");
    // A repeated key keeps its first place and its last value.
    EXPECT_EQ(edited.Section("PARAMETROS"),
              (KeyValuePairs{{"SRCDIR", "C:\\Temp"}, {"PLTFRM", "2"}}));
    // Unknown or cut escapes and unmatched quotes stay as written; "[a=b]" is a key.
    std::string versions;
    for (const auto& [key, value] : edited.Section("Version")) versions += key + "=" + value + ";";
    EXPECT_EQ(versions, "630=6.3 nueva;631=\\q\\xg1\\x4gJ\\x4;632=\\;633=\"open;634=\";[a=b];");
    EXPECT_FALSE(edited.Get("", "stray"));
}

TEST(SettingsRules, RevisionDecidesWhetherTheStoreIsInitialised) {
    const std::vector<std::tuple<std::string, bool, bool>> cases{
        {"NOREG", false, true},  {"noreg", false, true},  {"301", false, true},
        {"", false, true},       {"abc", false, true},    {"R302", false, true},
        {"-302", false, true},   {"  301x", false, true}, {"302", false, false},
        {"400", false, false},   {" 302 ", false, false}, {"302abc", false, false},
        {"3 02", false, false},  {"0302", false, false},  {"+302", false, false},
        {"\t302", false, false}, {"302", true, true},     {"400", true, true}};
    for (const auto& [revision, versionsEmpty, expected] : cases) {
        EXPECT_EQ(NeedsInitialisation(revision, versionsEmpty), expected)
            << '"' << revision << '"' << (versionsEmpty ? " without versions" : "");
    }
}

TEST(SettingsRules, StoredListIndexAcceptsOnlyAnIndexOfTheList) {
    const std::vector<std::pair<std::string, int>> cases{
        {"0", 0},    {"2", 2},         {" 1 ", 1}, {"3", -1},     {"-1", -1},
        {"", -1},    {"x", -1},        {"1x", -1}, {"1.0", -1},   {"+1", 1},
        {"0001", 1}, {"99999999", -1}, {"+", -1},  {"\t2\r\n", 2}};
    for (const auto& [text, index] : cases)
        EXPECT_EQ(StoredListIndex(text, 3), index) << '"' << text << '"';
}

TEST_F(Store, FirstStartAndStoresWithoutVersionsWriteEveryDefaultInOrder) {
    for (const char* before : {"", "[Parametros]\nRevision=302\nPLTFRM=2\nMINE=x\n\n[Version]\n"}) {
        if (*before != '\0') Put(before);
        const StartChoices choices = Load();
        EXPECT_TRUE(choices.Initialised);
        EXPECT_EQ(choices.StoreError, "");
        EXPECT_EQ(Stored(), kInitialisedStore);
        EXPECT_EQ(
            std::tuple(choices.VersionIndex, choices.PlatformIndex, choices.SourceIndex,
                       choices.DestinationIndex, choices.SourceFolder, choices.DestinationFolder),
            std::tuple(4, 1, 0, 0, std::string(PAMIRO_TEST_TMP), std::string(PAMIRO_TEST_TMP)));
    }
}

TEST_F(Store, OlderRevisionDropsParametrosButKeepsHandAddedVersions) {
    Put("[Parametros]\nRevision=301\nMINE=x\nPLTFRM=2\n\n[Version]\n"
        "411=old label\n630=6.3 nueva\n");
    const StartChoices choices = Load();
    const IniDocument stored = IniDocument::Parse(Stored());
    EXPECT_FALSE(stored.Get("Parametros", "MINE"));
    EXPECT_EQ(stored.Get("Parametros", "PLTFRM"), "1");
    EXPECT_EQ(stored.Get("Parametros", "Revision"), "302");
    ASSERT_EQ(choices.VersionTable.size(), 6u);
    EXPECT_EQ(choices.VersionTable[0],
              (std::pair<std::string, std::string>{"411", "4.1.1 o anterior"}));
    EXPECT_EQ(choices.VersionTable[1].first, "630");  // written before the other defaults
    EXPECT_EQ(choices.VersionIndex, 5);
}

TEST_F(Store, SaveWritesCodeAndIndexesAndKeepsWhatWasAddedMeanwhile) {
    Put("[Parametros]\nRevision=302\nVERSION=999\nFUENTE=1\n[Version]\n411=a\n423=b\n");
    IniSettingsStore store(File());
    const StartChoices loaded = LoadStartChoices(store, "/sys");
    EXPECT_EQ(loaded.VersionIndex, 0);  // no code matches: the first entry
    Put(Stored() + "630=added by hand\n");
    const std::string odd = " /carpeta con\nsalto ";
    ASSERT_TRUE(SaveAsDefaults(store, {odd, "/dst", 1, 2, 1, 0}, loaded.VersionTable));
    std::string written;  // KEY=VALUE; in the order kept
    for (const auto& [key, value] : IniDocument::Parse(Stored()).Section("Parametros"))
        written += key + "=" + value + ";";
    EXPECT_EQ(written, "Revision=302;VERSION=423;FUENTE=1;SRCDIR=" + odd +
                           ";DSTDIR=/dst;PLTFRM=2;DESTINO=0;");
    EXPECT_EQ(IniDocument::Parse(Stored()).Get("Version", "630"), "added by hand");
    // Nothing selected: the lists store -1, the version keeps its code.
    ASSERT_TRUE(SaveAsDefaults(store, {"/s", "/d", -1, -1, -1, -1}, loaded.VersionTable));
    EXPECT_EQ(IniDocument::Parse(Stored()).Get("Parametros", "VERSION"), "423");
    EXPECT_EQ(Load().PlatformIndex, -1);
}

TEST_F(Store, UnreadableStoreIsNeverReplaced) {
    fs::create_directories(File());  // a folder where the file should be
    IniSettingsStore store(File());
    EXPECT_FALSE(store.Readable());
    const StartChoices choices = LoadStartChoices(store, "/sys");
    EXPECT_NE(choices.StoreError, "");
    EXPECT_TRUE(fs::is_directory(File()));
    // The window still works from the defaults held in memory.
    EXPECT_EQ(choices.VersionTable.size(), 5u);
    EXPECT_EQ(choices.PlatformIndex, 1);
    // Too large to be a store: not read, so never replaced.
    fs::remove(File());
    Put(std::string(2 << 20, 'x'));
    EXPECT_EQ(IniSettingsStore(File()).Error(), File().string() + ": demasiado grande");
}

#ifndef _WIN32  // POSIX file modes
TEST(SettingsSave, FailureLeavesTheStoreAndNamesItWithASpanishReason) {
    const std::vector<std::tuple<std::string, std::function<void(const fs::path&)>, std::string>>
        cases{{"read-only store",
               [](const fs::path& file) {
                   fs::create_directories(file.parent_path());
                   WriteFile(file, "[Parametros]\nPLTFRM=0\n");
                   fs::permissions(file, fs::perms(0444));
               },
               "permiso denegado"},
              {"a file where the folder should be",
               [](const fs::path& file) { WriteFile(file.parent_path(), "x"); },
               "una parte de la ruta no es una carpeta"},
              {"a folder that is a link to nothing",
               [](const fs::path& file) {
                   fs::create_directory_symlink(file.parent_path().parent_path() / "gone",
                                                file.parent_path());
               },
               "no existe el archivo o la carpeta"}};
    for (const auto& [what, prepare, reason] : cases) {
        SCOPED_TRACE(what);
        TempDir temp;
        const fs::path file = temp.Path() / "cfg" / "Pamiro.ini";
        prepare(file);
        const std::set<std::string> before = Names(temp.Path());
        IniSettingsStore store(file);
        const StartChoices choices = LoadStartChoices(store, "/sys");  // initialises: a write
        EXPECT_EQ(choices.StoreError, file.string() + ": " + reason);
        EXPECT_FALSE(SaveAsDefaults(store, {"/s", "/d", 0, 0, 0, 0}, choices.VersionTable));
        EXPECT_EQ(store.Error(), file.string() + ": " + reason);
        EXPECT_EQ(Names(temp.Path()), before);
        if (fs::is_directory(file.parent_path())) {
            EXPECT_EQ(Names(file.parent_path()), std::set<std::string>{"Pamiro.ini"});
            EXPECT_EQ(ReadFile(file), "[Parametros]\nPLTFRM=0\n");
            EXPECT_EQ(Mode(file), fs::perms(0444));
        }
    }
}

TEST(SettingsSave, KeepsTheModeAndTheLinkAndRemovesOnlyStaleTemporariesOfTheStore) {
    TempDir temp;
    const fs::path file = temp.Path() / "Pamiro.ini";
    // A store that is a link stays one: the file it points at is replaced.
    WriteFile(temp.Path() / "real.ini", "[Parametros]\nPLTFRM=0\n");
    fs::create_symlink("real.ini", file);
    fs::permissions(file, fs::perms(0600));
    const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const char* name : {"real.ini.tmp-123", "real.ini.tmp-12a", "real.ini.tmp-1-2",
                             "Otro.ini.tmp-12345", "real.ini.tmp-456"}) {
        WriteFile(temp.Path() / name, "left by a crash");
        if (name != std::string("real.ini.tmp-456"))
            fs::last_write_time(temp.Path() / name, hourAgo);
    }
    fs::create_directory(temp.Path() / "real.ini.tmp-7");  // not a file: not ours
    fs::last_write_time(temp.Path() / "real.ini.tmp-7", hourAgo);
    const IniDocument document = IniDocument::Parse("[Parametros]\nPLTFRM=2\n");
    std::string error;
    ASSERT_TRUE(SaveIniFileAtomically(file, document, error)) << error;
    EXPECT_TRUE(ReadFile(file) == document.Serialise() && fs::is_symlink(file));
    EXPECT_EQ(Mode(file), fs::perms(0600));
    // A fresh one may belong to a save of another instance still running.
    EXPECT_EQ(
        Names(temp.Path()),
        (std::set<std::string>{"Pamiro.ini", "real.ini", "real.ini.tmp-12a", "real.ini.tmp-1-2",
                               "Otro.ini.tmp-12345", "real.ini.tmp-456", "real.ini.tmp-7"}));
}

#endif

#ifndef _WIN32  // the configuration folder of POSIX systems; Windows keeps settings elsewhere
TEST(SettingsFile, FollowsTheUsersConfigurationFolder) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string previous = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", "/cfg/home", 1);
    EXPECT_EQ(DefaultSettingsFile(), fs::path("/cfg/home/Pamiro/Pamiro.ini"));
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(DefaultSettingsFile().parent_path().parent_path().filename(), ".config");
    saved ? setenv("XDG_CONFIG_HOME", previous.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
}
#endif

}  // namespace
}  // namespace pamiro::testing
