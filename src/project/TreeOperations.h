#pragma once
// The editing of the project tree: adding, importing, deleting, moving and
// renaming sessions and slides, positional session labels, the slide limit,
// and what a selection change tells the commands and the editing pane. Every
// prompt goes through the document's Ui.
//
// Each command acts on the tree's pending item (the item of the last
// right-click) when there is one, clearing it, and on the selection
// otherwise. Every change marks the document dirty.
#include "project/ProjectDocument.h"

#include <functional>
#include <string>

namespace pavonia {

class TreeOperations {
public:
    explicit TreeOperations(ProjectDocument& document);

    // Called whenever the editing pane must show the current item again
    // (not while the document is busy).
    void setRefreshPane(std::function<void()> refresh) { refreshPane_ = std::move(refresh); }

    // Builds the tree of a new view: root, Session 1 with one empty slide;
    // empties the working folders first; selects the root; clean state.
    void createView();

    // Appends (or inserts after `after`) a session with working copies of the
    // default talking image and message, labelled by its position, and
    // selects it. Sessions always hang under the root: `parent` is accepted
    // for the root only. Does not renumber the sessions after it.
    TreeItem* AddSession(TreeItem* after, TreeItem* parent = nullptr);
    // Inserts a slide into `session` after `after` (at the end when null),
    // with the preferred delay and transition and, given a media path, a
    // working copy of the media; selects it. Does not check the slide limit.
    TreeItem* AddSlide(TreeItem* after, const std::string& text, TreeItem& session,
                       const std::string& mediaSourcePath);
    // The Add command: a new session with one slide after a session (at the
    // end for the root), or a new slide after a slide. Nothing when refused
    // at the slide limit or without a target.
    TreeItem* AddItem(const std::string& mediaSourcePath = {});
    // Media import: mode 0 into the selected session, 1 into a new session.
    // Nothing when refused at the slide limit or without a target.
    TreeItem* ImportSlide(const std::string& mediaPath, int mode);
    // The Delete command; `ask` = confirm with the user first.
    void DeleteItem(bool ask);
    void MoveItemUp();
    void MoveItemDown();
    // Label editing: refused for the root and for items with children.
    bool canRename(const TreeItem& item) const;
    // The Rename command's target (pending item or selection), or nothing
    // when there is none or it cannot be renamed.
    TreeItem* beginRename();
    // Label editing ended with `text`: a slide's sub-topic follows its label.
    void endRename(TreeItem& item, const std::string& text);

    // Relabels the sessions from `start` (from the first when null) to the
    // end by their positions.
    void RenumberSessions(TreeItem* start = nullptr);
    // Drops the working copies of a session (with its slides) or a slide.
    void ReleaseItemFiles(TreeItem& item);

    // The selection moved to `item` (ignored while the document is busy,
    // apart from the tree's own selection).
    void selectionChanged(TreeItem* item);
    // A click on the already selected item: the flags are recomputed when the
    // editing pane shows that kind of item, else the item is shown again.
    void selectionClicked();
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
    // The label of a new slide: the media source's file name without
    // extension; empty when the path names no folder.
    static std::string defaultSlideLabel(const std::string& mediaSourcePath);
    std::string sessionLabel(int number) const;

private:
    void refreshPane();
    // Marks the new slide's label and content and shows it.
    void finishNewSlide(TreeItem& slide, const std::string& mediaSourcePath, bool hasContent);
    void deleteSession(TreeItem& session, bool ask);
    void deleteSlide(TreeItem& slide, bool ask);
    // Releases an item's files and removes it from the tree.
    void releaseAndRemove(TreeItem& item);
    void resetSession(TreeItem& session);
    void resetSlide(TreeItem& slide);
    void moveSession(TreeItem& session, bool up);
    void moveSlide(TreeItem& slide, bool up);
    bool limitReached();
    bool confirm(int textId, Buttons buttons);

    ProjectDocument& document_;
    ProjectTree& tree_;
    std::function<void()> refreshPane_;
    std::string sessionPrefix_;
    bool atTop_ = false;
    bool atBottom_ = false;
    bool canDelete_ = false;
    bool itemSelected_ = false;
    bool slideSelected_ = false;
};

} // namespace pavonia
