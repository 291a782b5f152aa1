#include "gui/MainWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include "app/WindowModel.h"
#include "gui/AboutWindow.h"
#include "gui/AppIcon.h"
#include "gui/MessageBoxes.h"
#include "ui_MainWindow.h"

namespace pamiro::window {

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

MainWindow::MainWindow(std::function<void()> endProgram)
    : ui_(std::make_unique<Ui::frmBase>()), endProgram_(std::move(endProgram)) {
    ui_->setupUi(this);
    setWindowIcon(about::AppIcon());
    // Status: panel 1 the current compound, panel 2 the current block.
    panel1_ = new QLabel(ui_->Status);
    panel1_->setObjectName(QStringLiteral("StatusPanel1"));
    panel2_ = new QLabel(ui_->Status);
    panel2_->setObjectName(QStringLiteral("StatusPanel2"));
    for (QLabel* panel : {panel1_, panel2_}) {
        panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        panel->setMinimumWidth(120);
        ui_->Status->addWidget(panel, 1);
    }
    ui_->mnuArchivo->menuAction()->setObjectName(QStringLiteral("mnuBase_1"));
    ui_->mnuAyuda->menuAction()->setObjectName(QStringLiteral("mnuBase_2"));
    ui_->mnuArchivo->actions().at(2)->setObjectName(QStringLiteral("mnuArchivo_2"));
    for (QComboBox* box : {ui_->Plataforma, ui_->Version, ui_->Fuente, ui_->Destino}) {
        // A typed text is what the user typed: never completed to an entry.
        box->setCompleter(nullptr);
    }
}

MainWindow::~MainWindow() = default;

void MainWindow::Open(WindowModel& model) {
    model_ = &model;
    Wire();
    model_->Load();
    show();
    QTimer::singleShot(0, this, [this] { model_->Shown(); });
}

void MainWindow::Wire() {
    connect(ui_->cmdEjecutar, &QPushButton::clicked, this, [this] { model_->Convert(); });
    for (Element list : {Element::DirFuente, Element::DirDestino}) {
        auto* folders = static_cast<FolderList*>(Widget(list));
        connect(folders, &QListWidget::itemDoubleClicked, this,
                [this, folders, list](QListWidgetItem* item) {
                    model_->EntryActivated(list, folders->row(item));
                });
    }
    for (Element list : {Element::DrvFuente, Element::DrvDestino}) {
        auto* drives = static_cast<DriveList*>(Widget(list));
        // Filling or selecting by the model blocks the signal: only the user's choice reaches it.
        connect(drives, &QComboBox::currentIndexChanged, this,
                [this, list](int index) { model_->DriveChosen(list, index); });
        connect(drives, &DriveList::opening, this,
                [this, list] { model_->DriveListOpening(list); });
    }
    connect(ui_->mnuArchivo_0, &QAction::triggered, this,
            [this] { model_->Menu(MenuCommand::Updates); });
    connect(ui_->mnuArchivo_1, &QAction::triggered, this,
            [this] { model_->Menu(MenuCommand::Configuration); });
    connect(ui_->mnuArchivo_3, &QAction::triggered, this,
            [this] { model_->Menu(MenuCommand::Exit); });
    connect(ui_->mnuAyuda_0, &QAction::triggered, this,
            [this] { model_->Menu(MenuCommand::About); });

    for (Element element :
         {Element::NombreCP, Element::Plataforma, Element::Version, Element::Fuente,
          Element::Destino, Element::DirFuente, Element::DrvFuente, Element::DirDestino,
          Element::DrvDestino, Element::cmdEjecutar}) {
        QWidget* widget = Widget(element);
        elements_[widget] = element;
        widget->installEventFilter(this);
        // An editable box's text part sees the key first.
        if (auto* box = qobject_cast<QComboBox*>(widget); box != nullptr && box->lineEdit()) {
            elements_[box->lineEdit()] = element;
            box->lineEdit()->installEventFilter(this);
        }
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || model_ == nullptr) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    const auto element = elements_.find(watched);
    if ((key != Qt::Key_Return && key != Qt::Key_Enter) || element == elements_.end()) return false;
    model_->EnterPressed(element->second);
    return true;
}

QWidget* MainWindow::Widget(Element element) const {
    switch (element) {
        case Element::NombreCP:
            return ui_->NombreCP;
        case Element::DirFuente:
            return ui_->DirFuente;
        case Element::DirDestino:
            return ui_->DirDestino;
        case Element::cmdEjecutar:
            return ui_->cmdEjecutar;
        default:
            return Choice(element);
    }
}

QComboBox* MainWindow::Choice(Element list) const {
    switch (list) {
        case Element::Plataforma:
            return ui_->Plataforma;
        case Element::Version:
            return ui_->Version;
        case Element::Fuente:
            return ui_->Fuente;
        case Element::Destino:
            return ui_->Destino;
        case Element::DrvFuente:
            return ui_->DrvFuente;
        case Element::DrvDestino:
            return ui_->DrvDestino;
        default:
            return nullptr;
    }
}

void MainWindow::SetEntries(Element list, const std::vector<ListEntry>& entries) {
    if (list == Element::DirFuente || list == Element::DirDestino) {
        static_cast<FolderList*>(Widget(list))->SetEntries(entries);
        return;
    }
    QComboBox* box = Choice(list);
    if (box == nullptr) return;
    const QSignalBlocker quiet(box);
    box->clear();
    for (const ListEntry& entry : entries) box->addItem(Q(entry.Text));
    SelectEntry(list, -1);
}

void MainWindow::SelectEntry(Element list, int index) {
    if (list == Element::DirFuente || list == Element::DirDestino) {
        auto* folders = static_cast<FolderList*>(Widget(list));
        if (index < 0) {
            folders->setCurrentItem(nullptr);
        } else {
            folders->setCurrentRow(index);
        }
        return;
    }
    QComboBox* box = Choice(list);
    if (box == nullptr) return;
    const QSignalBlocker quiet(box);
    box->setCurrentIndex(index >= 0 && index < box->count() ? index : -1);
    if (box->currentIndex() < 0 && box->isEditable()) box->setEditText(QString());
}

int MainWindow::SelectedEntry(Element list) const {
    if (list == Element::DirFuente || list == Element::DirDestino) {
        return static_cast<FolderList*>(Widget(list))->currentRow();
    }
    const QComboBox* box = Choice(list);
    return box != nullptr ? box->currentIndex() : -1;
}

std::string MainWindow::Text(Element element) const {
    if (element == Element::NombreCP) return ui_->NombreCP->text().toStdString();
    const QComboBox* box = Choice(element);
    return box != nullptr ? box->currentText().toStdString() : std::string();
}

void MainWindow::SetText(Element element, std::string_view text) {
    switch (element) {
        case Element::Window:
            setWindowTitle(Q(text));
            return;
        case Element::NombreCP:
            ui_->NombreCP->setText(Q(text));
            return;
        case Element::cmdEjecutar:
            ui_->cmdEjecutar->setText(Q(text));
            return;
        case Element::StatusPanel1:
            panel1_->setText(Q(text));
            return;
        case Element::StatusPanel2:
            panel2_->setText(Q(text));
            return;
        default:
            return;
    }
}

void MainWindow::SetFocus(Element element) {
    if (QWidget* widget = Widget(element)) widget->setFocus();
}

void MainWindow::SetEnabled(bool enabled) {
    // Every element lies in the central widget or the status bar.
    centralWidget()->setEnabled(enabled);
    ui_->Status->setEnabled(enabled);
    ui_->mnuArchivo->menuAction()->setEnabled(enabled);
    ui_->mnuAyuda->menuAction()->setEnabled(enabled);
}

MessageAnswer MainWindow::ShowMessage(const MessageRequest& request) {
    return ShowMessageBox(this, request);
}

void MainWindow::ProcessPendingEvents() { QCoreApplication::processEvents(); }

void MainWindow::ShowAbout(const AboutTexts& texts) {
    if (!about_) about_ = new about::AboutWindow(this, texts);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainWindow::EndProgram() {
    // Once the handler that asked has returned: the windows close (the model
    // lets this close go by without a question) and the event loop ends.
    QTimer::singleShot(0, this, [this] {
        if (about_) about_->close();
        close();
        emit programEnded();
        if (endProgram_) {
            endProgram_();
        } else {
            QCoreApplication::exit(0);
        }
    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (model_ == nullptr || model_->CloseRequested()) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace pamiro::window
