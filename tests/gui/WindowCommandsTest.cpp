// The main window's commands: the menus, the about window, the close request
// while idle and the coupling of drive and folder lists.
#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include "WindowFixture.h"
#include "gui/AboutWindow.h"
#include "gui/DriveList.h"
#include "gui/FolderList.h"

using namespace pamiro;
using namespace pamiro::testing;
using window::DriveList;
using window::FolderList;
using window::MessageButtons;

namespace {

QWidget* AboutWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("frmAbout") && widget->isVisible()) return widget;
    }
    return nullptr;
}

int AboutWindows() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("frmAbout")) ++count;
    }
    return count;
}

}  // namespace

class WindowCommandsTest : public QObject {
    Q_OBJECT

  private slots:
    void menusHoldTheirItemsInOrder() {
        WindowPlace place;
        auto window = place.Open();
        auto* archivo = Element<QMenu>(window.get(), "mnuArchivo");
        auto* ayuda = Element<QMenu>(window.get(), "mnuAyuda");
        QVERIFY(archivo && ayuda);
        QCOMPARE(archivo->title(), QStringLiteral("&Archivo"));
        QCOMPARE(ayuda->title(), QStringLiteral("A&yuda"));
        QCOMPARE(archivo->menuAction()->objectName(), QStringLiteral("mnuBase_1"));
        QCOMPARE(ayuda->menuAction()->objectName(), QStringLiteral("mnuBase_2"));
        const QList<QAction*> items = archivo->actions();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items[0]->text(), QStringLiteral("&Actualizaciones"));
        QCOMPARE(items[1]->text(), QStringLiteral("&Configuración"));
        QVERIFY(items[2]->isSeparator());
        QCOMPARE(items[3]->text(), QStringLiteral("&Salir"));
        QCOMPARE(ayuda->actions().size(), 1);
        QCOMPARE(ayuda->actions()[0]->text(), QStringLiteral("&Acerca de..."));
        for (QAction* item : items) QVERIFY(item->isEnabled() && item->isVisible());
    }

    void updatesShowsTheNoticeReadingRightToLeft() {
        WindowPlace place;
        ScriptedMessages messages;
        auto window = place.Open();
        const std::string before = place.Settings();
        Element<QAction>(window.get(), "mnuArchivo_0")->trigger();
        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Text, QStringLiteral("Función no implementada"));
        QCOMPARE(messages.Shown[0].Title, QStringLiteral("Pamiro"));
        QCOMPARE(messages.Shown[0].Icon, MessageIcon::Warning);
        QCOMPARE(messages.Shown[0].Buttons, MessageButtons::Ok);
        QVERIFY(messages.Shown[0].RightToLeft);
        QCOMPARE(place.Settings(), before);
        QCOMPARE(place.Ended, 0);
    }

    void aboutWindowIsSingleAndDoesNotBlock() {
        WindowPlace place;
        auto window = place.Open();
        QAction* item = Element<QAction>(window.get(), "mnuAyuda_0");
        item->trigger();
        QWidget* about = AboutWindow();
        QVERIFY(about);
        QCOMPARE(about->windowTitle(), QStringLiteral("Acerca de Pamiro"));
        QVERIFY(!about->isModal());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(Element<QLabel>(about, "lblTitle")->text(), QStringLiteral("Pamiro"));
        QCOMPARE(Element<QLabel>(about, "lblVersion")->text(), QStringLiteral("Versión 3.0.2"));
        QCOMPARE(Element<QLabel>(about, "lblDescription")->text(),
                 QStringLiteral("Conversor de formatos I/A Series"));
        QCOMPARE(Element<QLabel>(about, "lblDisclaimer")->text().split('\n').size(), 3);
        QVERIFY(!Element<QLabel>(about, "picIcon")->pixmap().isNull());
        QVERIFY(Element<QFrame>(about, "Line1_0") && Element<QFrame>(about, "Line1_1"));
        QCOMPARE(Element<QPushButton>(about, "cmdOK")->text(), QStringLiteral("Aceptar"));

        // The main window stays usable meanwhile.
        Element<QLineEdit>(window.get(), "NombreCP")->setFocus();
        QTest::keyClicks(Element<QLineEdit>(window.get(), "NombreCP"), "abc");
        QCOMPARE(Element<QLineEdit>(window.get(), "NombreCP")->text(), QStringLiteral("abc"));

        item->trigger();
        QCOMPARE(AboutWindow(), about);
        QCOMPARE(AboutWindows(), 1);

        QPointer<QWidget> closed = about;
        QTest::mouseClick(Element<QPushButton>(about, "cmdOK"), Qt::LeftButton);
        QTRY_VERIFY(closed.isNull());
        item->trigger();
        QVERIFY(AboutWindow() != nullptr);
        QCOMPARE(AboutWindows(), 1);
    }

    void salirEndsAtOnceClosingTheAboutWindowToo() {
        WindowPlace place;
        ScriptedMessages messages;
        auto window = place.Open();
        Element<QAction>(window.get(), "mnuAyuda_0")->trigger();
        QVERIFY(AboutWindow());
        const std::string before = place.Settings();
        Element<QAction>(window.get(), "mnuArchivo_3")->trigger();
        QCOMPARE(place.Ended, 1);
        QVERIFY(!window->isVisible());
        QVERIFY(AboutWindow() == nullptr);
        QVERIFY(messages.Shown.empty());
        QCOMPARE(place.Settings(), before);
    }

    void closeWhileIdleEndsWithoutAQuestion() {
        WindowPlace place;
        ScriptedMessages messages;
        auto window = place.Open();
        QSignalSpy ended(window.get(), &window::MainWindow::programEnded);
        QVERIFY(window->close());
        QCOMPARE(place.Ended, 1);
        QCOMPARE(ended.count(), 1);
        QVERIFY(messages.Shown.empty());
    }

    void unavailableDriveFallsBackToTheProgramsDrive() {
        WindowPlace place;
        ScriptedMessages messages;
        auto window = place.Open();
        auto* drives = Element<DriveList>(window.get(), "DrvDestino");
        auto* folders = Element<FolderList>(window.get(), "DirDestino");
        const QString missing = Q(place.Path("unidad-retirada"));
        drives->SetDrives(window::MountedDrives() << missing);
        drives->setCurrentIndex(drives->findData(missing));

        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Text, QStringLiteral("Unidad no disponible"));
        QCOMPARE(messages.Shown[0].Title, QStringLiteral("Working File"));
        QCOMPARE(messages.Shown[0].Icon, MessageIcon::Warning);
        const QString programDrive = window::VolumeRootOf(Q(place.ProgramDir()));
        QVERIFY(!programDrive.isEmpty());
        QCOMPARE(drives->Drive(), programDrive);
        QCOMPARE(drives->currentData().toString(), programDrive);
        QCOMPARE(window::VolumeRootOf(folders->OpenFolder()), programDrive);
    }

    void unavailableDriveWithoutAProgramDriveLeavesBothLists() {
        WindowPlace place;
        ScriptedMessages messages;
        window::MainWindowOptions options = place.Options();
        options.ProgramDir = place.Path("no/such/program/folder").string();
        auto window = place.Open(options);
        auto* drives = Element<DriveList>(window.get(), "DrvFuente");
        auto* folders = Element<FolderList>(window.get(), "DirFuente");
        const QString driveBefore = drives->Drive();
        const QString folderBefore = folders->OpenFolder();
        const QString missing = Q(place.Path("unidad-retirada"));
        drives->SetDrives(window::MountedDrives() << missing);
        drives->setCurrentIndex(drives->findData(missing));

        QCOMPARE(messages.Shown.size(), size_t(1));
        QCOMPARE(messages.Shown[0].Text, QStringLiteral("Unidad no disponible"));
        QCOMPARE(drives->Drive(), driveBefore);
        QCOMPARE(drives->currentData().toString(), driveBefore);
        QCOMPARE(folders->OpenFolder(), folderBefore);
    }

    void folderListShowsAncestorsTheOpenFolderAndItsSubfolders() {
        WindowPlace place;
        fs::create_directories(place.Path("arbol/b"));
        fs::create_directories(place.Path("arbol/A"));
        fs::create_directories(place.Path("arbol/c"));
        WriteFile(place.Path("arbol/archivo"), "not a folder");
        FolderList list;
        QCOMPARE(list.SetOpenFolder(Q(place.Path("nada"))), FolderList::OpenResult::NotFound);
        QCOMPARE(list.SetOpenFolder(Q(place.Path("arbol/archivo"))),
                 FolderList::OpenResult::Failed);
        QCOMPARE(list.SetOpenFolder(Q(place.Path("arbol"))), FolderList::OpenResult::Opened);
        const QStringList parts = Q(place.Path("arbol")).split('/', Qt::SkipEmptyParts);
        QCOMPARE(list.count(), 1 + parts.size() + 3);
        QCOMPARE(list.item(0)->text(), QStringLiteral("/"));
        QCOMPARE(list.item(int(parts.size()))->text(), QStringLiteral("arbol"));
        QCOMPARE(list.item(int(parts.size()) + 1)->text(), QStringLiteral("A"));
        QCOMPARE(list.item(int(parts.size()) + 3)->text(), QStringLiteral("c"));
        QCOMPARE(list.SelectedPath(), Q(place.Path("arbol")));

        // Highlighting selects without opening; opening makes the folder its own selection.
        list.setCurrentRow(int(parts.size()) + 2);
        QCOMPARE(list.SelectedPath(), Q(place.Path("arbol/b")));
        QCOMPARE(list.OpenFolder(), Q(place.Path("arbol")));
        QVERIFY(list.Refresh());
        QCOMPARE(list.SelectedPath(), Q(place.Path("arbol/b")));
        emit list.itemActivated(list.item(int(parts.size()) + 2));
        QCOMPARE(list.OpenFolder(), Q(place.Path("arbol/b")));
        QCOMPARE(list.SelectedPath(), Q(place.Path("arbol/b")));
        emit list.itemActivated(list.item(int(parts.size()) - 1));
        QCOMPARE(list.OpenFolder(), Q(place.temp.Path()));

        // A drive opens the folder last opened on it.
        QVERIFY(list.OpenDrive(window::VolumeRootOf(Q(place.Path("arbol")))));
        QCOMPARE(list.OpenFolder(), Q(place.temp.Path()));
    }
};

QTEST_MAIN(WindowCommandsTest)
#include "WindowCommandsTest.moc"
