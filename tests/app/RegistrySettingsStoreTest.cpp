// Windows only: the settings store in the registry, under a key of its own
// so that the user's settings are never touched.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/RegistrySettingsStore.h"
#include "core/NativeFile.h"
#include "core/NativeSystem.h"

namespace pamiro::testing {
namespace {

constexpr const char* kApplication = "PamiroRegistryTest";

class RegistryStore : public ::testing::Test {
  protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean() {
        std::string error;
        UserRegistry registry(kApplication);
        ASSERT_TRUE(registry.DeleteSection("Parametros", error)) << error;
        ASSERT_TRUE(registry.DeleteSection("Version", error)) << error;
    }
};

TEST_F(RegistryStore, WritesReachTheRegistryAtCommitAndReadsSeeThemAtOnce) {
    RegistrySettingsStore store(kApplication);
    EXPECT_EQ(store.Location(), "HKEY_CURRENT_USER\\Software\\PamiroRegistryTest");
    store.Write("Parametros", "SRCDIR", "C:\\Datos \xE1rbol");  // a-acute in code page 1252
    store.Write("Version", "620", "6.2 / 6.2.1 / 6.3");
    store.Write("Version", "411", "4.1.1");
    store.Write("parametros", "srcdir", "C:\\Otra");  // names match in any case
    EXPECT_EQ(store.Read("Parametros", "SRCDIR", "-"), "C:\\Otra");
    EXPECT_EQ(RegistrySettingsStore(kApplication).Read("Parametros", "SRCDIR", "-"), "-");

    ASSERT_TRUE(store.Commit()) << store.Error();
    const RegistrySettingsStore again(kApplication);
    EXPECT_EQ(again.Read("PARAMETROS", "SrcDir", "-"), "C:\\Otra");
    EXPECT_EQ(again.Read("Parametros", "PLTFRM", "0"), "0");
    // The registry's order, which Wine keeps by name.
    const KeyValuePairs versions{{"411", "4.1.1"}, {"620", "6.2 / 6.2.1 / 6.3"}};
    EXPECT_EQ(again.ReadSection("Version"), versions);
}

TEST_F(RegistryStore, DeletingASectionTakesEverythingUnderItAndLeavesTheOthers) {
    RegistrySettingsStore store(kApplication);
    store.Write("Parametros", "Revision", "302");
    store.Write("Version", "620", "6.2 / 6.2.1 / 6.3");
    ASSERT_TRUE(store.Commit()) << store.Error();
    std::string error;
    UserRegistry registry(kApplication);
    ASSERT_TRUE(registry.Write("Parametros\\Hijo", "x", "y", error)) << error;

    store.DeleteSection("Parametros");
    store.Write("Parametros", "Last_IA", "620");
    EXPECT_EQ(store.Read("Parametros", "Revision", "NOREG"), "NOREG");
    EXPECT_EQ(store.ReadSection("Parametros"), (KeyValuePairs{{"Last_IA", "620"}}));
    ASSERT_TRUE(store.Commit()) << store.Error();

    EXPECT_EQ(registry.Read("Parametros\\Hijo", "x", "gone"), "gone");
    EXPECT_EQ(registry.ReadSection("Parametros"),
              (std::vector<std::pair<std::string, std::string>>{{"Last_IA", "620"}}));
    EXPECT_EQ(registry.Read("Version", "620", "-"), "6.2 / 6.2.1 / 6.3");
    EXPECT_TRUE(registry.DeleteSection("Nunca", error)) << "a missing section is no fault";
}

TEST(SystemFolder, IsTheWindowsFolder) {
    wchar_t folder[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryW(folder, MAX_PATH), 0u);
    EXPECT_EQ(NativePath(SystemFolder()), std::filesystem::path(folder));
}

}  // namespace
}  // namespace pamiro::testing
