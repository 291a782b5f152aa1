#pragma once

#include <QHash>
#include <QListWidget>
#include <QString>

namespace pamiro::window {

// A folder list: shows an open folder with its ancestors above it and its
// subfolders below it. A click highlights an entry (the selected entry); a
// double click or Enter opens it.
class FolderList : public QListWidget {
    Q_OBJECT

  public:
    enum class OpenResult { Opened, NotFound, Failed };

    explicit FolderList(QWidget* parent = nullptr);

    // NotFound only when nothing exists at the path; Failed when it is no
    // folder or cannot be read. On failure the list stays as it was.
    OpenResult SetOpenFolder(const QString& path);
    // Opens the folder last opened on the drive (volume), or the drive's root;
    // false when that cannot be read.
    bool OpenDrive(const QString& driveRoot);
    // Re-reads the entries; false when the open folder cannot be read.
    bool Refresh();

    QString OpenFolder() const { return open_; }
    // The highlighted entry's full path; the open folder until the user
    // highlights another entry.
    QString SelectedPath() const;
    // Highlights the entry of a path shown in the list; false if not shown.
    bool HighlightPath(const QString& path);

  private:
    void OpenActivated(QListWidgetItem* item);
    QString open_;
    QHash<QString, QString> lastOnDrive_;
};

}  // namespace pamiro::window
