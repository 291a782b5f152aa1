// The window model with a fake view: every rule of the main window without a
// toolkit. The Qt and Win32 views only test their own wiring.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <tuple>

#include "app/InputChecks.h"
#include "app/WindowModel.h"
#include "core/NativeFile.h"
#include "core/Text.h"
#include "support/MemorySettingsStore.h"
#include "support/RunCli.h"

namespace pamiro::testing {
namespace {

// The default folder under the test's system folder "sys".
#ifdef _WIN32
constexpr const char* kTmp = "sys/Temp";
#else
constexpr const char* kTmp = "sys/tmp";
#endif

const fs::path kSample = fs::path(PAMIRO_SOURCE_ROOT) / "samples" / "working-file";

std::string P(const fs::path& path) { return path.string(); }

// Records what the model shows and answers its questions with Answer.
struct FakeView : WindowView {
    std::map<Element, std::vector<ListEntry>> Lists;
    std::map<Element, int> Selected;
    std::map<Element, std::string> Texts;
    bool Enabled = true;
    std::vector<std::string> Shown;  // "ICON TITLE: TEXT", then what sets the box apart
    MessageAnswer Answer = MessageAnswer::No;
    std::function<void()> OnEvents;  // runs inside ProcessPendingEvents
    std::vector<AboutTexts> About;
    int Ended = 0;
    Element Focus = Element::Window;

    void SetEntries(Element list, const std::vector<ListEntry>& entries) override {
        Lists[list] = entries, Selected[list] = -1, Texts[list] = "";
    }
    // A combo box shows its selected entry in its text part.
    void SelectEntry(Element list, int index) override {
        Selected[list] = index;
        Texts[list] = index < 0 ? "" : Lists.at(list).at(std::size_t(index)).Text;
    }
    int SelectedEntry(Element list) const override {
        return Selected.count(list) ? Selected.at(list) : -1;
    }
    std::string Text(Element e) const override { return Texts.count(e) ? Texts.at(e) : ""; }
    void SetText(Element e, std::string_view text) override { Texts[e] = text; }
    void SetFocus(Element e) override { Focus = e; }
    void SetEnabled(bool enabled) override { Enabled = enabled; }
    MessageAnswer ShowMessage(const MessageRequest& r) override {
        const char* icons[] = {"Critical", "Warning", "Question"};
        Shown.push_back(icons[int(r.Icon)] + (" " + r.Title) + ": " + r.Text +
                        (r.Buttons == MessageButtons::YesNo ? " [Sí/No]" : "") +
                        (r.RightToLeft ? " (derecha a izquierda)" : "") +
                        (Enabled ? "" : " (ventana congelada)"));
        return r.Buttons == MessageButtons::Ok ? MessageAnswer::Ok : Answer;
    }
    void ProcessPendingEvents() override {
        if (OnEvents) OnEvents();
    }
    void ShowAbout(const AboutTexts& texts) override { About.push_back(texts); }
    void EndProgram() override { ++Ended; }

    std::string Entry(Element list) const {
        const int i = SelectedEntry(list);
        return i < 0 ? "" : Lists.at(list).at(std::size_t(i)).Text;
    }
};

// A model over a memory store, with its own system folder, using the data files built.
struct Window {
    explicit Window(std::string programDir = PAMIRO_PROGRAM_DIR)
        : model{view, store,
                WindowOptions{std::move(programDir), P(Dir("sys")), P(temp.Path() / "docs"),
                              std::chrono::milliseconds(0), [this] { return drives; }}} {}
    TempDir temp;
    FakeView view;
    MemorySettingsStore store;
    std::vector<std::string> drives = Drives();
    WindowModel model;
    fs::path Dir(const std::string& name) const {
        fs::create_directories(temp.Path() / name);
        return temp.Path() / name;
    }
    std::string Rel(const std::string& path) const {
        return fs::path(path).lexically_relative(temp.Path()).generic_string();
    }
    void Store(std::string text) {
        const std::string at = "@";
        for (auto i = text.find(at); i != std::string::npos; i = text.find(at))
            text.replace(i, 1, P(temp.Path()));
        store.Document = IniDocument::Parse(text);
    }
    bool defaultFolder = true;  // the system folder has its default folder
    void Start() {
        Dir("docs");
        if (defaultFolder) Dir(kTmp);
        model.Load();
        model.Shown();
    }
    // Converts into to, highlighted in its parent's list; Enter on the element given.
    void Convert(const std::string& cp, int destination, const fs::path& to,
                 Element enter = Element::cmdEjecutar) {
        view.Texts[Element::NombreCP] = cp;
        view.SelectEntry(Element::Destino, destination);
        ASSERT_EQ(model.OpenFolder(Element::DirFuente, P(kSample)),
                  WindowModel::OpenResult::Opened);
        ASSERT_EQ(model.OpenFolder(Element::DirDestino, P(to.parent_path())),
                  WindowModel::OpenResult::Opened);
        const auto& rows = view.Lists[Element::DirDestino];
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].Tip == PathText(P(to))) view.Selected[Element::DirDestino] = int(i);
        enter == Element::cmdEjecutar ? model.Convert() : model.EnterPressed(enter);
    }
};

TEST(WindowModel, StartShowsTheStoredChoices) {
    const std::string fresh = "6.2 / 6.2.1 / 6.3|AW51|Working File|FoxCAE Transfer|" +
                              std::string(kTmp) + "|" + kTmp + "|";
    // The store ("-": one that cannot be written), then the four lists, both
    // open folders and the message shown.
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", fresh},
        {"[Parametros]\nRevision=302\nSRCDIR=@/a\nDSTDIR=@/b\nVERSION=423\nPLTFRM=2\n"
         "FUENTE=1\nDESTINO=1\n[Version]\n411=4.1.1 o anterior\n423=4.2.x\n",
         "4.2.x|AW70|Save All|ICC Api|a|b|"},
        {"[Parametros]\nRevision=400\nSRCDIR=@/borrada\nDSTDIR=@/b\nVERSION=630\nFUENTE=x\n"
         "DESTINO=7\n[Version]\n411=4.1.1 o anterior\n630=versi\xC3\xB3n 6.3\n",
         "versión 6.3|PW (Intel)|||" + std::string(kTmp) + "|b|"},
        {"[Version]\n411=viej\xF3\n[Parametros]\nRevision=302\nSRCDIR=@/a\nDSTDIR=@/b\n",
         "viejó|PW (Intel)|Working File|FoxCAE Transfer|a|b|"},
        // "!": no default folder either. A folder that cannot be opened: the documents.
        {"![Version]\n411=a\n[Parametros]\nRevision=302\nSRCDIR=@/borrada\nDSTDIR=@/b/archivo\n",
         "a|PW (Intel)|Working File|FoxCAE Transfer|docs|docs|"},
        {"[Version]\n411=a\n[Parametros]\nRevision=302\nSRCDIR=@/b/archivo\nDSTDIR=@/borrada\n",
         "a|PW (Intel)|Working File|FoxCAE Transfer|docs|" + std::string(kTmp) + "|"},
        {"-",
         fresh +
             "Warning Pamiro: No se pueden guardar los parámetros: memoria: no se puede escribir"},
    };
    for (const auto& [stored, shown] : cases) {
        Window w;
        w.Dir("a"), w.Dir("b");
        WriteFile(w.temp.Path() / "b" / "archivo", "");
        w.defaultFolder = stored.rfind("!", 0) != 0;
        w.Store(stored.substr(w.defaultFolder ? 0 : 1));
        w.store.FailCommits = stored == "-";
        const IniDocument before = w.store.Document;
        w.Start();
        std::string seen;
        for (Element list :
             {Element::Version, Element::Plataforma, Element::Fuente, Element::Destino})
            seen += w.view.Entry(list) + "|";
        for (Element list : {Element::DirFuente, Element::DirDestino})
            seen += w.Rel(w.model.OpenFolderOf(list)) + "|";
        for (const std::string& message : w.view.Shown) seen += message;
        EXPECT_EQ(seen, shown) << stored;
        EXPECT_EQ(w.view.Texts[Element::Window], "Pamiro [ß3]");
        EXPECT_EQ(w.view.Focus, Element::NombreCP);
        // A current store is only read.
        if (stored.size() > 1) {
            EXPECT_TRUE(w.store.Document == before && w.store.Commits == 0);
        }
    }
}

TEST(WindowModel, RefusalIsShownAndNothingWritten) {
    Window w;
    w.Start();
    // The name typed, the platform typed ("=": as shown), Enter on; the message, the name after.
    const std::string explained = std::string("\n") + kLetterbugExplained;
    const std::vector<std::tuple<std::string, std::string, Element, std::string>> cases{
        {"", "=", Element::cmdEjecutar, "Nombre del CP: No se a seleccionado un CP|"},
        {" cp600 ", "=", Element::NombreCP,
         "Nombre del CP: Letterbug del CP incorrecto" + explained + "|CP600"},
        {"cp60ñ", "=", Element::DrvDestino,
         "Nombre del CP: Letterbug del CP incorrecto" + explained + "|CP60Ñ"},
        // Typed text is never completed, nor matched without regard to case.
        {"smpl01", "AW5", Element::Plataforma,
         "Plataforma: No se a definido el tipo de equipo|SMPL01"},
        {"smpl01", "aw51", Element::Version,
         "Plataforma: No se a definido el tipo de equipo|SMPL01"},
    };
    for (const auto& [name, platform, enter, expected] : cases) {
        w.view.Shown.clear();
        w.view.Texts[Element::StatusPanel1] = "antes";
        if (platform != "=") w.view.Texts[Element::Plataforma] = platform;
        w.Convert(name, 0, w.Dir("ventana"), enter);
        EXPECT_EQ(w.view.Shown.at(0) + "|" + w.view.Texts[Element::NombreCP],
                  "Critical " + expected);
        EXPECT_EQ(w.view.Texts[Element::StatusPanel1], "");
        EXPECT_TRUE(Tree(w.temp.Path() / "ventana").empty());
        EXPECT_TRUE(w.view.Enabled);
    }
}

TEST(WindowModel, RunWritesWhatTheCommandLineWritesAndAsksBeforeBeingInterrupted) {
    // Destination, then the answer to a close request during the run (Ok: none).
    for (const auto& [destination, answer] :
         {std::pair{0, MessageAnswer::Ok}, {1, MessageAnswer::No}, {1, MessageAnswer::Yes}}) {
        Window w;
        const fs::path cli = w.Dir("cli"), shown = w.Dir("ventana");
        ASSERT_EQ(
            RunCliHere(Words("convert --cp SMPL01 --platform aw51 --ia-version 620 --source wf",
                             {"--from", P(kSample), "--dest", destination ? "icc" : "foxcae",
                              "--to", P(cli), "--data-dir", PAMIRO_PROGRAM_DIR}))
                .Status,
            0);
        w.Start();
        w.view.Answer = answer;
        // What a close answered Yes must leave as it was, older files included.
        if (answer == MessageAnswer::Yes) WriteFile(shown / "SMPL01.cmd", "viejo\r\n");
        const auto before = Tree(shown);
        w.view.Focus = Element::cmdEjecutar;
        std::set<std::string> during;
        int events = 0;
        w.view.OnEvents = [&] {
            during.insert(w.view.Texts[Element::cmdEjecutar] +
                          (w.view.Enabled ? " todo" : " nada"));
            w.model.Convert();  // no second run starts inside this one
            // Each close is asked until one is answered Yes; after it, nothing more is asked.
            if (answer != MessageAnswer::Ok && ++events == 3) {
                EXPECT_FALSE(w.model.CloseRequested() || w.model.CloseRequested());
            }
        };
        w.Convert("smpl01", destination, shown);

        EXPECT_EQ(during, std::set<std::string>{"Convirtiendo... nada"});
        if (answer != MessageAnswer::Ok) {
            EXPECT_EQ(w.view.Shown.at(0),
                      "Question Terminar el programa: Desea interrumpir la "
                      "conversión? [Sí/No] (ventana congelada)");
        }
        if (answer == MessageAnswer::Yes) {
            // Ended at once, the destination byte for byte as it was, no staging folder left.
            EXPECT_TRUE(w.view.Ended == 1 && w.view.Shown.size() == 1u);
            EXPECT_EQ(Tree(shown), before);
            continue;
        }
        EXPECT_GE(Tree(cli).size(), destination ? 1u : 9u);
        EXPECT_TRUE(w.view.Ended == 0 && Tree(shown) == Tree(cli));
        EXPECT_EQ(w.view.Texts[Element::cmdEjecutar] + (w.view.Enabled ? " todo" : " nada"),
                  "Convertir todo");
        EXPECT_EQ(w.view.Focus, Element::NombreCP);
        EXPECT_EQ(w.view.Texts[Element::StatusPanel1] + "|" + w.view.Texts[Element::StatusPanel2] +
                      "|" + w.view.Texts[Element::NombreCP],
                  "Terminado||SMPL01");
        // The sample's one block of a type without data, reported once the window is usable.
        EXPECT_EQ(w.view.Shown.back().rfind("Warning Pamiro - Bloques: ", 0), 0u);
        EXPECT_EQ(w.view.Shown.back().find("congelada"), std::string::npos);
        EXPECT_EQ(w.view.Shown.size(), answer == MessageAnswer::No ? 3u : 1u);
        // Once idle again, a close ends the program without a question.
        EXPECT_TRUE(w.model.CloseRequested());
        EXPECT_EQ(w.view.Ended, 1);
    }
    // A failed run (a Save All scan that finds no compound) leaves the destination as it was.
    Window w;
    w.Start();
    const fs::path failed = w.Dir("fallida");
    WriteFile(failed / "cmp_list", "viejo\r\n");
    w.view.SelectEntry(Element::Fuente, 1);
    w.Convert("smpl01", 0, failed);
    EXPECT_EQ(Tree(failed), (std::map<std::string, std::string>{{"cmp_list", "viejo\r\n"}}));
    EXPECT_EQ(w.view.Texts[Element::StatusPanel1], "Terminado");
}

TEST(WindowModel, ConfigurationSavesTheChoicesOnYesOnly) {
    Window w;
    w.Dir("src/elegida");
    w.Start();
    w.model.OpenFolder(Element::DirFuente, P(w.temp.Path() / "src"));
    // Highlighted, not opened.
    const auto& entries = w.view.Lists[Element::DirFuente];
    ASSERT_EQ(entries.back().Text, "elegida");
    w.view.Selected[Element::DirFuente] = int(entries.size()) - 1;
    EXPECT_EQ(w.Rel(w.model.OpenFolderOf(Element::DirFuente)), "src");
    w.model.OpenFolder(Element::DirDestino, P(w.Dir("dst")));
    w.view.SelectEntry(Element::Version, 3);     // "6.1.1"
    w.view.SelectEntry(Element::Plataforma, 0);  // "PW (Intel)"
    w.view.SelectEntry(Element::Fuente, 1);      // "Save All"
    w.view.Texts[Element::Destino] = "ICC";      // a text typed that is no entry
    w.view.Texts[Element::NombreCP] = "CP6001";
    const IniDocument before = w.store.Document;
    w.model.Menu(MenuCommand::Configuration);  // answered No
    EXPECT_TRUE(w.store.Document == before);
    w.view.Answer = MessageAnswer::Yes;
    w.model.Menu(MenuCommand::Configuration);
    const std::string question =
        "Question Pamiro: Desea guardar los parámetros actuales como predeterminados? [Sí/No]";
    EXPECT_EQ(w.view.Shown, (std::vector<std::string>{question, question}));
    EXPECT_EQ(w.store.Document.Section("Parametros"),
              (KeyValuePairs{{"Revision", "302"},
                             {"Last_IA", "620"},
                             {"SRCDIR", P(w.temp.Path() / "src" / "elegida")},
                             {"DSTDIR", P(w.temp.Path() / "dst")},
                             {"VERSION", "611"},
                             {"PLTFRM", "0"},
                             {"FUENTE", "1"},
                             {"DESTINO", "-1"}}));
    // A store that cannot be written says so.
    w.store.FailCommits = true;
    w.model.Menu(MenuCommand::Configuration);
    EXPECT_EQ(w.view.Shown.back(),
              "Warning Pamiro: No se pueden guardar los parámetros: memoria: no se puede escribir");
}

TEST(WindowModel, MenusAndTheAboutWindow) {
    Window w;
    w.Start();
    w.model.Menu(MenuCommand::Updates);
    EXPECT_EQ(w.view.Shown, std::vector<std::string>{
                                "Warning Pamiro: Función no implementada (derecha a izquierda)"});
    w.model.Menu(MenuCommand::About);  // its texts: the views' tests
    EXPECT_EQ(w.view.About.size(), 1u);
    // "&Salir" ends at once, asking nothing; a later close is no second end.
    w.model.Menu(MenuCommand::Exit);
    EXPECT_TRUE(w.model.CloseRequested());
    EXPECT_EQ(w.view.Ended, 1);
    EXPECT_EQ(w.view.Shown.size(), 1u);
}

TEST(WindowModel, FolderListShowsAncestorsTheOpenFolderAndItsVisibleSubfolders) {
    Window w;
    for (const char* name : {"arbol/b", "arbol/A", "arbol/C", "arbol/.oculta"}) w.Dir(name);
    WriteFile(w.temp.Path() / "arbol" / "archivo", "");
    w.Start();
    const std::string arbol = P(w.temp.Path() / "arbol");
    EXPECT_EQ(w.model.OpenFolder(Element::DirDestino, arbol + "/b/../."),
              WindowModel::OpenResult::Opened);
    const auto& rows = w.view.Lists[Element::DirDestino];
    const std::size_t open = FolderChain(arbol).size() - 1;
    std::string shown;
    for (std::size_t i = open; i < rows.size(); ++i)
        shown += rows[i].Text + ":" + std::to_string(rows[i].Depth - int(open)) +
                 (rows[i].OpenFolder ? "o " : "c ");
    EXPECT_EQ(shown, "arbol:0o A:1c b:1c C:1c ");
    EXPECT_EQ(rows[open + 1].Tip, PathText(P(w.temp.Path() / "arbol" / "A")));  // the full path
    EXPECT_EQ(rows.front().Depth, 0);
    EXPECT_EQ(w.view.SelectedEntry(Element::DirDestino), int(open));
    EXPECT_EQ(w.model.SelectedPath(Element::DirDestino), arbol);

    // Enter on a highlighted entry opens it; one gone since it was listed leaves the list as it is
    // now.
    w.view.Selected[Element::DirDestino] = int(open) + 2;
    w.model.EnterPressed(Element::DirDestino);
    EXPECT_EQ(w.Rel(w.model.OpenFolderOf(Element::DirDestino)) + " " +
                  w.Rel(w.model.SelectedPath(Element::DirDestino)),
              "arbol/b arbol/b");
    w.model.EntryActivated(Element::DirDestino, int(open));
    fs::remove(w.temp.Path() / "arbol" / "C");
    w.view.Selected[Element::DirDestino] = int(open) + 3;  // highlighted, then activated
    w.model.EntryActivated(Element::DirDestino, int(open) + 3);
    EXPECT_EQ(w.view.Lists[Element::DirDestino].size(), open + 3);
    EXPECT_EQ(w.view.SelectedEntry(Element::DirDestino), int(open));
    EXPECT_EQ(w.model.OpenFolderOf(Element::DirDestino), arbol);
    // Only a missing folder is NotFound; a file is no folder.
    EXPECT_EQ(w.model.OpenFolder(Element::DirDestino, arbol + "/x"),
              WindowModel::OpenResult::NotFound);
    EXPECT_EQ(w.model.OpenFolder(Element::DirDestino, arbol + "/archivo"),
              WindowModel::OpenResult::Failed);
    EXPECT_EQ(w.model.OpenFolderOf(Element::DirDestino), arbol);
    // Below a root, no doubled separator.
    const std::string root = FolderChain(arbol).front();
    w.model.OpenFolder(Element::DirDestino, root);
    w.view.Selected[Element::DirDestino] = 1;
    EXPECT_EQ(w.model.SelectedPath(Element::DirDestino), root + w.view.Entry(Element::DirDestino));
}

TEST(WindowModel, UnreadyDriveGivesItsMessageAndTheProgramsDrive) {
    // A program folder without a drive (a network path) has none to go back to.
    for (const std::string programDir : {PAMIRO_PROGRAM_DIR, ""}) {
        Window w(programDir);
        // Two more drives: one that can be read, one no longer there.
        const std::string other = P(w.Dir("otra-unidad")), missing = P(w.temp.Path() / "retirada");
        w.Start();
        w.drives.insert(w.drives.end(), {other, missing});
        w.model.DriveListOpening(Element::DrvDestino);
        const auto& drives = w.view.Lists[Element::DrvDestino];
        ASSERT_EQ(drives.back().Text, PathText(missing));
        const int home = w.view.SelectedEntry(Element::DrvDestino);
        w.model.DriveChosen(Element::DrvDestino, int(drives.size()) - 2);
        EXPECT_EQ(
            w.model.OpenFolderOf(Element::DirDestino) + "|" + w.model.DriveOf(Element::DrvDestino),
            other + "|" + other);
        // Back on a drive whose last open folder is gone: its root.
        fs::remove(other);
        w.model.DriveChosen(Element::DrvDestino, home);
        EXPECT_EQ(w.model.OpenFolderOf(Element::DirDestino), w.model.DriveOf(Element::DrvDestino));
        w.Dir("otra-unidad");
        w.model.DriveChosen(Element::DrvDestino, int(drives.size()) - 2);
        EXPECT_TRUE(w.view.Shown.empty());
        w.model.DriveChosen(Element::DrvDestino, int(drives.size()) - 1);
        EXPECT_EQ(w.view.Shown,
                  std::vector<std::string>{"Warning Working File: Unidad no disponible"});
        // Back on the program's drive, or else both lists as they were.
        const std::string back = DriveOf(programDir).empty() ? other : DriveOf(programDir);
        EXPECT_EQ(w.model.DriveOf(Element::DrvDestino), back);
        w.drives.resize(w.drives.size() - 2);  // gone from the machine, still listed while on it
        w.model.DriveListOpening(Element::DrvDestino);
        EXPECT_EQ(w.view.Entry(Element::DrvDestino).rfind(PathText(back), 0), 0u);
        const std::string open = w.model.OpenFolderOf(Element::DirDestino);
        EXPECT_EQ(back == other ? open : DriveOf(open), back);
        // The same drive chosen again is no change.
        w.model.DriveChosen(Element::DrvDestino, w.view.SelectedEntry(Element::DrvDestino));
        EXPECT_EQ(w.view.Shown.size(), 1u);
    }
}

}  // namespace
}  // namespace pamiro::testing
