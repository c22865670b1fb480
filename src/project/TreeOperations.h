#pragma once
// The editing of the project tree: adding, importing, deleting, moving and
// renaming sessions and slides, positional session labels, the slide limit,
// and what a selection change tells the commands and the editing pane. Every
// prompt goes through the document's Ui.
#include "project/ProjectDocument.h"

#include <functional>
#include <string>

namespace pavonia {

class TreeOperations {
public:
    explicit TreeOperations(ProjectDocument& document);

    // Called whenever the editing pane must show the current item again.
    void setRefreshPane(std::function<void()> refresh) { refreshPane_ = std::move(refresh); }

    // Builds the tree of a new view: root, Session 1 with one empty slide;
    // empties the working folders first; selects the root; clean state.
    void CreateView();

    TreeItem* AddSession(TreeItem* after, TreeItem* parent = nullptr);
    TreeItem* AddSlide(TreeItem* after, const std::string& text, TreeItem& session,
                       const std::string& mediaSourcePath);
    // The Add command; nothing when refused or without a target.
    TreeItem* AddItem(const std::string& mediaSourcePath = {});
    // Media import: mode 0 into the selected session, 1 into a new session.
    TreeItem* ImportSlide(const std::string& mediaPath, int mode);
    void DeleteItem(bool ask);
    void MoveItemUp();
    void MoveItemDown();
    // Label editing: refused for items with children.
    bool canRename(const TreeItem& item) const;
    // The Rename command's target (pending item or selection), or nothing.
    TreeItem* beginRename();
    void endRename(TreeItem& item, const std::string& text);

    void RenumberSessions(TreeItem* start = nullptr);
    void ReleaseItemFiles(TreeItem& item);

    // The selection moved to `item` (ignored while the document is busy).
    void selectionChanged(TreeItem* item);
    // Recomputes the command flags for `item` (right-click, Esc).
    void computeFlags(TreeItem* item);

    bool atTop() const { return atTop_; }
    bool atBottom() const { return atBottom_; }
    bool canDelete() const { return canDelete_; }
    bool itemSelected() const { return itemSelected_; }   // a session or slide
    bool slideSelected() const { return slideSelected_; }

    // A slide counts as empty when it holds no texts and no media (or its
    // media file is gone).
    static bool isEmptySlide(const SlideData& slide);
    // The label of a new slide: the media source's file name without extension.
    static std::string defaultSlideLabel(const std::string& mediaSourcePath);
    std::string sessionLabel(int number) const;

private:
    void refreshPane();
    void resetSession(TreeItem& session);
    void resetSlide(TreeItem& slide);
    TreeItem* recreateSlide(TreeItem& slide, TreeItem& session, TreeItem* after, bool first);
    void moveSession(TreeItem& session, bool up);
    bool limitReached();

    ProjectDocument& document_;
    std::function<void()> refreshPane_;
    bool atTop_ = false;
    bool atBottom_ = false;
    bool canDelete_ = false;
    bool itemSelected_ = false;
    bool slideSelected_ = false;
};

} // namespace pavonia
