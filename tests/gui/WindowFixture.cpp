#include "WindowFixture.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QLineEdit>
#include <algorithm>

namespace pamiro::testing {

using window::MessageAnswer;
using window::MessageButtons;
using window::MessageRequest;

ScriptedMessages::ScriptedMessages() {
    window::SetMessageHandler([this](QWidget*, const MessageRequest& request) {
        Shown.push_back(request);
        if (OnShow) OnShow(request);
        if (request.Buttons == MessageButtons::Ok) return MessageAnswer::Ok;
        if (Answers.empty()) return MessageAnswer::No;
        const MessageAnswer answer = Answers.front();
        Answers.pop_front();
        return answer;
    });
}

ScriptedMessages::~ScriptedMessages() { window::SetMessageHandler({}); }

WindowPlace::WindowPlace() {
    fs::create_directories(ProgramDir());
    fs::create_directories(SystemTemp());
    fs::create_directories(SettingsFile().parent_path());
    WriteDataFiles({{"T1", {"P1", "P2"}}, {"DEP", {"P1"}}});
}

void WindowPlace::WriteSettings(const std::string& text) const { WriteFile(SettingsFile(), text); }

std::string WindowPlace::Settings() const {
    return fs::exists(SettingsFile()) ? ReadFile(SettingsFile()) : std::string();
}

void WindowPlace::WriteDataFiles(const std::vector<TypeSpec>& types) const {
    WriteFile(ProgramDir() / "ver20_620.dat", EncodeDataFile(types, false));
    WriteFile(ProgramDir() / "ver51_620.dat", EncodeDataFile(types, true));
}

window::MainWindowOptions WindowPlace::Options() {
    window::MainWindowOptions options;
    options.SettingsFile = SettingsFile();
    options.ProgramDir = ProgramDir().string();
    options.SystemFolder = SystemFolder().string();
    options.EventIntervalMs = 0;
    options.EndProgram = [this] { ++Ended; };
    return options;
}

std::unique_ptr<window::MainWindow> WindowPlace::Open(window::MainWindowOptions options) {
    if (options.ProgramDir.empty()) options = Options();
    auto window = std::make_unique<window::MainWindow>(std::move(options));
    window->show();
    return window;
}

void Choose(QComboBox* box, const QString& text) {
    const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) {
        box->setCurrentIndex(index);
    } else {
        box->setEditText(text);
    }
}

std::vector<std::pair<std::string, std::string>> FolderContents(const fs::path& folder) {
    std::vector<std::pair<std::string, std::string>> files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        files.emplace_back(fs::relative(entry.path(), folder).string(), ReadFile(entry.path()));
    }
    std::sort(files.begin(), files.end());
    return files;
}

int RunCommandLine(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    std::string program = PAMIRO_CLI_PATH;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        // Its summary and messages would only clutter the test's output.
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

}  // namespace pamiro::testing
