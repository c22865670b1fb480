#include "project/ProjectTree.h"

#include "platform/Text.h"

#include <algorithm>

namespace pavonia {

ItemKind TreeItem::kind() const
{
    if (equalsIgnoreCase(rootMarker_, kRootMarker))
        return ItemKind::Root;
    if (session_ && session_->marker == kSessionMarker)
        return ItemKind::Session;
    if (slide_ && slide_->marker == kSlideMarker)
        return ItemKind::Slide;
    // A record whose marker was replaced by a file's payload still tells its
    // kind by where it hangs.
    if (session_)
        return ItemKind::Session;
    if (slide_)
        return ItemKind::Slide;
    return ItemKind::None;
}

std::size_t TreeItem::row() const
{
    if (!parent_)
        return 0;
    const auto& siblings = parent_->children_;
    if (rowHint_ < siblings.size() && siblings[rowHint_].get() == this)
        return rowHint_;
    for (std::size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == this) {
            rowHint_ = i;
            return i;
        }
    return 0;
}

TreeItem* TreeItem::previousSibling() const
{
    if (!parent_)
        return nullptr;
    const std::size_t r = row();
    return r == 0 ? nullptr : parent_->children_[r - 1].get();
}

TreeItem* TreeItem::nextSibling() const
{
    if (!parent_)
        return nullptr;
    return parent_->child(row() + 1);
}

ProjectTree::ProjectTree() : root_(std::make_unique<TreeItem>())
{
    root_->rootMarker_ = kRootMarker;
}

TreeItem* ProjectTree::insertChild(TreeItem& parent, std::size_t row, std::unique_ptr<TreeItem> item)
{
    row = std::min(row, parent.children_.size());
    item->parent_ = &parent;
    if (observer_)
        observer_->aboutToInsert(parent, row);
    TreeItem* raw = item.get();
    raw->rowHint_ = row;
    parent.children_.insert(parent.children_.begin() + static_cast<std::ptrdiff_t>(row), std::move(item));
    if (observer_)
        observer_->inserted(*raw);
    return raw;
}

TreeItem* ProjectTree::insertSession(TreeItem* after, std::unique_ptr<SessionData> data, std::string text)
{
    auto item = std::make_unique<TreeItem>();
    item->session_ = std::move(data);
    item->text_ = std::move(text);
    const std::size_t row = (after && after->parent_ == root_.get()) ? after->row() + 1 : root_->children_.size();
    return insertChild(*root_, row, std::move(item));
}

TreeItem* ProjectTree::insertSlide(TreeItem& session, TreeItem* after, std::unique_ptr<SlideData> data,
                                   std::string text)
{
    auto item = std::make_unique<TreeItem>();
    item->slide_ = std::move(data);
    item->text_ = std::move(text);
    const std::size_t row = (after && after->parent_ == &session) ? after->row() + 1 : session.children_.size();
    ++slideCount_;
    return insertChild(session, row, std::move(item));
}

TreeItem* ProjectTree::insertSlideFirst(TreeItem& session, std::unique_ptr<SlideData> data, std::string text)
{
    auto item = std::make_unique<TreeItem>();
    item->slide_ = std::move(data);
    item->text_ = std::move(text);
    ++slideCount_;
    return insertChild(session, 0, std::move(item));
}

int ProjectTree::countSlides(const TreeItem& item)
{
    int count = item.slide_ ? 1 : 0;
    for (const auto& child : item.children_)
        count += countSlides(*child);
    return count;
}

bool ProjectTree::holds(const TreeItem* ancestor, const TreeItem* item) const
{
    for (const TreeItem* p = item; p; p = p->parent_)
        if (p == ancestor)
            return true;
    return false;
}

void ProjectTree::remove(TreeItem* item)
{
    if (!item || item == root_.get() || !item->parent_)
        return;
    if (holds(item, selected_))
        selected_ = nullptr;
    if (holds(item, pending_))
        pending_ = nullptr;
    slideCount_ = std::max(0, slideCount_ - countSlides(*item));
    TreeItem& parent = *item->parent_;
    if (observer_)
        observer_->aboutToRemove(*item);
    parent.children_.erase(parent.children_.begin() + static_cast<std::ptrdiff_t>(item->row()));
    if (observer_)
        observer_->removed(parent);
}

void ProjectTree::move(TreeItem& item, TreeItem& newParent, std::size_t row)
{
    if (&item == root_.get() || !item.parent_ || holds(&item, &newParent))
        return;
    TreeItem& oldParent = *item.parent_;
    const std::size_t oldRow = item.row();
    const std::size_t newRow = std::min(row, newParent.children_.size() - (&newParent == &oldParent ? 1 : 0));
    if (&newParent == &oldParent && newRow == oldRow)
        return;
    if (observer_)
        observer_->aboutToMove(item, newParent, &newParent == &oldParent && newRow > oldRow ? newRow + 1 : newRow);
    const auto at = oldParent.children_.begin() + static_cast<std::ptrdiff_t>(oldRow);
    std::unique_ptr<TreeItem> owned = std::move(*at);
    oldParent.children_.erase(at);
    owned->parent_ = &newParent;
    newParent.children_.insert(newParent.children_.begin() + static_cast<std::ptrdiff_t>(newRow), std::move(owned));
    if (observer_)
        observer_->moved(item);
}

void ProjectTree::removeAllSessions()
{
    while (!root_->children_.empty())
        remove(root_->children_.back().get());
    pending_ = nullptr;
}

void ProjectTree::setText(TreeItem& item, std::string text)
{
    item.text_ = std::move(text);
    if (observer_)
        observer_->textChanged(item);
}

std::vector<TreeItem*> ProjectTree::sessions() const
{
    std::vector<TreeItem*> out;
    for (const auto& child : root_->children_)
        out.push_back(child.get());
    return out;
}

std::vector<TreeItem*> ProjectTree::allSlides() const
{
    std::vector<TreeItem*> out;
    for (const auto& session : root_->children_)
        for (const auto& slide : session->children_)
            out.push_back(slide.get());
    return out;
}

int ProjectTree::sessionNumber(const TreeItem& session) const
{
    if (session.parent_ != root_.get())
        return 0;
    return static_cast<int>(session.row()) + 1;
}

bool ProjectTree::contains(const TreeItem* item) const
{
    if (!item)
        return false;
    const TreeItem* top = item;
    while (top->parent_)
        top = top->parent_;
    return top == root_.get();
}

void ProjectTree::select(TreeItem* item)
{
    selected_ = item;
    if (observer_)
        observer_->selectionChanged(item);
}

TreeItem* ProjectTree::takeTarget()
{
    TreeItem* target = pending_ ? pending_ : selected_;
    pending_ = nullptr;
    return target;
}

} // namespace pavonia
