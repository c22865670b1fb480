#include "app/widgets/ProjectTreeModel.h"

#include <QMimeData>
#include <QPalette>
#include <QStringList>

#include <algorithm>

namespace pavonia {

namespace {

const char* const kItemMime = "application/x-pavonia-tree-item";

int levelOf(const TreeItem& item)
{
    switch (item.kind()) {
    case ItemKind::Root:
        return 0;
    case ItemKind::Session:
        return 1;
    default:
        return 2;
    }
}

// The rows from the root down to `item`, as text: "0/2/1".
QString pathOf(const TreeItem& item)
{
    QStringList rows;
    for (const TreeItem* at = &item; at; at = at->parent())
        rows.prepend(QString::number(at->row()));
    return rows.join('/');
}

} // namespace

ProjectTreeModel::ProjectTreeModel(ProjectTree& tree, TreeOperations& operations, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree), operations_(operations)
{
    tree_.setObserver(this);
}

ProjectTreeModel::~ProjectTreeModel()
{
    tree_.setObserver(nullptr);
}

void ProjectTreeModel::setIcons(const QIcon& root, const QIcon& session, const QIcon& slide)
{
    icons_[0] = root;
    icons_[1] = session;
    icons_[2] = slide;
}

void ProjectTreeModel::suspend()
{
    if (suspended_)
        return;
    beginResetModel();
    suspended_ = true;
    highlighted_ = nullptr;
    tree_.setObserver(nullptr);
    endResetModel();
}

void ProjectTreeModel::resume()
{
    if (!suspended_)
        return;
    beginResetModel();
    suspended_ = false;
    tree_.setObserver(this);
    endResetModel();
}

void ProjectTreeModel::setHighlighted(const TreeItem* item)
{
    const TreeItem* before = highlighted_;
    highlighted_ = item;
    for (const TreeItem* changed : {before, item})
        if (changed && tree_.contains(changed)) {
            const QModelIndex at = indexOf(changed);
            emit dataChanged(at, at, {Qt::BackgroundRole, Qt::ForegroundRole});
        }
}

QModelIndex ProjectTreeModel::indexOf(const TreeItem* item) const
{
    if (!item)
        return {};
    return createIndex(static_cast<int>(item->row()), 0, const_cast<TreeItem*>(item));
}

TreeItem* ProjectTreeModel::itemAt(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<TreeItem*>(index.internalPointer()) : nullptr;
}

QModelIndex ProjectTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (suspended_)
        return {};
    if (!parent.isValid())
        return row == 0 ? indexOf(&tree_.root()) : QModelIndex();
    const TreeItem* child = itemAt(parent)->child(static_cast<std::size_t>(row));
    return child ? createIndex(row, 0, const_cast<TreeItem*>(child)) : QModelIndex();
}

QModelIndex ProjectTreeModel::parent(const QModelIndex& child) const
{
    const TreeItem* item = itemAt(child);
    return item ? indexOf(item->parent()) : QModelIndex();
}

int ProjectTreeModel::rowCount(const QModelIndex& parent) const
{
    if (suspended_)
        return 0;
    if (!parent.isValid())
        return 1;
    if (parent.column() != 0)
        return 0;
    return static_cast<int>(itemAt(parent)->childCount());
}

int ProjectTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant ProjectTreeModel::data(const QModelIndex& index, int role) const
{
    const TreeItem* item = itemAt(index);
    if (!item)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return QString::fromStdString(item->text());
    case Qt::DecorationRole:
        return icons_[levelOf(*item)];
    case Qt::BackgroundRole:
        return item == highlighted_ ? QVariant(QPalette().brush(QPalette::Highlight)) : QVariant();
    case Qt::ForegroundRole:
        return item == highlighted_ ? QVariant(QPalette().brush(QPalette::HighlightedText)) : QVariant();
    default:
        return {};
    }
}

bool ProjectTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    TreeItem* item = itemAt(index);
    if (role != Qt::EditRole || !item || !operations_.canRename(*item))
        return false;
    operations_.endRename(*item, value.toString().toStdString());
    return true;
}

Qt::ItemFlags ProjectTreeModel::flags(const QModelIndex& index) const
{
    const TreeItem* item = itemAt(index);
    if (!item)
        return Qt::ItemIsDropEnabled;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
    if (item->kind() != ItemKind::Root)
        flags |= Qt::ItemIsDragEnabled;
    if (operations_.canRename(*item))
        flags |= Qt::ItemIsEditable;
    return flags;
}

// ---------------------------------------------------------------------------
// Drag and drop

Qt::DropActions ProjectTreeModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions ProjectTreeModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

QStringList ProjectTreeModel::mimeTypes() const
{
    return {kItemMime};
}

QMimeData* ProjectTreeModel::mimeData(const QModelIndexList& indexes) const
{
    if (indexes.size() != 1 || !itemAt(indexes.front()))
        return nullptr;
    auto* data = new QMimeData;
    data->setData(kItemMime, pathOf(*itemAt(indexes.front())).toUtf8());
    return data;
}

TreeItem* ProjectTreeModel::draggedItem(const QMimeData* data) const
{
    if (!data || !data->hasFormat(kItemMime))
        return nullptr;
    const QStringList rows = QString::fromUtf8(data->data(kItemMime)).split('/');
    if (rows.isEmpty() || rows.front() != "0")
        return nullptr;
    TreeItem* item = &tree_.root();
    for (qsizetype i = 1; i < rows.size() && item; ++i) {
        bool ok = false;
        const int row = rows[i].toInt(&ok);
        item = ok && row >= 0 ? item->child(static_cast<std::size_t>(row)) : nullptr;
    }
    return item;
}

int ProjectTreeModel::placeOf(const TreeItem& item, const TreeItem& target) const
{
    std::vector<TreeItem*> order = item.kind() == ItemKind::Session ? tree_.sessions() : tree_.allSlides();
    const auto at = std::find(order.begin(), order.end(), &item);
    const auto to = std::find(order.begin(), order.end(), &target);
    if (at == order.end() || to == order.end() || at == to)
        return 0;
    return to < at ? -1 : 1;
}

bool ProjectTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int,
                                       const QModelIndex& parent) const
{
    const TreeItem* item = draggedItem(data);
    const TreeItem* target = itemAt(parent);
    return action == Qt::MoveAction && item && target && item != target && item->kind() == target->kind() &&
           item->kind() != ItemKind::Root;
}

bool ProjectTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                    const QModelIndex& parent)
{
    if (!canDropMimeData(data, action, row, column, parent) || !moveStep_)
        return false;
    TreeItem* item = draggedItem(data);
    const TreeItem* target = itemAt(parent);
    // Each step moves one place, with the prompts of the move commands at
    // session boundaries; a refused step ends the drop. A slide crossing a
    // session boundary keeps its place in presentation order, so the steps
    // are bounded by twice the number of items.
    const std::size_t limit = 2 * (tree_.sessions().size() + tree_.allSlides().size()) + 2;
    const int direction = placeOf(*item, *target);
    for (std::size_t step = 0; step < limit && tree_.contains(item) && tree_.contains(target); ++step) {
        if (placeOf(*item, *target) != direction)
            break;
        if (!moveStep_(*item, direction < 0))
            break;
    }
    // The tree has moved the item itself; the view must not remove it.
    return false;
}

// ---------------------------------------------------------------------------
// Following the tree

void ProjectTreeModel::aboutToInsert(TreeItem& parent, std::size_t row)
{
    const int at = static_cast<int>(row);
    beginInsertRows(indexOf(&parent), at, at);
}

void ProjectTreeModel::inserted(TreeItem&)
{
    endInsertRows();
}

void ProjectTreeModel::aboutToRemove(TreeItem& item)
{
    const int at = static_cast<int>(item.row());
    beginRemoveRows(indexOf(item.parent()), at, at);
}

void ProjectTreeModel::removed(TreeItem&)
{
    endRemoveRows();
}

void ProjectTreeModel::aboutToMove(TreeItem& item, TreeItem& newParent, std::size_t row)
{
    const int from = static_cast<int>(item.row());
    // Qt refuses a move to the place the item already has: nothing changes.
    moving_ = beginMoveRows(indexOf(item.parent()), from, from, indexOf(&newParent), static_cast<int>(row));
}

void ProjectTreeModel::moved(TreeItem&)
{
    if (moving_)
        endMoveRows();
    moving_ = false;
}

void ProjectTreeModel::textChanged(TreeItem& item)
{
    const QModelIndex at = indexOf(&item);
    emit dataChanged(at, at, {Qt::DisplayRole, Qt::EditRole});
}

void ProjectTreeModel::selectionChanged(TreeItem* item)
{
    emit treeSelectionChanged(indexOf(item));
}

} // namespace pavonia
