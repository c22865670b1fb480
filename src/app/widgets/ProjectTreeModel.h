#pragma once
// The project tree as a Qt item model: one top-level row (the project root),
// its sessions and their slides. It follows the tree through TreeObserver, so
// a view keeps its expansion and selection when items are inserted, removed
// or moved. Renaming goes through TreeOperations, which keeps a slide's
// sub-topic with its label.
#include "project/ProjectTree.h"
#include "project/TreeOperations.h"

#include <QAbstractItemModel>
#include <QIcon>

#include <functional>

namespace pavonia {

class ProjectTreeModel final : public QAbstractItemModel, private TreeObserver {
    Q_OBJECT
public:
    ProjectTreeModel(ProjectTree& tree, TreeOperations& operations, QObject* parent = nullptr);
    ~ProjectTreeModel() override;

    // Icons of the three levels: normal and selected.
    void setIcons(const QIcon& root, const QIcon& session, const QIcon& slide);

    // One step of a drop: moves `item` up or down one place as the Move Up
    // and Move Down commands do (the window stops playback and runs the
    // command on it); false when the move was refused or answered Cancel.
    void setMoveStep(std::function<bool(TreeItem& item, bool up)> step) { moveStep_ = std::move(step); }

    // While suspended the model shows nothing and does not follow the tree,
    // which another thread may then rebuild (loading a project).
    void suspend();
    void resume();
    // The item of an open context menu, shown highlighted; null for none.
    void setHighlighted(const TreeItem* item);

    QModelIndex indexOf(const TreeItem* item) const;
    TreeItem* itemAt(const QModelIndex& index) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Sessions and slides are dragged within the tree and dropped on an
    // item of their own kind; the drop moves them step by step, as Move Up
    // and Move Down do.
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

signals:
    // The tree's selection moved (by the tree operations); null for none.
    void treeSelectionChanged(const QModelIndex& index);

private:
    void aboutToInsert(TreeItem& parent, std::size_t row) override;
    void inserted(TreeItem& item) override;
    void aboutToRemove(TreeItem& item) override;
    void removed(TreeItem& parent) override;
    void aboutToMove(TreeItem& item, TreeItem& newParent, std::size_t row) override;
    void moved(TreeItem& item) override;
    void textChanged(TreeItem& item) override;
    void selectionChanged(TreeItem* item) override;

    // The item a drag carries, found again by its path of rows.
    TreeItem* draggedItem(const QMimeData* data) const;
    // Whether `target` lies before (-1), at (0) or after (1) `item` in
    // presentation order; both of one kind.
    int placeOf(const TreeItem& item, const TreeItem& target) const;

    ProjectTree& tree_;
    TreeOperations& operations_;
    QIcon icons_[3];
    std::function<bool(TreeItem&, bool)> moveStep_;
    bool moving_ = false;
    bool suspended_ = false;
    const TreeItem* highlighted_ = nullptr;
};

} // namespace pavonia
