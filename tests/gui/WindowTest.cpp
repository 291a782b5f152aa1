// The real main window on the offscreen platform: what only the Qt view wires. The
// rules behind it are the window model's, tested with a fake view in tests/app.
#include <QtTest>
#include <QtWidgets>

#include "app/IniSettingsStore.h"
#include "app/WindowModel.h"
#include "core/NativeFile.h"
#include "gui/DriveList.h"
#include "gui/FolderList.h"
#include "gui/MainWindow.h"
#include "gui/MessageBoxes.h"
#include "support/RunCli.h"

using namespace pamiro::testing;
using namespace pamiro;
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

// Replaces the message boxes while it lives: records every box, answers a question with Answer.
struct Messages {
    QStringList Shown;  // "ICON TITLE: TEXT", then what else sets the box or the window apart
    MessageAnswer Answer = MessageAnswer::No;
    Messages() {
        SetMessageHandler([this](QWidget* parent, const MessageRequest& request) {
            const char* icons[] = {"Critical", "Warning", "Question"};
            auto* button = parent ? E<QPushButton>(parent, "cmdEjecutar") : nullptr;
            Shown << icons[int(request.Icon)] + (" " + QString::fromStdString(request.Title)) +
                         ": " + QString::fromStdString(request.Text) +
                         (request.Buttons == MessageButtons::YesNo ? " [Sí/No]" : "") +
                         (request.RightToLeft ? " (derecha a izquierda)" : "") +
                         (button && !button->isEnabled() ? " (ventana congelada)" : "");
            return request.Buttons == MessageButtons::Ok ? MessageAnswer::Ok : Answer;
        });
    }
    ~Messages() { SetMessageHandler({}); }
};

// A window with its own settings file, system and documents folders, using the data files
// built; the store, the view and the model made as the program's main makes them.
struct Place {
    TempDir temp;
    int Ended = 0;
    Place() { Dir("sys/tmp"), Dir("cfg"), Dir("docs"); }
    fs::path Path(const std::string& name) const { return temp.Path() / name; }
    fs::path Dir(const std::string& n) const { return fs::create_directories(Path(n)), Path(n); }
    fs::path Settings() const { return Path("cfg/Pamiro.ini"); }
    std::vector<std::string> Drives = pamiro::Drives();
    std::unique_ptr<IniSettingsStore> Store;
    std::unique_ptr<MainWindow> Window;
    std::unique_ptr<WindowModel> Model;
    MainWindow* Open() {
        Model.reset(), Window.reset();
        Store = std::make_unique<IniSettingsStore>(Settings());
        Window = std::make_unique<MainWindow>([this] { ++Ended; });
        Model = std::make_unique<WindowModel>(
            *Window, *Store,
            WindowOptions{PAMIRO_PROGRAM_DIR, Path("sys").string(), Path("docs").string(),
                          std::chrono::milliseconds(0), [this] { return Drives; }});
        Window->Open(*Model);
        return Window.get();
    }
};

// Converts the bundled sample's CP (version, platform and source as on a first start).
void Convert(Place& place, const QString& cp, int destination, const fs::path& to) {
    MainWindow* window = place.Window.get();
    E<QLineEdit>(window, "NombreCP")->setText(cp);
    E<QComboBox>(window, "Destino")->setCurrentIndex(destination);
    place.Model->OpenFolder(Element::DirFuente, kSample.string());
    place.Model->OpenFolder(Element::DirDestino, to.string());
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

    void storeWarningWaitsForTheWindowAndListsShowTheModelsChoice() {
        Place place;
        fs::remove(place.Path("cfg")), WriteFile(place.Path("cfg"), "");  // no store folder
        Messages messages;
        MainWindow* window = place.Open();
        QVERIFY(messages.Shown.isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(messages.Shown.join("").section(':', 0, 1),
                 QString("Warning Pamiro: No se pueden guardar los parámetros"));
        QStringList seen;
        for (const char* box : {"Version", "Plataforma", "Fuente", "Destino"})
            seen << E<QComboBox>(window, box)->currentText();
        QCOMPARE(seen.join('|'), QString("6.2 / 6.2.1 / 6.3|AW51|Working File|FoxCAE Transfer"));
    }

    // A click starts the run; the view freezes, shows the panels and passes the close on.
    void clickRunsFrozenAndACloseAnsweredYesEndsTheProgram() {
        Place place;
        Messages messages;
        messages.Answer = MessageAnswer::Yes;
        MainWindow* window = place.Open();
        QStringList during;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] {
            if (place.Model->Job().ConversionIdle) return;
            const QString panel = E<QLabel>(window, "StatusPanel1")->text();
            during << State(window) + (panel.isEmpty() ? "" : " panel");
            if (during.size() == 3) window->close();
        });
        watch.start(0);
        Convert(place, "smpl01", 1, place.Dir("ventana"));
        watch.stop();
        during.removeDuplicates();
        QCOMPARE(during, QStringList{"nada Convirtiendo... panel"});
        QCOMPARE(messages.Shown.first(), QString("Question Terminar el programa: Desea "
                                                 "interrumpir la conversión? [Sí/No] (ventana "
                                                 "congelada)"));
        QTRY_VERIFY(place.Ended == 1 && !window->isVisible());
        QVERIFY(Tree(place.Path("ventana")).empty());  // as it was
    }

    // The focus the model gives, the text typed (never completed) and Enter reach the model.
    void focusTypedTextAndEnterReachTheModel() {
        Place place;
        Messages messages;
        MainWindow* window = place.Open();
        QCoreApplication::processEvents();
        QCOMPARE(window->focusWidget(), E<QWidget>(window, "NombreCP"));
        auto* platform = E<QComboBox>(window, "Plataforma");
        auto* name = E<QLineEdit>(window, "NombreCP");
        QTest::keyClicks(name, "smpl01");
        platform->clearEditText();
        QTest::keyClicks(platform, "AW5");
        QTest::keyClick(platform, Qt::Key_Return);
        QCOMPARE(platform->currentText(), QString("AW5"));
        name->clear();
        QTest::keyClicks(name, "cp1");
        QTest::keyClick(name, Qt::Key_Enter);
        for (QString& shown : messages.Shown) shown = shown.section('\n', 0, 0);
        QCOMPARE(messages.Shown,
                 (QStringList{"Critical Plataforma: No se a definido el tipo de equipo",
                              "Critical Nombre del CP: Letterbug del CP incorrecto"}));
    }

    void realBoxesReadInSpanish() {
        Place place;
        place.Open();  // the first start writes the store
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
    }

    void menusAboutWindowFoldersAndDrives() {
        Place place;
        for (const char* name : {"arbol/b", "arbol/A", "arbol/c"}) place.Dir(name);
        Messages messages;
        MainWindow* window = place.Open();

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

        // A folder list shows the model's entries; activating one reaches the model.
        auto* list = E<FolderList>(window, "DirDestino");
        const std::string arbol = place.Path("arbol").string();
        place.Model->OpenFolder(Element::DirDestino, arbol);
        const int open = list->currentRow();
        QStringList rows{list->item(0)->text()};
        for (int i = open; i < list->count(); ++i) rows << list->item(i)->text();
        QCOMPARE(rows.join('|'), QStringLiteral("/|arbol|A|b|c"));
        QCOMPARE(list->item(open + 1)->toolTip(), Q(place.Path("arbol/A")));
        emit list->itemDoubleClicked(list->item(open + 2));
        QCOMPARE(place.Model->SelectedPath(Element::DirDestino), arbol + "/b");
        QCOMPARE(list->currentItem()->text(), QStringLiteral("b"));
        // Enter on a folder list opens the highlighted folder.
        list->setCurrentRow(list->currentRow() - 1);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(place.Model->OpenFolderOf(Element::DirDestino), arbol);

        // A drive chosen in the list reaches the model: one no longer there gives its message.
        auto* drives = E<DriveList>(window, "DrvDestino");
        place.Drives.push_back(place.Path("unidad-retirada").string());
        drives->showPopup();
        drives->hidePopup();
        drives->setCurrentIndex(drives->count() - 1);
        QCOMPARE(messages.Shown.last(), QString("Warning Working File: Unidad no disponible"));
        const std::string programDrive = DriveOf(PAMIRO_PROGRAM_DIR);
        QCOMPARE(drives->currentText().section("  [", 0, 0), Q(programDrive));

        // "&Salir" ends at once, closing the about window, asking nothing.
        E<QAction>(window, "mnuArchivo_3")->trigger();
        QTRY_VERIFY(place.Ended == 1 && !window->isVisible() && (!shown || !shown->isVisible()));
        QCOMPARE(messages.Shown.size(), 1);
    }
};

QTEST_MAIN(WindowTest)
#include "WindowTest.moc"
