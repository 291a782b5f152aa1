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
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStringDecoder>
#include <QTimer>
#include <QVBoxLayout>

#include "app/ProgramFolder.h"
#include "app/RequestCheck.h"
#include "gui/AboutWindow.h"
#include "gui/AppIcon.h"
#include "gui/DriveList.h"
#include "gui/FolderList.h"
#include "gui/MessageBoxes.h"
#include "gui/QtHost.h"
#include "run/RunConversion.h"

namespace pamiro::window {

namespace {

QString Latin1(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Labels in a store edited by hand are usually UTF-8; anything else is taken
// as Latin-1 rather than shown with replacement marks.
QString StoreText(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return utf8.hasError() ? Latin1(bytes) : text;
}

std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString PathText(const std::string& bytes) {
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QComboBox* ChoiceBox(QWidget* parent, const QString& name, const QStringList& entries) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    // A text part the user may type into; a typed text is never added.
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(entries);
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
    job_.ProgramDir = options_.ProgramDir.empty() ? ProgramFolder() : options_.ProgramDir;
    BuildElements();
    BuildMenus();
    LoadWindow();
    nombreCp_->setFocus();  // the one thing to type before converting
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
    plataforma_ =
        ChoiceBox(configuration, QStringLiteral("Plataforma"),
                  {QStringLiteral("PW (Intel)"), QStringLiteral("AW51"), QStringLiteral("AW70")});
    version_ = ChoiceBox(configuration, QStringLiteral("Version"), {});
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
    auto location = [&](const QString& side, const QStringList& formats) {
        Location made{};
        made.frame = Frame(central, QStringLiteral("fra") + side, side);
        made.format = ChoiceBox(made.frame, side, formats);
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
    const Location source = location(QStringLiteral("Fuente"),
                                     {QStringLiteral("Working File"), QStringLiteral("Save All")});
    const Location destination = location(
        QStringLiteral("Destino"), {QStringLiteral("FoxCAE Transfer"), QStringLiteral("ICC Api")});
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
    connect(cmdEjecutar_, &QPushButton::clicked, this, &MainWindow::Convert);

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

    // Before the stored folders are restored, both lists show the user's home.
    for (auto [folders, drives] : {std::pair{dirFuente_, drvFuente_}, {dirDestino_, drvDestino_}}) {
        folders->SetOpenFolder(QDir::homePath());
        drives->SetDriveQuietly(VolumeRootOf(folders->OpenFolder()));
        connect(drives, &DriveList::driveChanged, this,
                [this, folders, drives](const QString& drive, const QString& previous) {
                    CoupleDrive(*drives, *folders, drive, previous);
                });
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
    connect(updates, &QAction::triggered, this, &MainWindow::ShowUpdatesNotice);
    QAction* configuration = archivo->addAction(QStringLiteral("&Configuración"));
    configuration->setObjectName(QStringLiteral("mnuArchivo_1"));
    connect(configuration, &QAction::triggered, this, &MainWindow::SaveConfiguration);
    archivo->addSeparator()->setObjectName(QStringLiteral("mnuArchivo_2"));
    QAction* quit = archivo->addAction(QStringLiteral("&Salir"));
    quit->setObjectName(QStringLiteral("mnuArchivo_3"));
    connect(quit, &QAction::triggered, this, &MainWindow::EndProgram);

    QMenu* ayuda = bar->addMenu(QStringLiteral("A&yuda"));
    ayuda->setObjectName(QStringLiteral("mnuAyuda"));
    ayuda->menuAction()->setObjectName(QStringLiteral("mnuBase_2"));
    QAction* aboutItem = ayuda->addAction(QStringLiteral("&Acerca de..."));
    aboutItem->setObjectName(QStringLiteral("mnuAyuda_0"));
    connect(aboutItem, &QAction::triggered, this, &MainWindow::ShowAbout);

    topMenus_ = {archivo->menuAction(), ayuda->menuAction()};
}

void MainWindow::LoadWindow() {
    // The program name, then the sharp s of the Western code page and "3".
    setWindowTitle(QStringLiteral("Pamiro [") + QChar(0x00DF) + QStringLiteral("3]"));

    const StartChoices choices = LoadStartChoices(store_, options_.SystemFolder);
    job_.VersionTable = choices.VersionTable;
    for (const auto& row : job_.VersionTable) version_->addItem(StoreText(row.second));
    ShowEntry(*version_, choices.VersionIndex);
    ShowEntry(*plataforma_, choices.PlatformIndex);
    ShowEntry(*fuente_, choices.SourceIndex);
    ShowEntry(*destino_, choices.DestinationIndex);

    RestoreLocation(*dirFuente_, *drvFuente_, choices.SourceFolder);
    RestoreLocation(*dirDestino_, *drvDestino_, choices.DestinationFolder);

    if (!choices.StoreError.empty()) {
        const QString text =
            QStringLiteral("No se pueden guardar los parámetros: ") + PathText(choices.StoreError);
        QTimer::singleShot(0, this, [this, text] {
            ShowMessageBox(this, {MessageIcon::Warning, text, QStringLiteral("Pamiro")});
        });
    }
}

void MainWindow::RestoreLocation(FolderList& folders, DriveList& drives,
                                 const std::string& storedFolder) {
    // Only a folder that no longer exists falls back to the default; any
    // other failure leaves the list as it was, without a message.
    QString folderText = PathText(storedFolder);
    if (folders.SetOpenFolder(folderText) == FolderList::OpenResult::NotFound) {
        folderText = PathText(options_.SystemFolder);
        folders.SetOpenFolder(PathText(DefaultFolderUnder(options_.SystemFolder)));
    }
    // Like a choice of the user: a different drive runs the drive coupling.
    drives.SetDrive(VolumeRootOf(folderText));
}

void MainWindow::CoupleDrive(DriveList& drives, FolderList& folders, const QString& drive,
                             const QString& previous) {
    if (folders.OpenDrive(drive)) return;
    ShowMessageBox(this, {MessageIcon::Warning, QStringLiteral("Unidad no disponible"),
                          QStringLiteral("Working File")});
    const QString programDrive = VolumeRootOf(PathText(job_.ProgramDir));
    if (programDrive.isEmpty()) {
        // No drive to go back to: both lists stay as they were.
        drives.SetDriveQuietly(previous);
        return;
    }
    // Back on the program's drive; it is not reported a second time.
    drives.SetDriveQuietly(programDrive);
    folders.OpenDrive(programDrive);
}

void MainWindow::Freeze() {
    cmdEjecutar_->setText(QStringLiteral("Convirtiendo..."));
    for (QWidget* element : elements_) element->setEnabled(false);
    for (QAction* menu : topMenus_) menu->setEnabled(false);
}

void MainWindow::Restore() {
    cmdEjecutar_->setText(QStringLiteral("Convertir"));
    for (QWidget* element : elements_) element->setEnabled(true);
    for (QAction* menu : topMenus_) menu->setEnabled(true);
}

void MainWindow::SetStatusText(int panel, const QString& text) {
    (panel == 1 ? panel1_ : panel2_)->setText(text);
}

QString MainWindow::DestinationFolder() const { return dirDestino_->OpenFolder(); }

void MainWindow::Convert() {
    if (!job_.ConversionIdle) return;
    ConversionRequest request;
    request.CpNameText = nombreCp_->text().toLatin1().toStdString();
    request.PlatformIndex = SelectedIndex(*plataforma_);
    request.VersionIndex = SelectedIndex(*version_);
    request.SourceIndex = SelectedIndex(*fuente_);
    request.DestinationIndex = SelectedIndex(*destino_);
    request.SourceSelection = PathBytes(dirFuente_->SelectedPath());
    request.DestinationFolder = PathBytes(DestinationFolder());

    QtHost host(*this);
    // No exception may leave this handler: it runs inside Qt's event loop.
    try {
        const auto refusal = CheckRequest(request, job_, host);
        nombreCp_->setText(Latin1(request.CpNameText));
        if (refusal) {
            host.ShowMessage(MessageIcon::Critical, refusal->Text, refusal->Title);
            return;
        }
        RunConversion(job_, host, *SourceKindFromIndex(request.SourceIndex), request.CpNameText);
    } catch (const ConversionInterrupted&) {
        EndProgram();
        return;
    } catch (const std::exception& error) {
        job_.ConversionIdle = true;
        Restore();
        ShowMessageBox(this,
                       {MessageIcon::Critical,
                        QStringLiteral("Error interno: ") + QString::fromLocal8Bit(error.what()),
                        QStringLiteral("Pamiro")});
    }
    // The user asked to end the program while the run's last step went by.
    if (interruptRequested_) EndProgram();
}

void MainWindow::ShowUpdatesNotice() {
    ShowMessageBox(this, {MessageIcon::Warning, QStringLiteral("Función no implementada"),
                          QStringLiteral("Pamiro"), MessageButtons::Ok, true});
}

void MainWindow::SaveConfiguration() {
    const MessageAnswer answer = ShowMessageBox(
        this, {MessageIcon::Question,
               QStringLiteral("Desea guardar los parámetros actuales como predeterminados?"),
               QStringLiteral("Pamiro"), MessageButtons::YesNo});
    if (answer != MessageAnswer::Yes) return;
    const CurrentChoices choices{PathBytes(dirFuente_->SelectedPath()),
                                 PathBytes(dirDestino_->SelectedPath()),
                                 SelectedIndex(*version_),
                                 SelectedIndex(*plataforma_),
                                 SelectedIndex(*fuente_),
                                 SelectedIndex(*destino_)};
    if (!SaveAsDefaults(store_, choices, job_.VersionTable)) {
        ShowMessageBox(this, {MessageIcon::Warning,
                              QStringLiteral("No se pueden guardar los parámetros: ") +
                                  PathText(store_.Error()),
                              QStringLiteral("Pamiro")});
    }
}

void MainWindow::ShowAbout() {
    if (!about_) about_ = new about::AboutWindow(this);
    about_->show();
    about_->raise();
    about_->activateWindow();
}

void MainWindow::EndProgram() {
    ending_ = true;
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!ending_ && !job_.ConversionIdle) {
        // The run goes on unless the user confirms; on Yes it unwinds at its
        // next event processing, closing every file it has open.
        event->ignore();
        if (interruptRequested_) return;
        const MessageAnswer answer = ShowMessageBox(
            this, {MessageIcon::Question, QStringLiteral("Desea interrumpir la conversión?"),
                   QStringLiteral("Terminar el programa"), MessageButtons::YesNo});
        if (answer != MessageAnswer::No) interruptRequested_ = true;
        return;
    }
    event->accept();
    ending_ = true;
    if (about_) about_->close();
    if (ended_) return;
    ended_ = true;
    emit programEnded();
    if (options_.EndProgram) {
        options_.EndProgram();
    } else {
        QCoreApplication::exit(0);
    }
}

}  // namespace pamiro::window
