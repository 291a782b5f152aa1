#pragma once

#include <QComboBox>
#include <QString>
#include <QStringList>

namespace pamiro::window {

// The volume (mount point) that holds a path; empty when there is none, as
// for a path that does not exist.
QString VolumeRootOf(const QString& path);

// The mount points of the machine's mounted volumes that are folders.
QStringList MountedDrives();

// A drive list: the machine's drives (mounted volumes), one of them selected.
// Selecting another drive, by the user or by the program, reports it.
class DriveList : public QComboBox {
    Q_OBJECT

  public:
    explicit DriveList(QWidget* parent = nullptr);

    // Replaces the entries without reporting a change; the selection stays on
    // the same drive when it is still listed.
    void SetDrives(const QStringList& roots);
    QString Drive() const;
    // Selects the drive, adding it when it is not listed; reports the change
    // when the selection changes.
    void SetDrive(const QString& root);
    // The same without reporting the change.
    void SetDriveQuietly(const QString& root);

  signals:
    void driveChanged(const QString& drive, const QString& previous);

  protected:
    // Drives come and go (a stick plugged in): read them anew on each opening.
    void showPopup() override;

  private:
    int IndexOf(const QString& root);
    void SelectionChanged();
    QString current_;
    bool quiet_ = false;
};

}  // namespace pamiro::window
