#include "gui/FolderList.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStyle>
#include <QStyledItemDelegate>

#include "gui/DriveList.h"

namespace pamiro::window {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kIndentStep = 14;

// Indents each entry by its depth, so the open folder's ancestors read as a
// path going down and its subfolders sit one step further in.
class IndentDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented = option;
        indented.rect.setLeft(option.rect.left() + Indent(index));
        QStyledItemDelegate::paint(painter, indented, index);
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.rwidth() += Indent(index);
        return size;
    }

  private:
    static int Indent(const QModelIndex& index) {
        return index.data(kDepthRole).toInt() * kIndentStep;
    }
};

QString CleanAbsolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool IsReadableFolder(const QFileInfo& info) {
    return info.isDir() && info.isReadable() && info.isExecutable();
}

}  // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemActivated, this, &FolderList::OpenActivated);
}

FolderList::OpenResult FolderList::SetOpenFolder(const QString& path) {
    if (path.isEmpty()) return OpenResult::NotFound;
    const QFileInfo info(path);
    if (!info.exists()) return OpenResult::NotFound;
    if (!IsReadableFolder(info)) return OpenResult::Failed;
    open_ = CleanAbsolute(path);
    setCurrentItem(nullptr);  // a newly opened folder is its own selected entry
    const QString drive = VolumeRootOf(open_);
    if (!drive.isEmpty()) lastOnDrive_.insert(drive, open_);
    Refresh();
    return OpenResult::Opened;
}

bool FolderList::OpenDrive(const QString& driveRoot) {
    QString folder = lastOnDrive_.value(driveRoot);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = driveRoot;
    return SetOpenFolder(folder) == OpenResult::Opened && Refresh();
}

bool FolderList::Refresh() {
    const QString highlighted = SelectedPath();
    const QFileInfo info(open_);
    if (open_.isEmpty() || !IsReadableFolder(info)) return false;

    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto add = [&](const QString& text, const QString& path, int depth, const QIcon& icon) {
        auto* item = new QListWidgetItem(icon, text, this);
        item->setData(kPathRole, path);
        item->setData(kDepthRole, depth);
        item->setToolTip(path);
        return item;
    };

    // Ancestors down to the open folder itself.
    QStringList parts = open_.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString path = QStringLiteral("/");
    add(path, path, 0, openIcon);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        path = (i == 0 ? QStringLiteral("/") : path + QLatin1Char('/')) + parts[i];
        add(parts[i], path, static_cast<int>(i) + 1, openIcon);
    }
    const int openRow = count() - 1;

    const QDir folder(open_);
    const QFileInfoList subfolders = folder.entryInfoList(
        QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
    for (const QFileInfo& sub : subfolders) {
        add(sub.fileName(), folder.filePath(sub.fileName()), static_cast<int>(parts.size()) + 1,
            closedIcon);
    }
    if (!HighlightPath(highlighted)) setCurrentRow(openRow);
    return true;
}

QString FolderList::SelectedPath() const {
    const QListWidgetItem* item = currentItem();
    return item != nullptr ? item->data(kPathRole).toString() : open_;
}

bool FolderList::HighlightPath(const QString& path) {
    for (int row = 0; row < count(); ++row) {
        if (item(row)->data(kPathRole).toString() == path) {
            setCurrentRow(row);
            return true;
        }
    }
    return false;
}

void FolderList::OpenActivated(QListWidgetItem* item) {
    const QString path = item->data(kPathRole).toString();
    if (SetOpenFolder(path) != OpenResult::Opened) {
        // Gone or unreadable since it was listed: show the folder as it is now.
        QApplication::beep();
        Refresh();
    }
}

}  // namespace pamiro::window
