// "Convertir" on the real main window: the refusals of the request check, runs
// that must write what the command line writes, the freezing of the window
// and a close request in the middle of a run.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "WindowFixture.h"
#include "gui/FolderList.h"

using namespace pamiro;
using namespace pamiro::testing;
using window::FolderList;
using window::MessageAnswer;
using window::MessageButtons;

namespace {

constexpr const char* kCp = "CP6001";

// Several compounds, so that a run handles events many times; a sequence
// block with its own source and one that falls back to the base file.
std::vector<CompoundSpec> Compounds(bool withUnknownType = false) {
    std::vector<CompoundSpec> compounds;
    for (int c = 1; c <= 6; ++c) {
        CompoundSpec compound{
            "C" + std::to_string(c), BlockSpec{"C" + std::to_string(c), "T1", {"1", "2"}}, {}, {}};
        for (int b = 1; b <= 4; ++b) {
            compound.Blocks.push_back(
                {"B" + std::to_string(b), "T1", {std::to_string(c * 10 + b), "v\xE9"}});
        }
        compound.Blocks.push_back({"S1", "DEP", {"X"}});
        compound.Blocks.push_back({"S2", "DEP", {"Y"}});
        compound.Sources["S1"] = "source of " + compound.Name + ":S1\r\n";
        if (withUnknownType && c == 2) compound.Blocks.push_back({"U1", "NOTYPE", {"1"}});
        compounds.push_back(std::move(compound));
    }
    return compounds;
}

struct Scenario {
    WindowPlace place;
    fs::path Source() const { return place.Path("fuente"); }
    fs::path FromCli() const { return place.Path("cli"); }
    fs::path FromWindow() const { return place.Path("ventana"); }

    explicit Scenario(int source, bool withUnknownType = false) {
        WriteFile(place.ProgramDir() / "DEP_base.s", "base DEP\r\n");
        if (source == 0) {
            WriteWorkingFile(Source(), {kCp, "R001", 1, Compounds(withUnknownType)});
        } else {
            WriteSaveAll(Source(), {Compounds(withUnknownType), {}, std::nullopt});
        }
        fs::create_directories(FromCli());
        fs::create_directories(FromWindow());
    }
};

void SetUpRequest(window::MainWindow* window, const QString& cp, const QString& platform,
                  const QString& version, const QString& source, const QString& destination,
                  const fs::path& from, const fs::path& to) {
    Element<QLineEdit>(window, "NombreCP")->setText(cp);
    Choose(Element<QComboBox>(window, "Plataforma"), platform);
    Choose(Element<QComboBox>(window, "Version"), version);
    Choose(Element<QComboBox>(window, "Fuente"), source);
    Choose(Element<QComboBox>(window, "Destino"), destination);
    QCOMPARE(Element<FolderList>(window, "DirFuente")->SetOpenFolder(Q(from)),
             FolderList::OpenResult::Opened);
    QCOMPARE(Element<FolderList>(window, "DirDestino")->SetOpenFolder(Q(to)),
             FolderList::OpenResult::Opened);
}

void PressConvert(window::MainWindow* window) {
    QTest::mouseClick(Element<QPushButton>(window, "cmdEjecutar"), Qt::LeftButton);
}

// Every element of the window that is not a menu, and the two top menus.
struct FreezeState {
    int EnabledElements = 0;
    int Elements = 0;
    int EnabledMenus = 0;
    QString Button;
};

FreezeState Observe(window::MainWindow* window) {
    FreezeState state;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("mnu")) ||
            name.startsWith(QLatin1String("qt_")))
            continue;
        ++state.Elements;
        if (widget->isEnabled()) ++state.EnabledElements;
    }
    for (const char* menu : {"mnuBase_1", "mnuBase_2"}) {
        if (Element<QAction>(window, menu)->isEnabled()) ++state.EnabledMenus;
    }
    state.Button = Element<QPushButton>(window, "cmdEjecutar")->text();
    return state;
}

std::vector<std::string> CliArguments(const std::string& source, const std::string& destination,
                                      const fs::path& from, const fs::path& to,
                                      const fs::path& dataDir) {
    return {"convert",   "--cp",     kCp,         "--platform", "aw51",          "--ia-version",
            "620",       "--source", source,      "--from",     from.string(),   "--dest",
            destination, "--to",     to.string(), "--data-dir", dataDir.string()};
}

}  // namespace

class WindowConversionTest : public QObject {
    Q_OBJECT

  private slots:
    void refusalShowsItsExactMessage_data() {
        QTest::addColumn<QString>("cp");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shownName");
        QTest::newRow("empty") << ""
                               << "AW51"
                               << "6.2 / 6.2.1 / 6.3"
                               << "No se a seleccionado un CP"
                               << "Nombre del CP"
                               << "";
        QTest::newRow("six blanks") << "      "
                                    << "AW51"
                                    << "6.2 / 6.2.1 / 6.3"
                                    << "No se a seleccionado un CP"
                                    << "Nombre del CP"
                                    << "";
        QTest::newRow("empty, no platform: only the first") << ""
                                                            << "otra"
                                                            << "6.2 / 6.2.1 / 6.3"
                                                            << "No se a seleccionado un CP"
                                                            << "Nombre del CP"
                                                            << "";
        QTest::newRow("five") << " cp600 "
                              << "AW51"
                              << "6.2 / 6.2.1 / 6.3"
                              << "Letterbug del CP incorrecto"
                              << "Nombre del CP"
                              << "CP600";
        QTest::newRow("seven") << "cp60011"
                               << "AW51"
                               << "6.2 / 6.2.1 / 6.3"
                               << "Letterbug del CP incorrecto"
                               << "Nombre del CP"
                               << "CP60011";
        QTest::newRow("separator in name") << "cp/001"
                                           << "AW51"
                                           << "6.2 / 6.2.1 / 6.3"
                                           << "Letterbug del CP incorrecto"
                                           << "Nombre del CP"
                                           << "CP/001";
        QTest::newRow("typed platform") << " cp6001"
                                        << "aw51"
                                        << "6.2 / 6.2.1 / 6.3"
                                        << "No se a definido el tipo de equipo"
                                        << "Plataforma"
                                        << "CP6001";
        QTest::newRow("no data file for 4.2.x") << "cp6001"
                                                << "AW70"
                                                << "4.2.x"
                                                << "No se encuentra el archivo de datos"
                                                << "Archivo de datos"
                                                << "CP6001";
    }

    void refusalShowsItsExactMessage() {
        QFETCH(QString, cp);
        QFETCH(QString, platform);
        QFETCH(QString, version);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(QString, shownName);
        Scenario scenario(0);
        ScriptedMessages messages;
        auto window = scenario.place.Open();
        SetUpRequest(window.get(), cp, platform, version, QStringLiteral("Working File"),
                     QStringLiteral("FoxCAE Transfer"), scenario.Source(), scenario.FromWindow());
        Element<QLabel>(window.get(), "StatusPanel1")->setText(QStringLiteral("antes"));
        PressConvert(window.get());

        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Text, text);
        QCOMPARE(messages.Shown[0].Title, title);
        QCOMPARE(messages.Shown[0].Icon, MessageIcon::Critical);
        QCOMPARE(messages.Shown[0].Buttons, MessageButtons::Ok);
        QCOMPARE(Element<QLineEdit>(window.get(), "NombreCP")->text(), shownName);
        QCOMPARE(Element<QLabel>(window.get(), "StatusPanel1")->text(), QString());
        QVERIFY(FolderContents(scenario.FromWindow()).empty());
        const FreezeState after = Observe(window.get());
        QCOMPARE(after.EnabledElements, after.Elements);
        QCOMPARE(after.Button, QStringLiteral("Convertir"));
    }

    void untypedSelectionsAreRefused() {
        Scenario scenario(0);
        ScriptedMessages messages;
        auto window = scenario.place.Open();
        SetUpRequest(window.get(), "cp6001", "AW51", "6.2 / 6.2.1 / 6.3", "Working File",
                     "FoxCAE Transfer", scenario.Source(), scenario.FromWindow());
        for (const char* box : {"Version", "Fuente", "Destino"}) {
            Choose(Element<QComboBox>(window.get(), box), QStringLiteral("a mano"));
            PressConvert(window.get());
            QCOMPARE(messages.Shown.back().Icon, MessageIcon::Critical);
            QCOMPARE(messages.Shown.back().Title, QString::fromLatin1(box));
            Element<QComboBox>(window.get(), box)->setCurrentIndex(0);
        }
        QCOMPARE(messages.Shown.size(), size_t(3));
        QVERIFY(FolderContents(scenario.FromWindow()).empty());
    }

    void bundledSampleWritesWhatTheCommandLineWrites_data() {
        QTest::addColumn<int>("source");
        QTest::addColumn<int>("destination");
        QTest::newRow("Working File to FoxCAE Transfer") << 0 << 0;
        QTest::newRow("Working File to ICC Api") << 0 << 1;
        QTest::newRow("Save All to FoxCAE Transfer") << 1 << 0;
        QTest::newRow("Save All to ICC Api") << 1 << 1;
    }

    void bundledSampleWritesWhatTheCommandLineWrites() {
        QFETCH(int, source);
        QFETCH(int, destination);
        const fs::path samples = fs::path(PAMIRO_SOURCE_ROOT) / "samples";
        const fs::path from =
            source == 0 ? samples / "working-file" : samples / "save-all" / "SMPL01";
        const fs::path programDir = PAMIRO_PROGRAM_DIR;
        QVERIFY(fs::exists(from));
        QVERIFY(fs::exists(programDir / "ver51_620.dat"));
        WindowPlace place;
        fs::create_directories(place.Path("cli"));
        fs::create_directories(place.Path("ventana"));
        std::vector<std::string> arguments =
            CliArguments(source == 0 ? "wf" : "sa", destination == 0 ? "foxcae" : "icc", from,
                         place.Path("cli"), programDir);
        arguments[2] = "SMPL01";
        QCOMPARE(RunCommandLine(arguments), 0);

        window::MainWindowOptions options = place.Options();
        options.ProgramDir = programDir.string();
        ScriptedMessages messages;
        auto window = place.Open(options);
        SetUpRequest(
            window.get(), QStringLiteral("smpl01"), QStringLiteral("AW51"),
            QStringLiteral("6.2 / 6.2.1 / 6.3"),
            source == 0 ? QStringLiteral("Working File") : QStringLiteral("Save All"),
            destination == 0 ? QStringLiteral("FoxCAE Transfer") : QStringLiteral("ICC Api"), from,
            place.Path("ventana"));
        PressConvert(window.get());
        const auto expected = FolderContents(place.Path("cli"));
        QVERIFY(expected.size() >= (destination == 0 ? 9u : 1u));
        QVERIFY(FolderContents(place.Path("ventana")) == expected);
        // The one block of a type no data file has is the only message.
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Icon, MessageIcon::Warning);
        QCOMPARE(messages.Shown[0].Title, QStringLiteral("Pamiro - Bloques"));
        QCOMPARE(Element<QLabel>(window.get(), "StatusPanel1")->text(),
                 QStringLiteral("Terminado"));
        QCOMPARE(Element<QLabel>(window.get(), "StatusPanel2")->text(), QString());
        QCOMPARE(Element<QLineEdit>(window.get(), "NombreCP")->text(), QStringLiteral("SMPL01"));
        const FreezeState after = Observe(window.get());
        QCOMPARE(after.EnabledElements, after.Elements);
        QCOMPARE(after.EnabledMenus, 2);
        QCOMPARE(after.Button, QStringLiteral("Convertir"));
    }

    void everyElementAndMenuIsDisabledDuringTheRun() {
        Scenario scenario(0);
        ScriptedMessages messages;
        auto window = scenario.place.Open();
        SetUpRequest(window.get(), "cp6001", "AW51", "6.2 / 6.2.1 / 6.3", "Working File",
                     "FoxCAE Transfer", scenario.Source(), scenario.FromWindow());
        std::vector<FreezeState> during;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (!window->Job().ConversionIdle) during.push_back(Observe(window.get()));
        });
        watch.start(0);
        PressConvert(window.get());
        watch.stop();

        QVERIFY(during.size() >= 3);
        for (const FreezeState& state : during) {
            QVERIFY(state.Elements >= 21);
            QCOMPARE(state.EnabledElements, 0);
            QCOMPARE(state.EnabledMenus, 0);
            QCOMPARE(state.Button, QStringLiteral("Convirtiendo..."));
        }
        const FreezeState after = Observe(window.get());
        QCOMPARE(after.EnabledElements, after.Elements);
        QCOMPARE(after.EnabledMenus, 2);
        QCOMPARE(after.Button, QStringLiteral("Convertir"));
        QCOMPARE(Element<QLabel>(window.get(), "StatusPanel1")->text(),
                 QStringLiteral("Terminado"));
        QCOMPARE(Element<QLabel>(window.get(), "StatusPanel2")->text(), QString());
    }

    void unknownTypesAreReportedAfterTheRun() {
        Scenario scenario(0, true);
        ScriptedMessages messages;
        auto window = scenario.place.Open();
        bool enabledWhenShown = false;
        messages.OnShow = [&](const window::MessageRequest&) {
            enabledWhenShown = Element<QPushButton>(window.get(), "cmdEjecutar")->isEnabled();
        };
        SetUpRequest(window.get(), "cp6001", "AW51", "6.2 / 6.2.1 / 6.3", "Working File", "ICC Api",
                     scenario.Source(), scenario.FromWindow());
        PressConvert(window.get());
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Icon, MessageIcon::Warning);
        QCOMPARE(messages.Shown[0].Title, QStringLiteral("Pamiro - Bloques"));
        QVERIFY(messages.Shown[0].Text.contains(QStringLiteral("C2:U1")));
        QVERIFY(enabledWhenShown);
    }

    void lostOutputIsReportedAndTheWindowRestored() {
        Scenario scenario(0);
        fs::create_directories(scenario.FromWindow() / "cmp_list");  // cannot be created as a file
        ScriptedMessages messages;
        auto window = scenario.place.Open();
        SetUpRequest(window.get(), "cp6001", "AW51", "6.2 / 6.2.1 / 6.3", "Working File",
                     "FoxCAE Transfer", scenario.Source(), scenario.FromWindow());
        PressConvert(window.get());
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Icon, MessageIcon::Critical);
        QCOMPARE(messages.Shown[0].Title, QStringLiteral("Pamiro - Destino"));
        QVERIFY(messages.Shown[0].Text.contains(QStringLiteral("cmp_list")));
        QVERIFY(window->Job().Report.Failed);
        QCOMPARE(Element<QLabel>(window.get(), "StatusPanel1")->text(),
                 QStringLiteral("Terminado"));
        const FreezeState after = Observe(window.get());
        QCOMPARE(after.EnabledElements, after.Elements);
    }

    void closeDuringTheRunAnsweredNoLetsItFinish() {
        Scenario scenario(0);
        QCOMPARE(RunCommandLine(CliArguments("wf", "icc", scenario.Source(), scenario.FromCli(),
                                             scenario.place.ProgramDir())),
                 0);
        ScriptedMessages messages;
        messages.Answers = {MessageAnswer::No};
        auto window = scenario.place.Open();
        SetUpRequest(window.get(), "cp6001", "AW51", "6.2 / 6.2.1 / 6.3", "Working File", "ICC Api",
                     scenario.Source(), scenario.FromWindow());
        int ticks = 0;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (!window->Job().ConversionIdle && ++ticks == 3) window->close();
        });
        closer.start(0);
        PressConvert(window.get());
        closer.stop();

        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Text, QStringLiteral("Desea interrumpir la conversión?"));
        QCOMPARE(messages.Shown[0].Title, QStringLiteral("Terminar el programa"));
        QCOMPARE(messages.Shown[0].Icon, MessageIcon::Question);
        QCOMPARE(messages.Shown[0].Buttons, MessageButtons::YesNo);
        QVERIFY(window->isVisible());
        QCOMPARE(scenario.place.Ended, 0);
        QVERIFY(FolderContents(scenario.FromWindow()) == FolderContents(scenario.FromCli()));
        QCOMPARE(Element<QLabel>(window.get(), "StatusPanel1")->text(),
                 QStringLiteral("Terminado"));
    }

    void closeDuringTheRunAnsweredYesClosesTheFilesAndEnds() {
        Scenario scenario(0);
        QCOMPARE(RunCommandLine(CliArguments("wf", "icc", scenario.Source(), scenario.FromCli(),
                                             scenario.place.ProgramDir())),
                 0);
        ScriptedMessages messages;
        messages.Answers = {MessageAnswer::Yes};
        auto window = scenario.place.Open();
        SetUpRequest(window.get(), "cp6001", "AW51", "6.2 / 6.2.1 / 6.3", "Working File", "ICC Api",
                     scenario.Source(), scenario.FromWindow());
        QSignalSpy ended(window.get(), &window::MainWindow::programEnded);
        int ticks = 0;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&] {
            if (!window->Job().ConversionIdle && ++ticks == 3) window->close();
        });
        closer.start(0);
        PressConvert(window.get());
        closer.stop();

        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(scenario.place.Ended, 1);
        QCOMPARE(ended.count(), 1);
        QVERIFY(!window->isVisible());
        // What was written so far is on disk, and nothing after the interruption.
        const std::string full = ReadFile(scenario.FromCli() / "CP6001.cmd");
        const std::string partial = ReadFile(scenario.FromWindow() / "CP6001.cmd");
        QVERIFY(partial.rfind("OPEN CP6001", 0) == 0);
        QVERIFY(partial.size() < full.size());
        QCOMPARE(full.substr(0, partial.size()), partial);
        QVERIFY(partial.find("EXIT") == std::string::npos);
        QVERIFY(Element<QLabel>(window.get(), "StatusPanel1")->text() !=
                QStringLiteral("Terminado"));
    }
};

QTEST_MAIN(WindowConversionTest)
#include "WindowConversionTest.moc"
