#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/WindowView.h"

class QComboBox;
class QLabel;

namespace Ui {
class frmBase;
}

namespace pamiro {
class WindowModel;
}

namespace pamiro::about {
class AboutWindow;
}

namespace pamiro::window {

// frmBase: the Qt view of the window model, which decides everything. The
// elements and their layout come from MainWindow.ui and carry the element
// names (NombreCP, Plataforma, DirFuente, ...); this class wires them.
class MainWindow : public QMainWindow, public WindowView {
    Q_OBJECT

  public:
    // endProgram ends the program; by default the application's event loop.
    explicit MainWindow(std::function<void()> endProgram = {});
    ~MainWindow() override;

    // Runs the model's window load, shows the window and, once it shows,
    // tells the model.
    void Open(WindowModel& model);

    void SetEntries(Element list, const std::vector<ListEntry>& entries) override;
    void SelectEntry(Element list, int index) override;
    int SelectedEntry(Element list) const override;
    std::string Text(Element element) const override;
    void SetText(Element element, std::string_view text) override;
    void SetFocus(Element element) override;
    void SetEnabled(bool enabled) override;
    MessageAnswer ShowMessage(const MessageRequest& request) override;
    void ProcessPendingEvents() override;
    void ShowAbout(const AboutTexts& texts) override;
    void EndProgram() override;

  signals:
    void programEnded();

  protected:
    void closeEvent(QCloseEvent* event) override;
    // Enter on an element goes to the model, whichever element has the focus.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Wire();
    QWidget* Widget(Element element) const;
    QComboBox* Choice(Element list) const;

    std::unique_ptr<Ui::frmBase> ui_;
    std::function<void()> endProgram_;
    WindowModel* model_ = nullptr;
    QLabel* panel1_ = nullptr;
    QLabel* panel2_ = nullptr;
    std::map<QObject*, Element> elements_;  // what Enter may be pressed on
    QPointer<about::AboutWindow> about_;
};

}  // namespace pamiro::window
