#include "gui/DriveList.h"

#include <QFileInfo>
#include <QStorageInfo>

namespace pamiro::window {

QString VolumeRootOf(const QString& path) {
    if (path.isEmpty()) return {};
    const QStorageInfo volume(path);
    return volume.isValid() ? volume.rootPath() : QString();
}

QStringList MountedDrives() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        // Files bind-mounted into a container are volumes too, but no drive.
        if (!volume.isValid() || !QFileInfo(volume.rootPath()).isDir()) continue;
        if (!roots.contains(volume.rootPath())) roots.append(volume.rootPath());
    }
    roots.sort();
    return roots;
}

namespace {

QString DriveLabel(const QString& root) {
    const QStorageInfo volume(root);
    const QString name = volume.isValid() ? volume.name() : QString();
    return name.isEmpty() || name == root ? root : root + QStringLiteral("  [") + name + ']';
}

}  // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
    connect(this, &QComboBox::currentIndexChanged, this, &DriveList::SelectionChanged);
    SetDrives(MountedDrives());
}

void DriveList::SetDrives(const QStringList& roots) {
    const QString keep = current_;
    quiet_ = true;
    clear();
    for (const QString& root : roots) addItem(DriveLabel(root), root);
    int index = findData(keep);
    if (index < 0 && !keep.isEmpty()) {
        // The selected drive is gone from the list; it stays shown until
        // another is chosen, as it is still what the folder list is on.
        addItem(DriveLabel(keep), keep);
        index = count() - 1;
    }
    setCurrentIndex(index);
    quiet_ = false;
}

QString DriveList::Drive() const { return current_; }

int DriveList::IndexOf(const QString& root) {
    int index = findData(root);
    if (index < 0) {
        addItem(DriveLabel(root), root);
        index = count() - 1;
    }
    return index;
}

void DriveList::SetDrive(const QString& root) {
    if (root.isEmpty()) return;
    setCurrentIndex(IndexOf(root));
}

void DriveList::SetDriveQuietly(const QString& root) {
    quiet_ = true;
    if (root.isEmpty()) {
        setCurrentIndex(-1);
    } else {
        setCurrentIndex(IndexOf(root));
    }
    current_ = currentData().toString();
    quiet_ = false;
}

void DriveList::SelectionChanged() {
    const QString previous = current_;
    current_ = currentData().toString();
    if (quiet_ || current_ == previous) return;
    emit driveChanged(current_, previous);
}

void DriveList::showPopup() {
    SetDrives(MountedDrives());
    QComboBox::showPopup();
}

}  // namespace pamiro::window
