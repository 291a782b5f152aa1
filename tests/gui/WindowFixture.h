#pragma once

#include <QComboBox>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/MainWindow.h"
#include "gui/MessageBoxes.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {

// Replaces the window's message boxes while it lives: records every box and
// answers Yes/No questions from a queue (No when the queue is empty).
class ScriptedMessages {
  public:
    ScriptedMessages();
    ~ScriptedMessages();
    std::vector<window::MessageRequest> Shown;
    std::deque<window::MessageAnswer> Answers;
    // Called as a box is shown, before its answer is given.
    std::function<void(const window::MessageRequest&)> OnShow;
};

// A temporary place for one window: its settings file, a program folder with
// parameter data files, a system folder with its "tmp" subfolder.
class WindowPlace {
  public:
    WindowPlace();
    fs::path SettingsFile() const { return temp.Path() / "config" / "Pamiro.ini"; }
    fs::path ProgramDir() const { return temp.Path() / "program"; }
    fs::path SystemFolder() const { return temp.Path() / "system"; }
    fs::path SystemTemp() const { return SystemFolder() / "tmp"; }
    fs::path Path(const std::string& name) const { return temp.Path() / name; }
    void WriteSettings(const std::string& text) const;
    std::string Settings() const;

    // Data files for version 620 on every platform: types T1 (P1, P2) and DEP (P1).
    void WriteDataFiles(const std::vector<TypeSpec>& types) const;

    std::unique_ptr<window::MainWindow> Open(window::MainWindowOptions options = {});
    window::MainWindowOptions Options();
    int Ended = 0;
    TempDir temp;
};

template <class T>
T* Element(QObject* window, const char* name) {
    return window->findChild<T*>(QString::fromLatin1(name));
}

// Selects the entry with this text, or types the text when it is no entry.
void Choose(QComboBox* box, const QString& text);

// Every file below a folder with its bytes, by path relative to the folder.
std::vector<std::pair<std::string, std::string>> FolderContents(const fs::path& folder);

// Runs pamiro-cli with these arguments; returns its exit status.
int RunCommandLine(const std::vector<std::string>& arguments);

QString Q(const fs::path& path);

}  // namespace pamiro::testing
