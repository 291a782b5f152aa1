#include "gui/FolderList.h"

#include <QStyle>
#include <QStyledItemDelegate>

namespace pamiro::window {

namespace {

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

}  // namespace

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

void FolderList::SetEntries(const std::vector<ListEntry>& entries) {
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    for (const ListEntry& entry : entries) {
        auto* item = new QListWidgetItem(entry.OpenFolder ? openIcon : closedIcon,
                                         QString::fromStdString(entry.Text), this);
        item->setData(kDepthRole, entry.Depth);
        item->setToolTip(QString::fromStdString(entry.Tip));
    }
    setCurrentItem(nullptr);
}

}  // namespace pamiro::window
