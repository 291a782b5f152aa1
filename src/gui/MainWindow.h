#pragma once

#include <QMainWindow>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/IniSettingsStore.h"
#include "run/ConversionJob.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace pamiro::about {
class AboutWindow;
}

namespace pamiro::window {

class DriveList;
class FolderList;

struct MainWindowOptions {
    std::filesystem::path SettingsFile = DefaultSettingsFile();
    // Where the parameter data files and base sources lie.
    std::string ProgramDir;  // empty: the executable's folder
    // The counterpart of the Windows folder; its "tmp" subfolder is the
    // default source and destination folder.
    std::string SystemFolder = std::string(kSystemFolder);
    // How often a run lets the window handle pending events.
    int EventIntervalMs = 20;
    // Ends the program; by default the application's event loop.
    std::function<void()> EndProgram;
};

// frmBase: the window in which the user states one conversion and starts it.
// Widgets carry the element names (NombreCP, Plataforma, DirFuente, ...).
class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    explicit MainWindow(MainWindowOptions options = {});
    ~MainWindow() override;

    const ConversionJob& Job() const { return job_; }
    bool InterruptRequested() const { return interruptRequested_; }

    // What the conversion host needs of the window.
    void Freeze();
    void Restore();
    void SetStatusText(int panel, const QString& text);
    QString DestinationFolder() const;
    int EventIntervalMs() const { return options_.EventIntervalMs; }

  signals:
    void programEnded();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildElements();
    void BuildMenus();
    void LoadWindow();
    void RestoreLocation(FolderList& folders, DriveList& drives, const std::string& storedFolder);
    void CoupleDrive(DriveList& drives, FolderList& folders, const QString& drive,
                     const QString& previous);

    void Convert();
    void ShowUpdatesNotice();
    void SaveConfiguration();
    void ShowAbout();
    void EndProgram();

    MainWindowOptions options_;
    IniSettingsStore store_;
    ConversionJob job_;
    bool interruptRequested_ = false;
    bool ending_ = false;  // closing without the question
    bool ended_ = false;   // the program's end has been announced

    QLineEdit* nombreCp_ = nullptr;
    QComboBox* plataforma_ = nullptr;
    QComboBox* version_ = nullptr;
    QComboBox* fuente_ = nullptr;
    QComboBox* destino_ = nullptr;
    FolderList* dirFuente_ = nullptr;
    DriveList* drvFuente_ = nullptr;
    FolderList* dirDestino_ = nullptr;
    DriveList* drvDestino_ = nullptr;
    QPushButton* cmdEjecutar_ = nullptr;
    QLabel* panel1_ = nullptr;
    QLabel* panel2_ = nullptr;
    std::vector<QWidget*> elements_;  // every element frozen during a run
    std::vector<QAction*> topMenus_;  // "&Archivo" and "A&yuda"
    QPointer<about::AboutWindow> about_;
};

// The selection index of a combo box: the entry its text shows, -1 when the
// text is no entry (typed by hand, or nothing shown).
int SelectedIndex(const QComboBox& box);
// Shows entry index in the text part and selects it; -1 leaves it empty.
void ShowEntry(QComboBox& box, int index);

}  // namespace pamiro::window
