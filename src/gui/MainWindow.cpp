#include "gui/MainWindow.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>
#include <tuple>

#include "app/ProgramFolder.h"
#include "gui/AboutWindow.h"
#include "gui/AppIcon.h"
#include "gui/DriveList.h"
#include "gui/FolderList.h"
#include "gui/MessageBoxes.h"

namespace pamiro::window {

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QComboBox* ChoiceBox(QWidget* parent, const QString& name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    // A text part the user may type into; a typed text is never added.
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->completer()->setCaseSensitivity(Qt::CaseSensitive);
    box->setCurrentIndex(-1);
    return box;
}

QLabel* Label(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QGroupBox* Frame(QWidget* parent, const QString& name, const QString& caption) {
    auto* frame = new QGroupBox(caption, parent);
    frame->setObjectName(name);
    return frame;
}

}  // namespace

int SelectedIndex(const QComboBox& box) {
    const QString text = box.currentText();
    if (text.isEmpty()) return -1;
    const int current = box.currentIndex();
    if (current >= 0 && box.itemText(current) == text) return current;
    return box.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void ShowEntry(QComboBox& box, int index) {
    box.setCurrentIndex(index >= 0 && index < box.count() ? index : -1);
    if (box.currentIndex() < 0) box.setEditText(QString());
}

MainWindow::MainWindow(MainWindowOptions options)
    : options_(std::move(options)), store_(options_.SettingsFile) {
    setObjectName(QStringLiteral("frmBase"));
    setWindowIcon(about::AppIcon());
    BuildElements();
    BuildMenus();
    WindowOptions model{options_.ProgramDir.empty() ? ProgramFolder() : options_.ProgramDir,
                        options_.SystemFolder, QFile::encodeName(QDir::homePath()).toStdString(),
                        std::chrono::milliseconds(options_.EventIntervalMs), options_.ListDrives};
    model_ = std::make_unique<WindowModel>(*this, store_, std::move(model));
    model_->Load();
    nombreCp_->setFocus();  // the one thing to type before converting
    // A store that could not be written is reported once the window shows.
    QTimer::singleShot(0, this, [this] { model_->Shown(); });
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildElements() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    // Configuración: the three fields of the conversion, side by side.
    QGroupBox* configuration =
        Frame(central, QStringLiteral("fraConfiguracion"), QStringLiteral("Configuración"));
    nombreCp_ = new QLineEdit(configuration);
    nombreCp_->setObjectName(QStringLiteral("NombreCP"));
    plataforma_ = ChoiceBox(configuration, QStringLiteral("Plataforma"));
    version_ = ChoiceBox(configuration, QStringLiteral("Version"));
    QLabel* lblNombre =
        Label(configuration, QStringLiteral("lblNombreCP"), QStringLiteral("Nombre del CP"));
    QLabel* lblPlataforma =
        Label(configuration, QStringLiteral("lblPlataforma"), QStringLiteral("Plataforma"));
    QLabel* lblVersion =
        Label(configuration, QStringLiteral("lblVersion"), QStringLiteral("Versión de I/A"));
    lblNombre->setBuddy(nombreCp_);
    lblPlataforma->setBuddy(plataforma_);
    lblVersion->setBuddy(version_);
    auto* configurationLayout = new QGridLayout(configuration);
    configurationLayout->setHorizontalSpacing(14);
    configurationLayout->addWidget(lblNombre, 0, 0);
    configurationLayout->addWidget(lblPlataforma, 0, 1);
    configurationLayout->addWidget(lblVersion, 0, 2);
    configurationLayout->addWidget(nombreCp_, 1, 0);
    configurationLayout->addWidget(plataforma_, 1, 1);
    configurationLayout->addWidget(version_, 1, 2);
    configurationLayout->setColumnStretch(0, 2);
    configurationLayout->setColumnStretch(1, 2);
    configurationLayout->setColumnStretch(2, 3);

    // A location frame: format, then the folder list with its drive list under it.
    struct Location {
        QGroupBox* frame;
        QComboBox* format;
        FolderList* folders;
        DriveList* drives;
        QLabel* formatLabel;
        QLabel* placeLabel;
    };
    auto location = [&](const QString& side) {
        Location made{};
        made.frame = Frame(central, QStringLiteral("fra") + side, side);
        made.format = ChoiceBox(made.frame, side);
        made.folders = new FolderList(made.frame);
        made.folders->setObjectName(QStringLiteral("Dir") + side);
        made.drives = new DriveList(made.frame);
        made.drives->setObjectName(QStringLiteral("Drv") + side);
        made.formatLabel =
            Label(made.frame, QStringLiteral("lblFormato") + side, QStringLiteral("Formato"));
        made.placeLabel =
            Label(made.frame, QStringLiteral("lblUbicacion") + side, QStringLiteral("Ubicación"));
        made.formatLabel->setBuddy(made.format);
        made.placeLabel->setBuddy(made.folders);
        auto* grid = new QGridLayout(made.frame);
        grid->setHorizontalSpacing(10);
        grid->addWidget(made.formatLabel, 0, 0);
        grid->addWidget(made.format, 0, 1);
        grid->addWidget(made.placeLabel, 1, 0, Qt::AlignTop);
        grid->addWidget(made.folders, 1, 1);
        grid->addWidget(made.drives, 2, 1);
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(1, 1);
        made.folders->setMinimumHeight(190);
        return made;
    };
    const Location source = location(QStringLiteral("Fuente"));
    const Location destination = location(QStringLiteral("Destino"));
    fuente_ = source.format;
    dirFuente_ = source.folders;
    drvFuente_ = source.drives;
    destino_ = destination.format;
    dirDestino_ = destination.folders;
    drvDestino_ = destination.drives;

    cmdEjecutar_ = new QPushButton(QStringLiteral("Convertir"), central);
    cmdEjecutar_->setObjectName(QStringLiteral("cmdEjecutar"));
    cmdEjecutar_->setMinimumWidth(150);
    cmdEjecutar_->setDefault(true);
    connect(cmdEjecutar_, &QPushButton::clicked, this, [this] { model_->Convert(); });

    auto* locations = new QHBoxLayout;
    locations->setSpacing(10);
    locations->addWidget(source.frame, 1);
    locations->addWidget(destination.frame, 1);
    auto* button = new QHBoxLayout;
    button->addStretch(1);
    button->addWidget(cmdEjecutar_);
    button->addStretch(1);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(10, 8, 10, 6);
    layout->setSpacing(10);
    layout->addWidget(configuration);
    layout->addLayout(locations, 1);
    layout->addLayout(button);

    // Status: panel 1 the current compound, panel 2 the current block.
    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("Status"));
    panel1_ = new QLabel(status);
    panel1_->setObjectName(QStringLiteral("StatusPanel1"));
    panel2_ = new QLabel(status);
    panel2_->setObjectName(QStringLiteral("StatusPanel2"));
    for (QLabel* panel : {panel1_, panel2_}) {
        panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        panel->setMinimumWidth(120);
        status->addWidget(panel, 1);
    }

    elements_ = {configuration,
                 source.frame,
                 destination.frame,
                 lblNombre,
                 lblPlataforma,
                 lblVersion,
                 source.formatLabel,
                 source.placeLabel,
                 destination.formatLabel,
                 destination.placeLabel,
                 nombreCp_,
                 plataforma_,
                 version_,
                 fuente_,
                 drvFuente_,
                 dirFuente_,
                 destino_,
                 drvDestino_,
                 dirDestino_,
                 cmdEjecutar_,
                 status};

    for (auto [folders, drives, dir, drv] :
         {std::tuple{dirFuente_, drvFuente_, Element::DirFuente, Element::DrvFuente},
          {dirDestino_, drvDestino_, Element::DirDestino, Element::DrvDestino}}) {
        connect(folders, &QListWidget::itemActivated, this,
                [this, folders, list = dir](QListWidgetItem* item) {
                    model_->EntryActivated(list, folders->row(item));
                });
        // Filling or selecting by the model blocks the signal: only the user's choice reaches it.
        connect(drives, &QComboBox::currentIndexChanged, this,
                [this, list = drv](int index) { model_->DriveChosen(list, index); });
        connect(drives, &DriveList::opening, this,
                [this, list = drv] { model_->DriveListOpening(list); });
    }
    setMinimumSize(720, 540);
    resize(760, 560);
}

void MainWindow::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("mnuBase"));

    QMenu* archivo = bar->addMenu(QStringLiteral("&Archivo"));
    archivo->setObjectName(QStringLiteral("mnuArchivo"));
    archivo->menuAction()->setObjectName(QStringLiteral("mnuBase_1"));
    QAction* updates = archivo->addAction(QStringLiteral("&Actualizaciones"));
    updates->setObjectName(QStringLiteral("mnuArchivo_0"));
    connect(updates, &QAction::triggered, this, [this] { model_->Menu(MenuCommand::Updates); });
    QAction* configuration = archivo->addAction(QStringLiteral("&Configuración"));
    configuration->setObjectName(QStringLiteral("mnuArchivo_1"));
    connect(configuration, &QAction::triggered, this,
            [this] { model_->Menu(MenuCommand::Configuration); });
    archivo->addSeparator()->setObjectName(QStringLiteral("mnuArchivo_2"));
    QAction* quit = archivo->addAction(QStringLiteral("&Salir"));
    quit->setObjectName(QStringLiteral("mnuArchivo_3"));
    connect(quit, &QAction::triggered, this, [this] { model_->Menu(MenuCommand::Exit); });

    QMenu* ayuda = bar->addMenu(QStringLiteral("A&yuda"));
    ayuda->setObjectName(QStringLiteral("mnuAyuda"));
    ayuda->menuAction()->setObjectName(QStringLiteral("mnuBase_2"));
    QAction* aboutItem = ayuda->addAction(QStringLiteral("&Acerca de..."));
    aboutItem->setObjectName(QStringLiteral("mnuAyuda_0"));
    connect(aboutItem, &QAction::triggered, this, [this] { model_->Menu(MenuCommand::About); });

    topMenus_ = {archivo->menuAction(), ayuda->menuAction()};
}

QComboBox* MainWindow::Choice(Element list) const {
    switch (list) {
        case Element::Plataforma:
            return plataforma_;
        case Element::Version:
            return version_;
        case Element::Fuente:
            return fuente_;
        case Element::Destino:
            return destino_;
        case Element::DrvFuente:
            return drvFuente_;
        case Element::DrvDestino:
            return drvDestino_;
        default:
            return nullptr;
    }
}

void MainWindow::SetEntries(Element list, const std::vector<ListEntry>& entries) {
    if (list == Element::DirFuente || list == Element::DirDestino) {
        (list == Element::DirFuente ? dirFuente_ : dirDestino_)->SetEntries(entries);
        return;
    }
    QComboBox* box = Choice(list);
    if (box == nullptr) return;
    const QSignalBlocker quiet(box);
    box->clear();
    for (const ListEntry& entry : entries) box->addItem(Q(entry.Text));
    ShowEntry(*box, -1);
}

void MainWindow::SelectEntry(Element list, int index) {
    if (list == Element::DirFuente || list == Element::DirDestino) {
        FolderList* folders = list == Element::DirFuente ? dirFuente_ : dirDestino_;
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
    ShowEntry(*box, index);
}

int MainWindow::SelectedEntry(Element list) const {
    if (list == Element::DirFuente) return dirFuente_->currentRow();
    if (list == Element::DirDestino) return dirDestino_->currentRow();
    if (list == Element::DrvFuente || list == Element::DrvDestino) {
        return Choice(list)->currentIndex();
    }
    const QComboBox* box = Choice(list);
    return box != nullptr ? SelectedIndex(*box) : -1;
}

std::string MainWindow::Text(Element element) const {
    return element == Element::NombreCP ? nombreCp_->text().toStdString() : std::string();
}

void MainWindow::SetText(Element element, std::string_view text) {
    switch (element) {
        case Element::Window:
            setWindowTitle(Q(text));
            return;
        case Element::NombreCP:
            nombreCp_->setText(Q(text));
            return;
        case Element::cmdEjecutar:
            cmdEjecutar_->setText(Q(text));
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

void MainWindow::SetEnabled(bool enabled) {
    for (QWidget* element : elements_) element->setEnabled(enabled);
    for (QAction* menu : topMenus_) menu->setEnabled(enabled);
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
    ended_ = true;
    if (about_) about_->close();
    if (!closing_) close();
    emit programEnded();
    if (options_.EndProgram) {
        options_.EndProgram();
    } else {
        QCoreApplication::exit(0);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    closing_ = true;
    const bool mayClose = model_->CloseRequested();
    closing_ = false;
    if (mayClose) {
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace pamiro::window
