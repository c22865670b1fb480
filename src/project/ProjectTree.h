#pragma once
// The project tree: one root, its sessions, their slides. Tree order is the
// presentation order. Each session and slide item owns its record; the kind
// of an item is told by its data, as in the project file.
#include "project/Records.h"

#include <memory>
#include <string>
#include <vector>

namespace pavonia {

enum class ItemKind { Root, Session, Slide, None };

class TreeItem {
public:
    ItemKind kind() const;
    const std::string& text() const { return text_; }
    TreeItem* parent() const { return parent_; }
    const std::vector<std::unique_ptr<TreeItem>>& children() const { return children_; }
    std::size_t childCount() const { return children_.size(); }
    TreeItem* child(std::size_t index) const { return index < children_.size() ? children_[index].get() : nullptr; }
    // Position among the parent's children; 0 for the root.
    std::size_t row() const;
    TreeItem* previousSibling() const;
    TreeItem* nextSibling() const;

    SessionData* session() { return session_.get(); }
    const SessionData* session() const { return session_.get(); }
    SlideData* slide() { return slide_.get(); }
    const SlideData* slide() const { return slide_.get(); }

private:
    friend class ProjectTree;
    std::string text_;
    std::string rootMarker_; // only the root holds "_STYLE_"
    TreeItem* parent_ = nullptr;
    std::vector<std::unique_ptr<TreeItem>> children_;
    std::unique_ptr<SessionData> session_;
    std::unique_ptr<SlideData> slide_;
    // Where the item was last found among its siblings: row() looks there
    // first, so that asking again (and asking for an item just added) takes
    // no search through every sibling.
    mutable std::size_t rowHint_ = 0;
};

// Told of every structural change, so that a view (the Qt item model) can
// follow the tree.
class TreeObserver {
public:
    virtual ~TreeObserver() = default;
    virtual void aboutToInsert(TreeItem& /*parent*/, std::size_t /*row*/) {}
    virtual void inserted(TreeItem& /*item*/) {}
    virtual void aboutToRemove(TreeItem& /*item*/) {}
    virtual void removed(TreeItem& /*parent*/) {}
    // An item moves, with its children, in one step (a view keeps its
    // expansion and selection). `row` is its place among the children of
    // `newParent` counted before it leaves its old place, as a view's move
    // of rows counts it.
    virtual void aboutToMove(TreeItem& /*item*/, TreeItem& /*newParent*/, std::size_t /*row*/) {}
    virtual void moved(TreeItem& /*item*/) {}
    virtual void textChanged(TreeItem& /*item*/) {}
    virtual void selectionChanged(TreeItem* /*item*/) {}
};

class ProjectTree {
public:
    // The limit on slides in the whole project.
    static constexpr int kSlideLimit = 256;

    ProjectTree();

    TreeItem& root() { return *root_; }
    const TreeItem& root() const { return *root_; }
    void setObserver(TreeObserver* observer) { observer_ = observer; }

    // Inserts a session under the root after `after` (at the end when `after`
    // is null or not a session of this tree).
    TreeItem* insertSession(TreeItem* after, std::unique_ptr<SessionData> data, std::string text = {});
    // Inserts a slide into `session` after `after` (at the end when null or
    // not a child of `session`); counts it in slideCount().
    TreeItem* insertSlide(TreeItem& session, TreeItem* after, std::unique_ptr<SlideData> data, std::string text);
    // Inserts a slide as the first child of `session`.
    TreeItem* insertSlideFirst(TreeItem& session, std::unique_ptr<SlideData> data, std::string text);
    // Removes an item with its children; every slide removed lowers the count.
    // Selection and pending item are cleared when they pointed into it.
    void remove(TreeItem* item);
    void removeAllSessions();
    // Moves an item with its children to position `row` among the children
    // of `newParent` (counted after it was taken out), keeping the item and
    // its record; the slide count does not change. Selection and pending
    // item keep pointing at it.
    void move(TreeItem& item, TreeItem& newParent, std::size_t row);
    // Hands the record out of an item (the item keeps an empty record slot).
    std::unique_ptr<SessionData> takeSession(TreeItem& item) { return std::move(item.session_); }
    std::unique_ptr<SlideData> takeSlide(TreeItem& item) { return std::move(item.slide_); }
    void setSessionData(TreeItem& item, std::unique_ptr<SessionData> data) { item.session_ = std::move(data); }

    void setText(TreeItem& item, std::string text);

    int slideCount() const { return slideCount_; }
    std::vector<TreeItem*> sessions() const;
    // Sessions then their slides, in presentation order.
    std::vector<TreeItem*> allSlides() const;
    // 1-based position of a session among the sessions; 0 for anything else.
    int sessionNumber(const TreeItem& session) const;
    bool contains(const TreeItem* item) const;

    TreeItem* selected() const { return selected_; }
    void select(TreeItem* item);
    TreeItem* pendingItem() const { return pending_; }
    void setPendingItem(TreeItem* item) { pending_ = item; }
    // The pending item when there is one (clearing it), else the selection.
    TreeItem* takeTarget();

private:
    TreeItem* insertChild(TreeItem& parent, std::size_t row, std::unique_ptr<TreeItem> item);
    bool holds(const TreeItem* ancestor, const TreeItem* item) const;
    static int countSlides(const TreeItem& item);

    std::unique_ptr<TreeItem> root_;
    int slideCount_ = 0;
    TreeItem* selected_ = nullptr;
    TreeItem* pending_ = nullptr;
    TreeObserver* observer_ = nullptr;
};

} // namespace pavonia
