// The real main window on the offscreen platform: what only the window wires. The
// rules behind it (request check, conversion, settings store) are tested in plain C++.
#include <QtTest>
#include <QtWidgets>

#include "gui/DriveList.h"
#include "gui/FolderList.h"
#include "gui/MainWindow.h"
#include "gui/MessageBoxes.h"
#include "support/RunCli.h"

using namespace pamiro::testing;
using namespace pamiro::window;

namespace {

const fs::path kSample = fs::path(PAMIRO_SOURCE_ROOT) / "samples" / "working-file";

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

template <class T = QObject>
T* E(QObject* parent, const QString& name) {
    return parent->findChild<T*>(name);
}

// What the user reads on an element: its title or text, a menu's items, a list's entries.
QString Caption(QObject* element) {
    QStringList parts;
    for (const char* name : {"title", "text"})
        if (element->property(name).isValid()) parts << element->property(name).toString();
    if (auto* menu = qobject_cast<QMenu*>(element))
        for (QAction* item : menu->actions()) parts << item->objectName();
    auto* box = qobject_cast<DriveList*>(element) ? nullptr : qobject_cast<QComboBox*>(element);
    for (int i = 0; box && i < box->count(); ++i) parts << box->itemText(i);
    return parts.join('|');
}

// Whether all, none or some of the named elements and both top menus are enabled; the button.
QString State(MainWindow* w) {
    int on = 0, all = 0;
    for (QWidget* widget : w->findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name.isEmpty() || name.startsWith("mnu") || name.startsWith("qt_")) continue;
        ++all, on += widget->isEnabled();
    }
    for (const char* m : {"mnuBase_1", "mnuBase_2"}) ++all, on += E<QAction>(w, m)->isEnabled();
    const QString word = on == 0 ? "nada " : on < all || all < 23 ? "parte " : "todo ";
    return word + E<QPushButton>(w, "cmdEjecutar")->text();
}

std::map<fs::path, std::string> FolderContents(const fs::path& dir) {
    std::map<fs::path, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file()) files[e.path().lexically_relative(dir)] = ReadFile(e);
    return files;
}

// Replaces the message boxes while it lives: records every box, answers a question with Answer.
struct Messages {
    QStringList Shown;  // "ICON TITLE: TEXT", then what else sets the box or the window apart
    MessageAnswer Answer = MessageAnswer::No;
    Messages() {
        SetMessageHandler([this](QWidget* parent, const MessageRequest& request) {
            const char* icons[] = {"Critical", "Warning", "Question"};
            auto* button = parent ? E<QPushButton>(parent, "cmdEjecutar") : nullptr;
            Shown << icons[int(request.Icon)] + (" " + request.Title) + ": " + request.Text +
                         (request.Buttons == MessageButtons::YesNo ? " [Sí/No]" : "") +
                         (request.RightToLeft ? " (derecha a izquierda)" : "") +
                         (button && !button->isEnabled() ? " (ventana congelada)" : "");
            return request.Buttons == MessageButtons::Ok ? MessageAnswer::Ok : Answer;
        });
    }
    ~Messages() { SetMessageHandler({}); }
};

// A window with its own settings file and system folder, using the data files built.
struct Place {
    TempDir temp;
    int Ended = 0;
    Place() { Dir("sys/tmp"), Dir("cfg"); }
    fs::path Path(const std::string& name) const { return temp.Path() / name; }
    fs::path Dir(const std::string& n) const { return fs::create_directories(Path(n)), Path(n); }
    fs::path Settings() const { return Path("cfg/Pamiro.ini"); }
    std::string Stored() const { return fs::exists(Settings()) ? ReadFile(Settings()) : ""; }
    std::unique_ptr<MainWindow> Window;
    MainWindow* Open() {
        Window = std::make_unique<MainWindow>(MainWindowOptions{
            Settings(), PAMIRO_PROGRAM_DIR, Path("sys").string(), 0, [this] { ++Ended; }});
        Window->show();
        return Window.get();
    }
};

// Converts the bundled sample's CP (version, platform and source as on a first start).
void Convert(MainWindow* window, const QString& cp, int destination, const fs::path& to) {
    E<QLineEdit>(window, "NombreCP")->setText(cp);
    E<QComboBox>(window, "Destino")->setCurrentIndex(destination);
    E<FolderList>(window, "DirFuente")->SetOpenFolder(Q(kSample));
    E<FolderList>(window, "DirDestino")->SetOpenFolder(Q(to));
    QTest::mouseClick(E<QPushButton>(window, "cmdEjecutar"), Qt::LeftButton);
}

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    void elementsCarryTheirNamesAndTexts() {
        Place place;
        MainWindow* window = place.Open();
        QCOMPARE(window->objectName() + " " + window->windowTitle(),
                 QString("frmBase Pamiro [\u00DF3]"));
        const QString table =
            "NombreCP=;Plataforma=PW (Intel)|AW51|AW70;Fuente=Working File|Save All;"
            "Version=4.1.1 o anterior|4.2.x|6.1 / 4.3|6.1.1|6.2 / 6.2.1 / 6.3;"
            "Destino=FoxCAE Transfer|ICC Api;DirFuente=;DrvFuente=;DirDestino=;DrvDestino=;"
            "cmdEjecutar=Convertir;StatusPanel1=;StatusPanel2=;fraConfiguracion=Configuración;"
            "fraFuente=Fuente;fraDestino=Destino;lblNombreCP=Nombre del CP;"
            "lblPlataforma=Plataforma;lblVersion=Versión de I/A;lblFormatoDestino=Formato;"
            "lblUbicacionFuente=Ubicación;mnuBase_1=&Archivo;mnuBase_2=A&yuda;"
            "mnuArchivo=&Archivo|mnuArchivo_0|mnuArchivo_1|mnuArchivo_2|mnuArchivo_3;"
            "mnuArchivo_0=&Actualizaciones;mnuArchivo_1=&Configuración;mnuArchivo_3=&Salir;"
            "mnuAyuda=A&yuda|mnuAyuda_0;mnuAyuda_0=&Acerca de...";
        for (const QString& row : table.split(';')) {
            QObject* element = E(window, row.section('=', 0, 0));
            QCOMPARE(row.section('=', 0, 0) + "=" + (element ? Caption(element) : "<falta>"), row);
        }
    }

    void startShowsTheStoredChoices_data() {
        QTest::addColumn<QString>("store");  // "-": a file where the store's folder should be
        QTest::addColumn<QString>("shown");  // the four lists, both open folders, the message
        QString fresh = "6.2 / 6.2.1 / 6.3|AW51|Working File|FoxCAE Transfer|sys/tmp|sys/tmp|";
        QTest::newRow("first start") << "" << fresh;
        QTest::newRow("current store")
            << "[Parametros]\nRevision=302\nSRCDIR=@/a\nDSTDIR=@/b\nVERSION=423\nPLTFRM=2\n"
               "FUENTE=1\nDESTINO=1\n[Version]\n411=4.1.1 o anterior\n423=4.2.x\n"
            << "4.2.x|AW70|Save All|ICC Api|a|b|";
        QTest::newRow("edited store, source folder deleted")
            << "[Parametros]\nRevision=400\nSRCDIR=@/borrada\nDSTDIR=@/b\nVERSION=630\nFUENTE=x\n"
               "DESTINO=7\n[Version]\n411=4.1.1 o anterior\n630=versi\xC3\xB3n 6.3\n"
            << "versión 6.3|PW (Intel)|||sys/tmp|b|";
        QTest::newRow("store cannot be written")
            << "-" << fresh + "Warning Pamiro: No se pueden guardar los parámetros";
    }

    void startShowsTheStoredChoices() {
        QFETCH(QString, store);
        QFETCH(QString, shown);
        Place place;
        const std::string text = store.replace("@", Q(place.temp.Path())).toStdString();
        if (store == "-") fs::remove(place.Path("cfg")), WriteFile(place.Path("cfg"), "");
        if (store.size() > 1) WriteFile(place.Settings(), text), place.Dir("a"), place.Dir("b");
        Messages messages;
        MainWindow* window = place.Open();
        QStringList seen;
        for (const char* box : {"Version", "Plataforma", "Fuente", "Destino"})
            seen << E<QComboBox>(window, box)->currentText();
        for (const char* list : {"DirFuente", "DirDestino"})
            seen << QDir(Q(place.temp.Path()))
                        .relativeFilePath(E<FolderList>(window, list)->OpenFolder());
        QCoreApplication::processEvents();  // the store's warning waits for the window to show
        QCOMPARE(seen.join('|') + "|" + messages.Shown.join("").section(':', 0, 1), shown);
        if (store.size() > 1) QCOMPARE(place.Stored(), text);  // a current store is only read
    }

    void refusalIsShownAndNothingWritten() {
        Place place;
        Messages messages;
        MainWindow* window = place.Open();
        // The name typed, the message, the name shown after.
        for (const QString row :
             {"|No se a seleccionado un CP|", " cp600 |Letterbug del CP incorrecto|CP600"}) {
            messages.Shown.clear();
            E<QLabel>(window, "StatusPanel1")->setText("antes");
            Convert(window, row.section('|', 0, 0), 0, place.Dir("ventana"));
            QCOMPARE(messages.Shown.join("") + "|" + E<QLineEdit>(window, "NombreCP")->text(),
                     "Critical Nombre del CP: " + row.section('|', 1));
            QCOMPARE(E<QLabel>(window, "StatusPanel1")->text(), QString());
            QVERIFY(FolderContents(place.Path("ventana")).empty());
            QCOMPARE(State(window), QStringLiteral("todo Convertir"));
        }
        // Idle, the window closes without a question.
        QVERIFY(window->close());
        QCOMPARE(place.Ended, 1);
        QCOMPARE(messages.Shown.size(), 1);
    }

    void runWritesWhatTheCommandLineWrites_data() {
        QTest::addColumn<int>("destination");
        QTest::addColumn<int>("answer");  // to a close request during the run; -1: none
        QTest::newRow("FoxCAE Transfer") << 0 << -1;
        QTest::newRow("ICC Api, close answered No") << 1 << int(MessageAnswer::No);
        QTest::newRow("ICC Api, close answered Yes") << 1 << int(MessageAnswer::Yes);
    }

    void runWritesWhatTheCommandLineWrites() {
        QFETCH(int, destination);
        QFETCH(int, answer);
        Place place;
        const fs::path cli = place.Dir("cli"), shown = place.Dir("ventana");
        const int status = RunCli({"convert", "--cp", "SMPL01", "--platform", "aw51",
                                   "--ia-version", "620", "--source", "wf", "--from",
                                   kSample.string(), "--dest", destination ? "icc" : "foxcae",
                                   "--to", cli.string(), "--data-dir", PAMIRO_PROGRAM_DIR})
                               .Status;
        QCOMPARE(status, 0);
        Messages messages;
        if (answer >= 0) messages.Answer = MessageAnswer(answer);
        MainWindow* window = place.Open();
        QStringList during;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (window->Job().ConversionIdle) return;
            during << State(window);
            if (answer >= 0 && during.size() == 3) window->close();
        });
        watch.start(0);
        Convert(window, "smpl01", destination, shown);
        watch.stop();

        during.removeDuplicates();
        QCOMPARE(during, QStringList{"nada Convirtiendo..."});
        if (answer >= 0)
            QCOMPARE(messages.Shown.first(),
                     QString("Question Terminar el programa: Desea "
                             "interrumpir la conversión? [Sí/No] (ventana congelada)"));
        if (answer == int(MessageAnswer::Yes)) {
            // Ended at once, what was written so far closed intact.
            QVERIFY(place.Ended == 1 && !window->isVisible());
            const std::string full = ReadFile(cli / "SMPL01.cmd");
            const std::string partial = ReadFile(shown / "SMPL01.cmd");
            QVERIFY(!partial.empty() && partial.size() < full.size());
            QCOMPARE(full.substr(0, partial.size()), partial);
            return;
        }
        QVERIFY(FolderContents(cli).size() >= (destination ? 1u : 9u));
        QVERIFY(place.Ended == 0 && FolderContents(shown) == FolderContents(cli));
        QCOMPARE(State(window), QStringLiteral("todo Convertir"));
        QCOMPARE(E<QLabel>(window, "StatusPanel1")->text() + "|" +
                     E<QLabel>(window, "StatusPanel2")->text() + "|" +
                     E<QLineEdit>(window, "NombreCP")->text(),
                 QStringLiteral("Terminado||SMPL01"));
        // The sample's one block of a type without data, reported once the window is usable.
        QVERIFY(messages.Shown.back().startsWith("Warning Pamiro - Bloques: "));
        QVERIFY(!messages.Shown.back().endsWith("(ventana congelada)"));
        QCOMPARE(messages.Shown.size(), answer >= 0 ? 2 : 1);
    }

    void configurationSavesTheChoicesOnYesOnly() {
        Place place;
        place.Dir("src/elegida");
        Messages messages;
        MainWindow* window = place.Open();
        auto* folders = E<FolderList>(window, "DirFuente");
        folders->SetOpenFolder(Q(place.Path("src")));
        QVERIFY(folders->HighlightPath(Q(place.Path("src/elegida"))));
        QCOMPARE(folders->OpenFolder(), Q(place.Path("src")));  // highlighted, not opened
        E<FolderList>(window, "DirDestino")->SetOpenFolder(Q(place.Dir("dst")));
        E<QComboBox>(window, "Version")->setCurrentText("6.1.1");
        E<QComboBox>(window, "Plataforma")->setCurrentText("PW (Intel)");
        E<QComboBox>(window, "Fuente")->setCurrentText("Save All");
        E<QLineEdit>(window, "NombreCP")->setText("CP6001");
        const std::string before = place.Stored();
        E<QAction>(window, "mnuArchivo_1")->trigger();  // answered No
        QCOMPARE(place.Stored(), before);
        messages.Answer = MessageAnswer::Yes;
        E<QAction>(window, "mnuArchivo_1")->trigger();
        const QString question =
            "Question Pamiro: Desea guardar los parámetros actuales como predeterminados? [Sí/No]";
        QCOMPARE(messages.Shown, (QStringList{question, question}));
        QCOMPARE(QString::fromStdString(place.Stored()).section("\n\n", 0, 0),
                 "[Parametros]\nRevision=302\nLast_IA=620\nSRCDIR=" + Q(place.Path("src/elegida")) +
                     "\nDSTDIR=" + Q(place.Path("dst")) +
                     "\nVERSION=611\nPLTFRM=0\nFUENTE=1\nDESTINO=0");
    }

    void realBoxesReadInSpanishAndAReadOnlyStoreIsKept() {
        Place place;
        place.Open();  // the first start writes the store
        const std::string stored = place.Stored();
        fs::permissions(place.Settings(), fs::perms(0444));
        MainWindow* window = place.Open();
        QStringList seen;  // each box: its title, text and buttons
        QTimer presser;
        connect(&presser, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            QStringList buttons;
            for (QAbstractButton* button : box->buttons()) buttons << button->text();
            buttons.sort();
            seen << box->windowTitle() + ": " + box->text() + " [" + buttons.join(',') + "]";
            QAbstractButton* yes = box->button(QMessageBox::Yes);
            (yes != nullptr ? yes : box->button(QMessageBox::Ok))->click();
        });
        presser.start(10);
        E<QAction>(window, "mnuArchivo_1")->trigger();
        QCOMPARE(seen,
                 (QStringList{
                     "Pamiro: Desea guardar los parámetros actuales como predeterminados? [No,Sí]",
                     "Pamiro: No se pueden guardar los parámetros: " + Q(place.Settings()) +
                         ": permiso denegado [Aceptar]"}));
        QCOMPARE(place.Stored(), stored);
        QCOMPARE(fs::status(place.Settings()).permissions(), fs::perms(0444));
    }

    void menusAboutWindowFoldersAndDrives() {
        Place place;
        for (const char* name : {"arbol/b", "arbol/A", "arbol/c"}) place.Dir(name);
        Messages messages;
        MainWindow* window = place.Open();
        const std::string before = place.Stored();
        E<QAction>(window, "mnuArchivo_0")->trigger();
        QCOMPARE(messages.Shown,
                 QStringList{"Warning Pamiro: Función no implementada (derecha a izquierda)"});

        // One about window however often it is asked for; it does not block the main window.
        QAction* about = E<QAction>(window, "mnuAyuda_0");
        about->trigger(), about->trigger();
        QCOMPARE(window->findChildren<QWidget*>("frmAbout").size(), 1);
        QPointer<QWidget> shown = E<QWidget>(window, "frmAbout");
        QVERIFY(shown->isVisible() && !shown->isModal() && !QApplication::activeModalWidget());
        QStringList texts{shown->windowTitle()};
        for (const char* name : {"lblTitle", "lblVersion", "lblDescription", "cmdOK"})
            texts << Caption(E(shown, name));
        QCOMPARE(texts.join('|'), QStringLiteral("Acerca de Pamiro|Pamiro|Versión 3.0.2|"
                                                 "Conversor de formatos I/A Series|Aceptar"));
        QVERIFY(!E<QLabel>(shown, "picIcon")->pixmap().isNull());
        QTest::mouseClick(E<QPushButton>(shown, "cmdOK"), Qt::LeftButton);
        QTRY_VERIFY(shown.isNull());
        about->trigger();
        shown = E<QWidget>(window, "frmAbout");

        // A folder list: the folders above, the open one, its subfolders; activating opens.
        auto* list = E<FolderList>(window, "DirDestino");
        list->SetOpenFolder(Q(place.Path("arbol")));
        const int open = int(Q(place.Path("arbol")).count('/'));  // "/" and each folder above
        QStringList rows{list->item(0)->text()};
        for (int i = open; i < list->count(); ++i) rows << list->item(i)->text();
        QCOMPARE(rows.join('|'), QStringLiteral("/|arbol|A|b|c"));
        emit list->itemActivated(list->item(open + 2));
        QCOMPARE(list->OpenFolder() + " " + list->SelectedPath(),
                 Q(place.Path("arbol/b")) + " " + Q(place.Path("arbol/b")));

        // A drive no longer there: back on the program's drive.
        auto* drives = E<DriveList>(window, "DrvDestino");
        const QString missing = Q(place.Path("unidad-retirada"));
        drives->SetDrives(MountedDrives() << missing);
        drives->setCurrentIndex(drives->findData(missing));
        QCOMPARE(messages.Shown.last(), QString("Warning Working File: Unidad no disponible"));
        const QString programDrive = VolumeRootOf(PAMIRO_PROGRAM_DIR);
        QCOMPARE(drives->currentData().toString(), programDrive);
        QCOMPARE(VolumeRootOf(list->OpenFolder()), programDrive);

        // "&Salir" ends at once, closing the about window, asking and writing nothing.
        E<QAction>(window, "mnuArchivo_3")->trigger();
        QVERIFY(place.Ended == 1 && !window->isVisible() && (!shown || !shown->isVisible()));
        QCOMPARE(messages.Shown.size(), 2);
        QCOMPARE(place.Stored(), before);
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
