#pragma once

#include <QMainWindow>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/IniSettingsStore.h"
#include "app/WindowModel.h"
#include "app/WindowView.h"
#include "core/NativeSystem.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
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
    std::string SystemFolder = pamiro::SystemFolder();
    // How often a run lets the window handle pending events.
    int EventIntervalMs = 20;
    // Ends the program; by default the application's event loop.
    std::function<void()> EndProgram;
    // The drives a drive list offers; by default the machine's.
    std::function<std::vector<std::string>()> ListDrives;
};

// frmBase: the Qt view of the window model, which decides everything.
// Widgets carry the element names (NombreCP, Plataforma, DirFuente, ...).
class MainWindow : public QMainWindow, public WindowView {
    Q_OBJECT

  public:
    explicit MainWindow(MainWindowOptions options = {});
    ~MainWindow() override;

    WindowModel& Model() { return *model_; }
    const ConversionJob& Job() const { return model_->Job(); }

    void SetEntries(Element list, const std::vector<ListEntry>& entries) override;
    void SelectEntry(Element list, int index) override;
    int SelectedEntry(Element list) const override;
    std::string Text(Element element) const override;
    void SetText(Element element, std::string_view text) override;
    void SetEnabled(bool enabled) override;
    MessageAnswer ShowMessage(const MessageRequest& request) override;
    void ProcessPendingEvents() override;
    void ShowAbout(const AboutTexts& texts) override;
    void EndProgram() override;

  signals:
    void programEnded();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildElements();
    void BuildMenus();
    QComboBox* Choice(Element list) const;

    MainWindowOptions options_;
    IniSettingsStore store_;
    std::unique_ptr<WindowModel> model_;
    bool ended_ = false;    // the program's end has been announced
    bool closing_ = false;  // inside a close request

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
