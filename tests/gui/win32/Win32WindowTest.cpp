// The Win32 window itself, created for real (under Wine in CI, headless) and
// driven through its messages as a user's clicks would arrive. The settings
// live in the registry of the test's own Wine prefix.
//
// Environment: PAMIRO_SAMPLE_WF (the bundled Working File folder) and
// PAMIRO_REFERENCE_WF_FOXCAE (the Linux conversion of the sample), both as
// Windows paths; scripts/test-windows.sh sets them.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/InputChecks.h"
#include "app/ProgramFolder.h"
#include "app/RegistrySettingsStore.h"
#include "app/WindowModel.h"
#include "core/NativeFile.h"
#include "core/NativeSystem.h"
#include "gui/win32/MainWindow.h"
#include "gui/win32/MessageBoxes.h"
#include "gui/win32/Resource.h"
#include "gui/win32/Win32Text.h"

namespace pamiro::win32 {
namespace {

namespace fs = std::filesystem;

struct Shown {
    MessageIcon Icon;
    std::string Text;
    std::string Title;
};

WindowOptions Options() {
    WindowOptions options;
    options.ProgramDir = ProgramFolder();
    options.SystemFolder = SystemFolder();
    options.DocumentsFolder = DocumentsFolder();
    return options;
}

// One start of the program: the registry store, the window and its model.
struct Session {
    RegistrySettingsStore Store;
    MainWindow Window;
    WindowModel Model{Window, Store, Options()};

    Session() { EXPECT_TRUE(Window.Open(Model, SW_SHOWNORMAL)); }
    HWND Item(int id) const { return Window.Item(id); }
    std::wstring Caption(int id) const {
        wchar_t text[512] = {};
        GetWindowTextW(id == 0 ? Window.Handle() : Item(id), text, 512);
        return text;
    }
    void Command(int id, int code = 0) const {
        SendMessageW(Window.Handle(), WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(Item(id)));
    }
    // A choice in a list as the user makes it: the selection, then its notice.
    void Pick(int id, const std::wstring& text) const {
        const bool combo = id != IDC_DIRFUENTE && id != IDC_DIRDESTINO;
        const LRESULT index =
            SendMessageW(Item(id), combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT,
                         static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
        ASSERT_GE(index, 0) << Utf8(text);
        SendMessageW(Item(id), combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        Command(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE);
    }
    std::wstring Selected(int id) const {
        const LRESULT index = SendMessageW(Item(id), CB_GETCURSEL, 0, 0);
        if (index < 0) return {};
        wchar_t text[512] = {};
        SendMessageW(Item(id), CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text));
        return text;
    }
    void Click(int id) const { SendMessageW(Item(id), BM_CLICK, 0, 0); }
};

class Win32Window : public ::testing::Test {
  protected:
    void SetUp() override {
        // A first start on an empty store, as on a new machine.
        std::string error;
        UserRegistry registry("Pamiro");
        ASSERT_TRUE(registry.DeleteSection("Parametros", error)) << error;
        ASSERT_TRUE(registry.DeleteSection("Version", error)) << error;
        SetMessageHandler([this](HWND, const MessageRequest& request) {
            shown.push_back({request.Icon, request.Text, request.Title});
            if (onMessage) onMessage();
            if (answers.empty())
                return request.Buttons == MessageButtons::YesNo ? MessageAnswer::No
                                                                : MessageAnswer::Ok;
            const MessageAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    void TearDown() override { SetMessageHandler({}); }

    static std::string Env(const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr ? value : "";
    }
    // Settings of a second start: the folders the user saved.
    static void SaveFolders(const std::string& source, const std::string& destination) {
        RegistrySettingsStore store;
        store.Write("Parametros", "SRCDIR", source);
        store.Write("Parametros", "DSTDIR", destination);
        ASSERT_TRUE(store.Commit()) << store.Error();
    }

    std::vector<Shown> shown;
    std::deque<MessageAnswer> answers;
    std::function<void()> onMessage;
};

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST_F(Win32Window, ConvertsTheSampleExactlyAsLinuxDoes) {
    const std::string sample = Env("PAMIRO_SAMPLE_WF");
    const std::string reference = Env("PAMIRO_REFERENCE_WF_FOXCAE");
    ASSERT_FALSE(sample.empty() || reference.empty()) << "run by scripts/test-windows.sh";
    const fs::path out = fs::temp_directory_path() / "pamiro-window-out";
    fs::remove_all(out);
    fs::create_directories(out);
    { Session first; }
    SaveFolders(sample, PathBytes(out));

    Session session;
    EXPECT_EQ(session.Caption(0), L"Pamiro [\u00DF3]") << "the title";
    SetWindowTextW(session.Item(IDC_NOMBRECP), L"SMPL01");
    session.Pick(IDC_PLATAFORMA, L"AW51");
    session.Pick(IDC_VERSION, L"6.2 / 6.2.1 / 6.3");
    session.Pick(IDC_FUENTE, L"Working File");
    session.Pick(IDC_DESTINO, L"FoxCAE Transfer");
    session.Click(IDC_CMDEJECUTAR);

    // The sample holds one block of a type the data file lacks: a warning, as on Linux.
    for (const Shown& box : shown) {
        EXPECT_EQ(box.Icon, MessageIcon::Warning) << box.Title << ": " << box.Text;
    }
    std::size_t files = 0;
    for (const auto& entry : fs::directory_iterator(NativePath(reference))) {
        ++files;
        const fs::path made = out / entry.path().filename();
        EXPECT_TRUE(fs::exists(made)) << made;
        EXPECT_TRUE(Bytes(entry.path()) == Bytes(made)) << made;
    }
    EXPECT_GT(files, 2u);
    EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(out), {})), files);
    EXPECT_EQ(session.Caption(IDC_CMDEJECUTAR), L"Convertir") << "restored after the run";
    EXPECT_EQ(GetFocus(), session.Item(IDC_NOMBRECP)) << "ready for the next CP";
    EXPECT_TRUE(IsWindowEnabled(session.Item(IDC_NOMBRECP)));
}

TEST_F(Win32Window, ARefusedRequestShowsItsMessageAndRunsNothing) {
    const struct {
        const wchar_t* Name;
        const char* Text;
        const char* Title;
    } cases[] = {
        {L"", "No se a seleccionado un CP", "Nombre del CP"},
        {L"SMPL1", "Letterbug del CP incorrecto", "Nombre del CP"},
    };
    // A refused letterbug is followed by what a letterbug is.
    const std::string explained = std::string("\n") + kLetterbugExplained;
    Session session;
    for (const auto& refused : cases) {
        shown.clear();
        SetWindowTextW(session.Item(IDC_NOMBRECP), refused.Name);
        session.Click(IDC_CMDEJECUTAR);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].Icon, MessageIcon::Critical);
        const bool letterbug = std::string(refused.Text).find("Letterbug") == 0;
        EXPECT_EQ(shown[0].Text, refused.Text + (letterbug ? explained : std::string()));
        EXPECT_EQ(shown[0].Title, refused.Title);
    }
}

TEST_F(Win32Window, ConfigurationAnsweredYesIsWhatTheNextStartShows) {
    const std::string folder = PathBytes(fs::temp_directory_path());
    {
        Session session;
        session.Pick(IDC_PLATAFORMA, L"PW (Intel)");
        session.Pick(IDC_VERSION, L"4.1.1 o anterior");
        session.Pick(IDC_FUENTE, L"Save All");
        session.Pick(IDC_DESTINO, L"ICC Api");
        answers = {MessageAnswer::No};
        session.Command(IDM_CONFIGURACION);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].Icon, MessageIcon::Question);
        EXPECT_EQ(RegistrySettingsStore().Read("Parametros", "PLTFRM", "-"), "1") << "No keeps";
        answers = {MessageAnswer::Yes};
        session.Command(IDM_CONFIGURACION);
    }
    const RegistrySettingsStore saved;
    EXPECT_EQ(saved.Read("Parametros", "PLTFRM", "-"), "0");
    EXPECT_EQ(saved.Read("Parametros", "FUENTE", "-"), "1");
    EXPECT_EQ(saved.Read("Parametros", "DESTINO", "-"), "1");
    EXPECT_EQ(saved.Read("Parametros", "VERSION", "-"), "411");

    Session next;
    EXPECT_EQ(next.Selected(IDC_PLATAFORMA), L"PW (Intel)");
    EXPECT_EQ(next.Selected(IDC_VERSION), L"4.1.1 o anterior");
    EXPECT_EQ(next.Selected(IDC_FUENTE), L"Save All");
    EXPECT_EQ(next.Selected(IDC_DESTINO), L"ICC Api");
}

// Every file of a folder, hidden ones and the staging folder's too, with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        files[entry.path().lexically_relative(folder).generic_string()] =
            entry.is_directory() ? "<carpeta>" : Bytes(entry.path());
    }
    return files;
}

TEST_F(Win32Window, ACloseDuringARunIsAskedAndYesLeavesTheDestinationAsItWas) {
    const std::string sample = Env("PAMIRO_SAMPLE_WF");
    ASSERT_FALSE(sample.empty()) << "run by scripts/test-windows.sh";
    const fs::path out = fs::temp_directory_path() / "pamiro-window-close";
    for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        fs::remove_all(out);
        fs::create_directories(out);
        std::ofstream(out / "cmp_list", std::ios::binary) << "anterior\r\n";
        const auto before = Snapshot(out);
        { Session first; }
        SaveFolders(sample, PathBytes(out));
        Session session;
        SetWindowTextW(session.Item(IDC_NOMBRECP), L"SMPL01");
        shown.clear();
        answers = {answer};
        // Waiting when the run starts: the run's first look at the events finds it.
        PostMessageW(session.Window.Handle(), WM_CLOSE, 0, 0);
        session.Click(IDC_CMDEJECUTAR);
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown[0].Text, "Desea interrumpir la conversión?");
        EXPECT_EQ(shown[0].Title, "Terminar el programa");
        EXPECT_EQ(session.Window.Ended(), answer == MessageAnswer::Yes);
        // No lets the run finish; Yes leaves the destination byte for byte as it was.
        const auto after = Snapshot(out);
        EXPECT_EQ(after == before, answer == MessageAnswer::Yes) << after.size() << " files";
        EXPECT_EQ(after.size() > 2, answer == MessageAnswer::No);
        // The program ends once the click's handler has returned.
        session.Window.ProcessPendingEvents();
        MSG quit{};
        EXPECT_EQ(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE,
                  answer == MessageAnswer::Yes);
    }
}

TEST_F(Win32Window, EnterFocusAndTypedTextReachTheModel) {
    Session session;
    EXPECT_EQ(GetFocus(), session.Item(IDC_NOMBRECP)) << "the CP name at start";
    SetWindowTextW(session.Item(IDC_NOMBRECP), L"SMPL01");
    SetWindowTextW(session.Item(IDC_PLATAFORMA), L"AW5");  // typed, no entry
    // Enter in a field comes as the default button's command, the field keeping the focus.
    session.Command(IDC_CMDEJECUTAR, BN_CLICKED);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text, "No se a definido el tipo de equipo");
    EXPECT_EQ(GetFocus(), session.Item(IDC_NOMBRECP));
}

TEST_F(Win32Window, ADriveThatIsNotReadyIsReportedAndTheListGoesBack) {
    // scripts/test-windows.sh maps Q: to a folder that does not exist.
    Session session;
    session.Pick(IDC_DRVFUENTE, L"Q:\\");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Text, "Unidad no disponible");
    EXPECT_EQ(shown[0].Icon, MessageIcon::Warning);
    EXPECT_NE(session.Selected(IDC_DRVFUENTE), L"Q:\\");
    EXPECT_FALSE(session.Selected(IDC_DRVFUENTE).empty()) << "back on the program's drive";
}

TEST_F(Win32Window, ADoubleClickOpensAFolderAndTheAboutWindowIsSingle) {
    const fs::path top = fs::temp_directory_path() / "pamiro-window-folders";
    fs::create_directories(top / "Uno" / "Dos");
    { Session first; }
    SaveFolders(PathBytes(top), PathBytes(top));
    Session session;
    session.Pick(IDC_DIRFUENTE, L"Uno");
    session.Command(IDC_DIRFUENTE, LBN_DBLCLK);
    EXPECT_GE(SendMessageW(session.Item(IDC_DIRFUENTE), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(L"Dos")),
              0)
        << "the opened folder's subfolder is listed";
    // Enter on a folder list opens the highlighted folder.
    session.Pick(IDC_DIRFUENTE, L"Dos");
    SetFocus(session.Item(IDC_DIRFUENTE));
    session.Command(IDC_CMDEJECUTAR, BN_CLICKED);
    EXPECT_EQ(FolderName(session.Model.OpenFolderOf(Element::DirFuente)), "Dos");
    EXPECT_TRUE(shown.empty());

    session.Command(IDM_ACERCADE);
    session.Command(IDM_ACERCADE);
    const HWND about = FindWindowExW(nullptr, nullptr, L"#32770", L"Acerca de Pamiro");
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(IsWindowVisible(about));
    EXPECT_EQ(FindWindowExW(nullptr, about, L"#32770", L"Acerca de Pamiro"), nullptr) << "single";
}

}  // namespace
}  // namespace pamiro::win32

namespace {

// The window of the program running in another process, waited for.
HWND ProgramWindow() {
    for (int tries = 0; tries < 600; ++tries) {
        if (const HWND window = FindWindowW(nullptr, L"Pamiro [\u00DF3]")) return window;
        Sleep(100);
    }
    return nullptr;
}

}  // namespace

// Helpers for scripts/test-windows.sh and scripts/window-screenshot.sh, which
// start the program itself: --close-installed-window asks its window to
// close, as its close box would; --prepare-screenshot types the sample's CP
// name and prints the window's place on the screen (left top width height).
int main(int argc, char** argv) {
    const std::string_view mode = argc == 2 ? argv[1] : "";
    if (mode == "--close-installed-window" || mode == "--prepare-screenshot") {
        const HWND window = ProgramWindow();
        if (window == nullptr) return 1;
        if (mode == "--close-installed-window") return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
        SetDlgItemTextW(window, IDC_NOMBRECP, L"SMPL01");
        RECT place{};
        GetWindowRect(window, &place);
        std::printf("%ld %ld %ld %ld\n", place.left, place.top, place.right - place.left,
                    place.bottom - place.top);
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
