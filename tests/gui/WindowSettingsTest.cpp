// The window load from the settings store and "&Configuración", on the real
// main window.
#include <QAction>
#include <QLineEdit>
#include <QtTest>

#include "WindowFixture.h"
#include "app/IniFile.h"
#include "gui/DriveList.h"
#include "gui/FolderList.h"

using namespace pamiro;
using namespace pamiro::testing;
using window::DriveList;
using window::FolderList;
using window::MessageAnswer;
using window::SelectedIndex;

namespace {

QStringList Entries(QComboBox* box) {
    QStringList entries;
    for (int i = 0; i < box->count(); ++i) entries << box->itemText(i);
    return entries;
}

std::string CurrentStore(const std::string& source, const std::string& destination) {
    return "[Parametros]\nRevision=302\nLast_IA=620\nSRCDIR=" + source + "\nDSTDIR=" + destination +
           "\nVERSION=423\nPLTFRM=2\nFUENTE=1\nDESTINO=1\n\n[Version]\n411=4.1.1 o anterior\n"
           "423=4.2.x\n610=6.1 / 4.3\n611=6.1.1\n620=6.2 / 6.2.1 / 6.3\n";
}

}  // namespace

class WindowSettingsTest : public QObject {
    Q_OBJECT

  private slots:
    void firstStartShowsTheDefaults() {
        WindowPlace place;
        ScriptedMessages messages;
        auto window = place.Open();
        QCOMPARE(window->objectName(), QStringLiteral("frmBase"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Pamiro [\u00DF3]"));
        QCOMPARE(Element<QLineEdit>(window.get(), "NombreCP")->text(), QString());

        auto* plataforma = Element<QComboBox>(window.get(), "Plataforma");
        auto* version = Element<QComboBox>(window.get(), "Version");
        auto* fuente = Element<QComboBox>(window.get(), "Fuente");
        auto* destino = Element<QComboBox>(window.get(), "Destino");
        QCOMPARE(Entries(plataforma), (QStringList{"PW (Intel)", "AW51", "AW70"}));
        QCOMPARE(Entries(version), (QStringList{"4.1.1 o anterior", "4.2.x", "6.1 / 4.3", "6.1.1",
                                                "6.2 / 6.2.1 / 6.3"}));
        QCOMPARE(Entries(fuente), (QStringList{"Working File", "Save All"}));
        QCOMPARE(Entries(destino), (QStringList{"FoxCAE Transfer", "ICC Api"}));
        QCOMPARE(version->currentText(), QStringLiteral("6.2 / 6.2.1 / 6.3"));
        QCOMPARE(plataforma->currentText(), QStringLiteral("AW51"));
        QCOMPARE(SelectedIndex(*plataforma), 1);
        QCOMPARE(fuente->currentText(), QStringLiteral("Working File"));
        QCOMPARE(destino->currentText(), QStringLiteral("FoxCAE Transfer"));

        for (const char* side : {"Fuente", "Destino"}) {
            auto* folders = Element<FolderList>(window.get(), (std::string("Dir") + side).c_str());
            auto* drives = Element<DriveList>(window.get(), (std::string("Drv") + side).c_str());
            QVERIFY(folders && drives);
            QCOMPARE(folders->OpenFolder(), Q(place.SystemTemp()));
            QCOMPARE(folders->SelectedPath(), Q(place.SystemTemp()));
            QCOMPARE(drives->Drive(), window::VolumeRootOf(Q(place.SystemFolder())));
        }
        const IniDocument stored = IniDocument::Parse(place.Settings());
        QCOMPARE(stored.Get("Parametros", "Revision"), std::optional<std::string>("302"));
        QCOMPARE(stored.Get("Parametros", "SRCDIR"),
                 std::optional<std::string>(place.SystemTemp().string()));
        QVERIFY(messages.Shown.empty());
    }

    void currentStoreRestoresTheSavedChoices() {
        WindowPlace place;
        fs::create_directories(place.Path("a/sub"));
        fs::create_directories(place.Path("b"));
        const std::string text = CurrentStore(place.Path("a").string(), place.Path("b").string());
        place.WriteSettings(text);
        ScriptedMessages messages;
        auto window = place.Open();
        QCOMPARE(Element<QComboBox>(window.get(), "Version")->currentText(),
                 QStringLiteral("4.2.x"));
        QCOMPARE(Element<QComboBox>(window.get(), "Plataforma")->currentText(),
                 QStringLiteral("AW70"));
        QCOMPARE(Element<QComboBox>(window.get(), "Fuente")->currentText(),
                 QStringLiteral("Save All"));
        QCOMPARE(Element<QComboBox>(window.get(), "Destino")->currentText(),
                 QStringLiteral("ICC Api"));
        QCOMPARE(Element<FolderList>(window.get(), "DirFuente")->OpenFolder(), Q(place.Path("a")));
        QCOMPARE(Element<FolderList>(window.get(), "DirDestino")->OpenFolder(), Q(place.Path("b")));
        QCOMPARE(place.Settings(), text);  // nothing written
        QVERIFY(messages.Shown.empty());
    }

    void olderRevisionReinitialisesButKeepsHandAddedVersions() {
        WindowPlace place;
        place.WriteSettings(
            "[Parametros]\nRevision=301\nPLTFRM=2\nMIO=a mano\n\n"
            "[Version]\n411=4.1.1 o anterior\n423=4.2.x\n610=6.1 / 4.3\n611=6.1.1\n"
            "620=6.2 / 6.2.1 / 6.3\n630=6.3 nueva\n");
        auto window = place.Open();
        const IniDocument stored = IniDocument::Parse(place.Settings());
        QVERIFY(!stored.Get("Parametros", "MIO"));
        QCOMPARE(stored.Get("Parametros", "PLTFRM"), std::optional<std::string>("1"));
        QCOMPARE(stored.Get("Version", "630"), std::optional<std::string>("6.3 nueva"));
        auto* version = Element<QComboBox>(window.get(), "Version");
        QCOMPARE(version->count(), 6);
        QCOMPARE(version->itemText(5), QStringLiteral("6.3 nueva"));
        QCOMPARE(version->currentText(), QStringLiteral("6.2 / 6.2.1 / 6.3"));
        QCOMPARE(window->Job().VersionTable.back().first, std::string("630"));
        QCOMPARE(Element<QComboBox>(window.get(), "Plataforma")->currentText(),
                 QStringLiteral("AW51"));
    }

    void laterRevisionAndHandEditsAreRespected() {
        WindowPlace place;
        const std::string text =
            "[Parametros]\nRevision=400\nSRCDIR=" + place.Path("borrada").string() +
            "\nVERSION=999\nFUENTE=x\nDESTINO=7\n\n[Version]\n411=4.1.1 o anterior\n"
            "620=6.2 / 6.2.1 / 6.3\n630=versi\xC3\xB3n 6.3\n";
        place.WriteSettings(text);
        ScriptedMessages messages;
        auto window = place.Open();
        QCOMPARE(place.Settings(), text);
        auto* version = Element<QComboBox>(window.get(), "Version");
        QCOMPARE(version->currentText(), QStringLiteral("4.1.1 o anterior"));  // no code matched
        QCOMPARE(version->itemText(2), QStringLiteral("versi\u00F3n 6.3"));
        auto* plataforma = Element<QComboBox>(window.get(), "Plataforma");
        QCOMPARE(plataforma->currentText(), QStringLiteral("PW (Intel)"));  // key missing: "0"
        for (const char* name : {"Fuente", "Destino"}) {
            auto* box = Element<QComboBox>(window.get(), name);
            QCOMPARE(SelectedIndex(*box), -1);
            QCOMPARE(box->currentText(), QString());
        }
        // A deleted source folder: the system folder's tmp, its drive, no message.
        QCOMPARE(Element<FolderList>(window.get(), "DirFuente")->OpenFolder(),
                 Q(place.SystemTemp()));
        QCOMPARE(Element<DriveList>(window.get(), "DrvFuente")->Drive(),
                 window::VolumeRootOf(Q(place.SystemFolder())));
        // A missing DSTDIR reads as the fixed default folder.
        QCOMPARE(Element<FolderList>(window.get(), "DirDestino")->OpenFolder(),
                 QDir::cleanPath(
                     QString::fromLatin1(kFixedDefaultFolder.data(), kFixedDefaultFolder.size())));
        QVERIFY(messages.Shown.empty());
    }

    void configurationYesSavesHighlightedFolderVersionCodeAndIndexes() {
        WindowPlace place;
        fs::create_directories(place.Path("src/elegida"));
        fs::create_directories(place.Path("dst"));
        place.WriteSettings(CurrentStore(place.Path("src").string(), place.Path("dst").string()));
        ScriptedMessages messages;
        auto window = place.Open();
        auto* folders = Element<FolderList>(window.get(), "DirFuente");
        QVERIFY(folders->HighlightPath(Q(place.Path("src/elegida"))));
        QCOMPARE(folders->OpenFolder(), Q(place.Path("src")));  // highlighted, not opened
        Choose(Element<QComboBox>(window.get(), "Version"), QStringLiteral("6.1.1"));
        Choose(Element<QComboBox>(window.get(), "Plataforma"), QStringLiteral("PW (Intel)"));
        Choose(Element<QComboBox>(window.get(), "Fuente"), QStringLiteral("Working File"));
        Choose(Element<QComboBox>(window.get(), "Destino"), QStringLiteral("FoxCAE Transfer"));
        Element<QLineEdit>(window.get(), "NombreCP")->setText(QStringLiteral("CP6001"));

        messages.Answers = {MessageAnswer::Yes};
        Element<QAction>(window.get(), "mnuArchivo_1")->trigger();
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Text,
                 QStringLiteral("Desea guardar los parámetros actuales como predeterminados?"));
        QCOMPARE(messages.Shown[0].Title, QStringLiteral("Pamiro"));
        QCOMPARE(messages.Shown[0].Icon, MessageIcon::Question);
        QCOMPARE(messages.Shown[0].Buttons, window::MessageButtons::YesNo);

        const IniDocument stored = IniDocument::Parse(place.Settings());
        QCOMPARE(stored.Section("Parametros"),
                 (KeyValuePairs{{"Revision", "302"},
                                {"Last_IA", "620"},
                                {"SRCDIR", place.Path("src/elegida").string()},
                                {"DSTDIR", place.Path("dst").string()},
                                {"VERSION", "611"},
                                {"PLTFRM", "0"},
                                {"FUENTE", "0"},
                                {"DESTINO", "0"}}));
        QCOMPARE(stored.Section("Version").size(), size_t(5));
        QVERIFY(place.Settings().find("CP6001") == std::string::npos);

        // The next start opens the highlighted subfolder.
        window.reset();
        auto next = place.Open();
        QCOMPARE(Element<FolderList>(next.get(), "DirFuente")->OpenFolder(),
                 Q(place.Path("src/elegida")));
        QCOMPARE(Element<QComboBox>(next.get(), "Version")->currentText(), QStringLiteral("6.1.1"));
    }

    void configurationWithTypedVersionKeepsTheStoredCode() {
        WindowPlace place;
        ScriptedMessages messages;
        auto window = place.Open();
        Choose(Element<QComboBox>(window.get(), "Version"), QStringLiteral("7.0"));
        Choose(Element<QComboBox>(window.get(), "Plataforma"), QStringLiteral("aw51"));
        messages.Answers = {MessageAnswer::Yes};
        Element<QAction>(window.get(), "mnuArchivo_1")->trigger();
        const IniDocument stored = IniDocument::Parse(place.Settings());
        QCOMPARE(stored.Get("Parametros", "VERSION"), std::optional<std::string>("620"));
        QCOMPARE(stored.Get("Parametros", "PLTFRM"), std::optional<std::string>("-1"));
    }

    void configurationNoWritesNothing() {
        WindowPlace place;
        ScriptedMessages messages;
        auto window = place.Open();
        const std::string before = place.Settings();
        Choose(Element<QComboBox>(window.get(), "Plataforma"), QStringLiteral("AW70"));
        messages.Answers = {MessageAnswer::No};
        Element<QAction>(window.get(), "mnuArchivo_1")->trigger();
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(place.Settings(), before);
    }

    void unwritableStoreIsReportedOnce() {
        WindowPlace place;
        fs::remove_all(place.SettingsFile().parent_path());
        WriteFile(place.SettingsFile().parent_path(), "a file where the folder should be");
        ScriptedMessages messages;
        auto window = place.Open();
        QTRY_COMPARE(messages.Shown.size(), size_t(1));
        QVERIFY(messages.Shown[0].Text.startsWith(
            QStringLiteral("No se pueden guardar los parametros")));
        QCOMPARE(Element<QComboBox>(window.get(), "Plataforma")->currentText(),
                 QStringLiteral("AW51"));
    }
};

QTEST_MAIN(WindowSettingsTest)
#include "WindowSettingsTest.moc"
