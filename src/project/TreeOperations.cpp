#include "project/TreeOperations.h"

#include "platform/StringTable.h"
#include "platform/Text.h"

#include <filesystem>
#include <vector>

namespace pavonia {

namespace {

SelectedKind selectedKindOf(const TreeItem* item)
{
    if (!item)
        return SelectedKind::Project;
    switch (item->kind()) {
    case ItemKind::Session:
        return SelectedKind::Session;
    case ItemKind::Slide:
        return SelectedKind::Slide;
    default:
        return SelectedKind::Project;
    }
}

bool isLastChild(const TreeItem& item)
{
    return item.parent() && item.row() + 1 == item.parent()->childCount();
}

} // namespace

TreeOperations::TreeOperations(ProjectDocument& document)
    : document_(document), tree_(document.tree()), sessionPrefix_(StringTable::text(str::SessionPrefix))
{
    if (sessionPrefix_.empty() || sessionPrefix_.back() != ' ')
        sessionPrefix_ += ' ';
}

std::string TreeOperations::sessionLabel(int number) const
{
    return sessionPrefix_ + std::to_string(number);
}

bool TreeOperations::isEmptySlide(const SlideData& slide)
{
    if (slide.subTopic.empty() && slide.description.empty() && slide.mediaPath.empty() &&
        slide.mediaSourcePath.empty())
        return true;
    std::error_code error;
    return !slide.mediaPath.empty() && !std::filesystem::exists(slide.mediaPath, error);
}

std::string TreeOperations::defaultSlideLabel(const std::string& mediaSourcePath)
{
    // Media paths are full paths; a bare name gives no label.
    if (folderOf(mediaSourcePath).empty())
        return {};
    return baseNameOf(mediaSourcePath);
}

void TreeOperations::refreshPane()
{
    if (!document_.busy() && refreshPane_)
        refreshPane_();
}

bool TreeOperations::limitReached()
{
    if (tree_.slideCount() <= ProjectTree::kSlideLimit - 1)
        return false;
    document_.message(StringTable::text(str::SlideLimitReached));
    return true;
}

bool TreeOperations::confirm(int textId, Buttons buttons)
{
    const Answer answer = document_.message(StringTable::text(textId), buttons);
    return answer == Answer::Ok || answer == Answer::Yes;
}

// ---------------------------------------------------------------------------
// Building the tree

void TreeOperations::createView()
{
    document_.workingFolder().reset();
    tree_.removeAllSessions();
    tree_.setText(tree_.root(), StringTable::text(str::ProjectLabel));
    TreeItem* session = AddSession(nullptr);
    AddSlide(nullptr, {}, *session, {});
    selectionChanged(&tree_.root());
    document_.setDirty(false);
}

TreeItem* TreeOperations::AddSession(TreeItem* after, TreeItem* /*parent*/)
{
    // Sessions only ever hang under the root, whatever parent is asked for.
    auto data = std::make_unique<SessionData>();
    data->talkingImagePath = document_.workingFolder().sessionTalkingImageCopy();
    data->talkingMessagePath = document_.workingFolder().sessionTalkingMessageCopy();
    TreeItem* session = tree_.insertSession(after, std::move(data));
    tree_.setText(*session, sessionLabel(tree_.sessionNumber(*session)));
    document_.setDirty(true);
    selectionChanged(session);
    return session;
}

TreeItem* TreeOperations::AddSlide(TreeItem* after, const std::string& text, TreeItem& session,
                                   const std::string& mediaSourcePath)
{
    if (session.kind() != ItemKind::Session || !tree_.contains(&session))
        return nullptr;
    auto data = std::make_unique<SlideData>();
    data->subTopic = text;
    data->delay = static_cast<float>(document_.preferences().delay());
    data->transition = document_.preferences().transition() - 1;
    if (!mediaSourcePath.empty()) {
        data->mediaSourcePath = mediaSourcePath;
        data->mediaPath = document_.workingFolder().mediaCopy(mediaSourcePath);
    }
    TreeItem* slide = tree_.insertSlide(session, after, std::move(data), text);
    document_.setDirty(true);
    selectionChanged(slide);
    return slide;
}

void TreeOperations::finishNewSlide(TreeItem& slide, const std::string& mediaSourcePath, bool hasContent)
{
    const std::string label = defaultSlideLabel(mediaSourcePath);
    tree_.setText(slide, label);
    slide.slide()->subTopic = label;
    if (hasContent)
        slide.slide()->hasContent = 1;
    // Shown again now that the record is complete (its content decides
    // whether it may be deleted).
    selectionChanged(&slide);
}

TreeItem* TreeOperations::AddItem(const std::string& mediaSourcePath)
{
    TreeItem* target = tree_.takeTarget();
    if (limitReached())
        return nullptr;
    if (!target || !tree_.contains(target))
        return nullptr;

    TreeItem* slide = nullptr;
    switch (target->kind()) {
    case ItemKind::Root:
    case ItemKind::Session: {
        TreeItem* session = AddSession(target->kind() == ItemKind::Root ? nullptr : target);
        RenumberSessions(session);
        slide = AddSlide(nullptr, {}, *session, mediaSourcePath);
        break;
    }
    case ItemKind::Slide:
        slide = AddSlide(target, {}, *target->parent(), mediaSourcePath);
        break;
    case ItemKind::None:
        return nullptr;
    }
    if (slide)
        finishNewSlide(*slide, mediaSourcePath, !mediaSourcePath.empty());
    return slide;
}

TreeItem* TreeOperations::ImportSlide(const std::string& mediaPath, int mode)
{
    TreeItem* target = tree_.takeTarget();
    if (limitReached())
        return nullptr;
    if (!target || !tree_.contains(target))
        return nullptr;

    if (mode == 1) {
        // A new session after the target's session (at the end for the root).
        if (target->kind() == ItemKind::Slide && target->parent())
            selectionChanged(target->parent());
        else
            tree_.setPendingItem(target);
        TreeItem* slide = AddItem(mediaPath);
        if (!slide)
            return nullptr;
        if (slide->slide()->hasContent == 0) {
            slide->slide()->hasContent = 1;
            computeFlags(tree_.selected());
        }

        // The first session of a fresh project stands empty in front of the
        // imported ones: drop it. Only a session whose slides are all empty
        // goes, so that no slide content is lost.
        TreeItem* first = tree_.root().child(0);
        bool untouched = first && first != slide->parent() && first->session() &&
                         first->session()->modified == 0 && first->childCount() > 0;
        for (std::size_t i = 0; untouched && i < first->childCount(); ++i)
            untouched = first->child(i)->slide() && isEmptySlide(*first->child(i)->slide());
        if (untouched) {
            releaseAndRemove(*first);
            RenumberSessions(nullptr);
            selectionChanged(tree_.root().child(0));
            document_.setDirty(true);
        }
        return slide;
    }

    TreeItem* session = nullptr;
    TreeItem* after = nullptr; // null: at the end of the session
    switch (target->kind()) {
    case ItemKind::Session:
        session = target;
        if (session->childCount() == 1 && isEmptySlide(*session->child(0)->slide()))
            releaseAndRemove(*session->child(0));
        break;
    case ItemKind::Slide:
        session = target->parent();
        if (session->childCount() > 1 || !isEmptySlide(*target->slide()))
            after = target;
        else
            releaseAndRemove(*target);
        break;
    default:
        return nullptr;
    }
    TreeItem* slide = AddSlide(after, {}, *session, mediaPath);
    if (slide)
        finishNewSlide(*slide, mediaPath, true);
    return slide;
}

// ---------------------------------------------------------------------------
// Deleting

void TreeOperations::releaseAndRemove(TreeItem& item)
{
    ReleaseItemFiles(item);
    tree_.remove(&item);
    document_.setDirty(true);
}

void TreeOperations::resetSession(TreeItem& session)
{
    auto data = std::make_unique<SessionData>();
    data->talkingImagePath = document_.workingFolder().sessionTalkingImageCopy();
    data->talkingMessagePath = document_.workingFolder().sessionTalkingMessageCopy();
    tree_.setSessionData(session, std::move(data));
    tree_.setText(session, sessionLabel(tree_.sessionNumber(session)));
}

void TreeOperations::resetSlide(TreeItem& slide)
{
    SlideData& data = *slide.slide();
    data = SlideData();
    data.delay = 2.0f;
    data.transition = -1;
    data.hasContent = 0;
    tree_.setText(slide, {});
}

void TreeOperations::DeleteItem(bool ask)
{
    TreeItem* target = tree_.takeTarget();
    if (!target || !tree_.contains(target))
        return;
    if (target->kind() == ItemKind::Session)
        deleteSession(*target, ask);
    else if (target->kind() == ItemKind::Slide)
        deleteSlide(*target, ask);
}

void TreeOperations::deleteSession(TreeItem& session, bool ask)
{
    if (ask && !confirm(str::ConfirmDeleteSession, Buttons::OkCancel))
        return;

    if (tree_.root().childCount() == 1) {
        // The project keeps one session with one empty slide.
        ReleaseItemFiles(session);
        resetSession(session);
        while (session.childCount() > 1)
            tree_.remove(session.child(session.childCount() - 1));
        if (session.childCount() == 0)
            AddSlide(nullptr, {}, session, {});
        resetSlide(*session.child(0));
        document_.setDirty(true);
        selectionChanged(&tree_.root());
        return;
    }

    TreeItem* next = session.nextSibling();
    TreeItem* previous = session.previousSibling();
    releaseAndRemove(session);
    if (next) {
        RenumberSessions(next);
        selectionChanged(next);
    } else {
        RenumberSessions(previous);
        selectionChanged(previous);
    }
}

void TreeOperations::deleteSlide(TreeItem& slide, bool ask)
{
    TreeItem& session = *slide.parent();
    const bool onlyInSession = session.childCount() == 1;
    const bool onlySession = tree_.root().childCount() == 1;

    if (onlyInSession && !onlySession) {
        if (ask && !confirm(str::DeleteOnlySlide, Buttons::OkCancel))
            return;
        selectionChanged(&session);
        deleteSession(session, false);
        return;
    }

    if (onlyInSession) {
        // The last slide of the project is emptied, never removed.
        if (slide.slide()->hasContent == 0) {
            computeFlags(tree_.selected());
            return;
        }
        if (ask && !confirm(str::DeleteLosesData, Buttons::YesNo))
            return;
        ReleaseItemFiles(slide);
        resetSlide(slide);
        document_.setDirty(true);
        computeFlags(tree_.selected());
        refreshPane();
        return;
    }

    if (slide.slide()->hasContent != 0 && ask && !confirm(str::DeleteLosesData, Buttons::YesNo))
        return;
    TreeItem* neighbour = slide.previousSibling() ? slide.previousSibling() : slide.nextSibling();
    releaseAndRemove(slide);
    selectionChanged(neighbour);
}

void TreeOperations::ReleaseItemFiles(TreeItem& item)
{
    WorkingFolder& folder = document_.workingFolder();
    if (item.kind() == ItemKind::Session && item.session()) {
        std::vector<const SlideData*> slides;
        for (const auto& child : item.children())
            if (child->slide())
                slides.push_back(child->slide());
        folder.releaseSession(*item.session(), slides);
    } else if (item.kind() == ItemKind::Slide && item.slide()) {
        folder.releaseSlide(*item.slide());
    }
}

// ---------------------------------------------------------------------------
// Moving

void TreeOperations::MoveItemUp()
{
    BusyCursor wait(document_.ui());
    TreeItem* target = tree_.takeTarget();
    if (!target || !tree_.contains(target))
        return;
    if (target->kind() == ItemKind::Session)
        moveSession(*target, true);
    else if (target->kind() == ItemKind::Slide)
        moveSlide(*target, true);
}

void TreeOperations::MoveItemDown()
{
    BusyCursor wait(document_.ui());
    TreeItem* target = tree_.takeTarget();
    if (!target || !tree_.contains(target))
        return;
    if (target->kind() == ItemKind::Session)
        moveSession(*target, false);
    else if (target->kind() == ItemKind::Slide)
        moveSlide(*target, false);
}

void TreeOperations::moveSession(TreeItem& session, bool up)
{
    // The session moves with its record and slides; labels stay positional.
    const std::size_t row = session.row();
    if (up ? row == 0 : isLastChild(session))
        return;
    tree_.move(session, tree_.root(), up ? row - 1 : row + 1);
    RenumberSessions(nullptr);
    document_.setDirty(true);
    selectionChanged(&session);
}

void TreeOperations::moveSlide(TreeItem& slide, bool up)
{
    TreeItem& session = *slide.parent();
    const std::size_t row = slide.row();
    const bool atEdge = up ? row == 0 : isLastChild(slide);

    if (!atEdge) {
        tree_.move(slide, session, up ? row - 1 : row + 1);
    } else {
        TreeItem* other = up ? session.previousSibling() : session.nextSibling();
        if (!other)
            return;
        const bool onlySlide = session.childCount() == 1;
        const int prompt = onlySlide ? (up ? str::MoveUpDeletesSession : str::MoveDownDeletesSession)
                                     : (up ? str::MoveUpToPrevious : str::MoveDownToNext);
        if (!confirm(prompt, Buttons::OkCancel))
            return;
        tree_.move(slide, *other, up ? other->childCount() : 0);
        if (onlySlide) {
            releaseAndRemove(session);
            RenumberSessions(nullptr);
        }
    }
    document_.setDirty(true);
    selectionChanged(&slide);
}

// ---------------------------------------------------------------------------
// Labels

void TreeOperations::RenumberSessions(TreeItem* start)
{
    TreeItem& root = tree_.root();
    const std::size_t from = (start && start->parent() == &root) ? start->row() : 0;
    for (std::size_t i = from; i < root.childCount(); ++i) {
        TreeItem& session = *root.child(i);
        const std::string label = sessionLabel(static_cast<int>(i) + 1);
        if (session.text() != label)
            tree_.setText(session, label);
    }
}

bool TreeOperations::canRename(const TreeItem& item) const
{
    return item.kind() != ItemKind::Root && item.childCount() == 0;
}

TreeItem* TreeOperations::beginRename()
{
    TreeItem* target = tree_.takeTarget();
    if (!target || !tree_.contains(target) || !canRename(*target))
        return nullptr;
    return target;
}

void TreeOperations::endRename(TreeItem& item, const std::string& text)
{
    if (!tree_.contains(&item) || !canRename(item))
        return;
    tree_.setText(item, text);
    if (item.kind() == ItemKind::Slide)
        item.slide()->subTopic = text;
    document_.setDirty(true);
    selectionChanged(&item);
}

// ---------------------------------------------------------------------------
// Selection

void TreeOperations::selectionChanged(TreeItem* item)
{
    if (item && !tree_.contains(item))
        item = nullptr;
    if (tree_.selected() != item)
        tree_.select(item);
    if (document_.busy())
        return;

    document_.selectedKind = selectedKindOf(item);
    const bool sessionSelected = document_.selectedKind == SelectedKind::Session;
    document_.setImageImportAllowed(sessionSelected);
    document_.setVoiceImportAllowed(sessionSelected);
    computeFlags(item);
    refreshPane();
}

void TreeOperations::selectionClicked()
{
    TreeItem* item = tree_.selected();
    if (document_.selectedKind == selectedKindOf(item)) {
        const bool sessionSelected = document_.selectedKind == SelectedKind::Session;
        document_.setImageImportAllowed(sessionSelected);
        document_.setVoiceImportAllowed(sessionSelected);
        computeFlags(item);
    } else {
        selectionChanged(item);
    }
}

void TreeOperations::computeFlags(TreeItem* item)
{
    atTop_ = atBottom_ = canDelete_ = itemSelected_ = slideSelected_ = false;
    if (!item || !tree_.contains(item))
        return;
    switch (item->kind()) {
    case ItemKind::Session:
        itemSelected_ = true;
        atTop_ = item->row() == 0;
        atBottom_ = isLastChild(*item);
        canDelete_ = !(atTop_ && atBottom_);
        break;
    case ItemKind::Slide: {
        itemSelected_ = slideSelected_ = true;
        const TreeItem& session = *item->parent();
        atTop_ = session.row() == 0 && item->row() == 0;
        atBottom_ = isLastChild(session) && isLastChild(*item);
        canDelete_ = !(atTop_ && atBottom_ && item->slide()->hasContent == 0);
        break;
    }
    default:
        break;
    }
}

} // namespace pavonia
