#include "project/TreeOperations.h"

#include "TestProject.h"
#include "TreeShape.h"
#include "platform/StringTable.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pavonia {
namespace {


class TreeOperationsTest : public ::testing::Test, protected test::TestProject {
protected:
    void SetUp() override
    {
        ops.setRefreshPane([this] { ++refreshes; });
        ops.createView();
        ui.shown.clear();
    }

    ProjectTree& tree() { return document.tree(); }
    TreeItem* session(std::size_t i) { return tree().root().child(i); }
    TreeItem* slide(std::size_t s, std::size_t i) { return session(s)->child(i); }
    void select(TreeItem* item) { ops.selectionChanged(item); }

    // The tree as text: "Session 1[a,b] Session 2[c]".
    std::string shape() { return pavonia::test::treeShape(tree()); }

    // Gives the selected slide a label (and sub-topic) of its own.
    void label(TreeItem* item, const std::string& text)
    {
        tree().setPendingItem(item);
        TreeItem* target = ops.beginRename();
        ASSERT_EQ(target, item);
        ops.endRename(*target, text);
    }

    // Appends a session holding one slide labelled `text`.
    TreeItem* appendSession(const std::string& text)
    {
        select(session(tree().root().childCount() - 1));
        TreeItem* added = ops.AddItem();
        label(added, text);
        return added->parent();
    }

    TreeItem* appendSlide(TreeItem* after, const std::string& text)
    {
        select(after);
        TreeItem* added = ops.AddItem();
        label(added, text);
        return added;
    }

    std::string mediaFile(const std::string& name) { return inst.writeFile("pictures/" + name, "picture " + name); }

    int refCount(const std::string& path)
    {
        const auto index = document.settings().fileRefs.find(path);
        return index ? document.settings().fileRefs[*index].refCount : 0;
    }
    int defaultImageCount() { return refCount(document.workingFolder().defaultTalkingImage()); }

    static bool exists(const std::string& path) { return std::filesystem::exists(path); }

    TreeOperations& ops = operations;
    int refreshes = 0;
};

TEST_F(TreeOperationsTest, FreshProjectHasOneSessionWithOneEmptySlide)
{
    EXPECT_EQ(tree().root().text(), "Project");
    EXPECT_EQ(shape(), "Session 1[]");
    EXPECT_EQ(tree().slideCount(), 1);
    EXPECT_EQ(tree().selected(), &tree().root());
    EXPECT_EQ(document.selectedKind, SelectedKind::Project);
    EXPECT_FALSE(document.dirty());

    const SlideData& data = *slide(0, 0)->slide();
    EXPECT_EQ(data.marker, kSlideMarker);
    EXPECT_FLOAT_EQ(data.delay, 3.0f);
    EXPECT_EQ(data.transition, 17);
    EXPECT_EQ(data.hasContent, 0);

    const SessionData& s = *session(0)->session();
    EXPECT_EQ(s.marker, kSessionMarker);
    EXPECT_TRUE(exists(s.talkingImagePath));
    EXPECT_TRUE(exists(s.talkingMessagePath));
    EXPECT_EQ(s.modified, 0);
    EXPECT_EQ(s.engineLoadFlag, 1);

    select(slide(0, 0));
    EXPECT_TRUE(ops.atTop());
    EXPECT_TRUE(ops.atBottom());
    EXPECT_FALSE(ops.canDelete());
    select(session(0));
    EXPECT_FALSE(ops.canDelete());
}

TEST_F(TreeOperationsTest, NewSlideTakesPreferredDelayAndTransition)
{
    document.preferences().setDelay(7.5);
    document.preferences().setTransition(4);
    select(slide(0, 0));
    TreeItem* added = ops.AddItem();
    EXPECT_FLOAT_EQ(added->slide()->delay, 7.5f);
    EXPECT_EQ(added->slide()->transition, 3);
}

TEST_F(TreeOperationsTest, SessionsShareTheDefaultWorkingCopies)
{
    appendSession("b");
    EXPECT_EQ(session(0)->session()->talkingImagePath, session(1)->session()->talkingImagePath);
    EXPECT_EQ(session(0)->session()->talkingMessagePath, session(1)->session()->talkingMessagePath);
    EXPECT_EQ(defaultImageCount(), 2);
    EXPECT_EQ(refCount(document.workingFolder().defaultTalkingMessage()), 2);

    select(session(1));
    ops.DeleteItem(true);
    EXPECT_EQ(defaultImageCount(), 1);
    EXPECT_TRUE(exists(session(0)->session()->talkingImagePath));
}

TEST_F(TreeOperationsTest, AddActsOnRootSessionAndSlide)
{
    document.setDirty(false);
    select(&tree().root());
    TreeItem* fromRoot = ops.AddItem();
    ASSERT_NE(fromRoot, nullptr);
    EXPECT_EQ(fromRoot->parent(), session(1));
    EXPECT_TRUE(document.dirty());

    // The pending item (a right-click) wins over the selection and is used once.
    select(slide(1, 0));
    tree().setPendingItem(session(0));
    TreeItem* fromSession = ops.AddItem();
    EXPECT_EQ(fromSession->parent(), session(1));
    EXPECT_EQ(tree().pendingItem(), nullptr);
    EXPECT_EQ(shape(), "Session 1[] Session 2[] Session 3[]");

    label(slide(0, 0), "first");
    TreeItem* fromSlide = appendSlide(slide(0, 0), "second");
    EXPECT_EQ(fromSlide, slide(0, 1));
    appendSlide(slide(0, 0), "between");
    EXPECT_EQ(shape(), "Session 1[first,between,second] Session 2[] Session 3[]");
    EXPECT_EQ(tree().slideCount(), 5);
    EXPECT_EQ(tree().selected(), slide(0, 1));
}

TEST_F(TreeOperationsTest, AddWithMediaLabelsTheSlideAndCopiesTheMedia)
{
    const std::string sun = mediaFile("sun.jpg");
    select(slide(0, 0));
    TreeItem* added = ops.AddItem(sun);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->text(), "sun");
    EXPECT_EQ(added->slide()->subTopic, "sun");
    EXPECT_EQ(added->slide()->hasContent, 1);
    EXPECT_EQ(added->slide()->mediaSourcePath, sun);
    EXPECT_EQ(test::readFile(added->slide()->mediaPath), "picture sun.jpg");
    EXPECT_EQ(std::filesystem::path(added->slide()->mediaPath).parent_path(),
              std::filesystem::path(inst.folder() + "Temp"));
}

TEST_F(TreeOperationsTest, DefaultSlideLabel)
{
    EXPECT_EQ(TreeOperations::defaultSlideLabel("/pics/sun.jpg"), "sun");
    EXPECT_EQ(TreeOperations::defaultSlideLabel("C:\\pics\\my.sun.jpg"), "my.sun");
    EXPECT_EQ(TreeOperations::defaultSlideLabel("/pics/noext"), "noext");
    EXPECT_EQ(TreeOperations::defaultSlideLabel("sun.jpg"), "");
    EXPECT_EQ(TreeOperations::defaultSlideLabel(""), "");
}

TEST_F(TreeOperationsTest, The257thSlideIsRefused)
{
    select(slide(0, 0));
    for (int i = 1; i < ProjectTree::kSlideLimit; ++i)
        ASSERT_NE(ops.AddItem(), nullptr) << i;
    EXPECT_EQ(tree().slideCount(), 256);
    EXPECT_TRUE(ui.shown.empty());

    EXPECT_EQ(ops.AddItem(), nullptr);
    select(session(0));
    EXPECT_EQ(ops.AddItem(), nullptr);
    EXPECT_EQ(ops.ImportSlide(mediaFile("a.jpg"), 1), nullptr);
    EXPECT_EQ(ops.ImportSlide(mediaFile("a.jpg"), 0), nullptr);
    ASSERT_EQ(ui.shown.size(), 4u);
    EXPECT_EQ(ui.shown[0].text, "Cannot add tree item; Because has a limitation of  256 slides only.");
    EXPECT_EQ(ui.shown[0].caption, "Pavonia");
    EXPECT_EQ(tree().slideCount(), 256);
    EXPECT_EQ(tree().sessions().size(), 1u);

    // Room again after a delete.
    select(slide(0, 5));
    ops.DeleteItem(false);
    EXPECT_NE(ops.AddItem(), nullptr);
}

TEST_F(TreeOperationsTest, MovingTheSecondOfThreeSessionsUp)
{
    label(slide(0, 0), "a");
    TreeItem* second = appendSession("b");
    appendSession("c");
    SessionData* secondRecord = second->session();
    ASSERT_EQ(shape(), "Session 1[a] Session 2[b] Session 3[c]");

    document.setDirty(false);
    select(second);
    ops.MoveItemUp();
    EXPECT_EQ(shape(), "Session 1[b] Session 2[a] Session 3[c]");
    EXPECT_EQ(session(0)->session(), secondRecord);
    EXPECT_EQ(tree().selected(), session(0));
    EXPECT_TRUE(ops.atTop());
    EXPECT_TRUE(document.dirty());
    EXPECT_EQ(tree().slideCount(), 3);
    EXPECT_EQ(defaultImageCount(), 3);

    // Already at the top: nothing changes.
    ops.MoveItemUp();
    EXPECT_EQ(shape(), "Session 1[b] Session 2[a] Session 3[c]");

    select(session(1));
    ops.MoveItemDown();
    EXPECT_EQ(shape(), "Session 1[b] Session 2[c] Session 3[a]");
    EXPECT_TRUE(ops.atBottom());
    ops.MoveItemDown();
    EXPECT_EQ(shape(), "Session 1[b] Session 2[c] Session 3[a]");
}

// Records what a view of the tree is told.
struct RecordingObserver final : TreeObserver {
    void aboutToInsert(TreeItem&, std::size_t) override { calls.push_back("insert"); }
    void aboutToRemove(TreeItem&) override { calls.push_back("remove"); }
    void aboutToMove(TreeItem& item, TreeItem& newParent, std::size_t row) override
    {
        calls.push_back("move " + item.text() + " to " + std::to_string(row) +
                        (newParent.parent() ? " of a session" : ""));
    }
    void moved(TreeItem& item) override { calls.push_back("moved " + item.text()); }
    std::vector<std::string> calls;
};

TEST_F(TreeOperationsTest, AViewIsToldOfAMoveInOneStep)
{
    label(slide(0, 0), "a");
    TreeItem* second = appendSession("b");
    appendSession("c");
    RecordingObserver observer;
    tree().setObserver(&observer);

    select(second);
    ops.MoveItemUp();
    select(session(0));
    ops.MoveItemDown();
    tree().setObserver(nullptr);

    // Rows are counted before the item leaves, as a view's row moves count them.
    EXPECT_EQ(observer.calls, (std::vector<std::string>{"move Session 2 to 0", "moved Session 2",
                                                        "move Session 1 to 2", "moved Session 1"}));
}

TEST_F(TreeOperationsTest, MovingSlidesWithinASession)
{
    label(slide(0, 0), "a");
    appendSlide(slide(0, 0), "b");
    appendSlide(slide(0, 1), "c");

    select(slide(0, 2));
    ops.MoveItemUp();
    EXPECT_EQ(shape(), "Session 1[a,c,b]");
    EXPECT_EQ(tree().selected()->text(), "c");
    ops.MoveItemDown();
    ops.MoveItemDown(); // the last slide of the last session stays
    EXPECT_EQ(shape(), "Session 1[a,b,c]");
    EXPECT_TRUE(ops.atBottom());

    select(slide(0, 0));
    EXPECT_TRUE(ops.atTop());
    ops.MoveItemUp();
    EXPECT_EQ(shape(), "Session 1[a,b,c]");
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(TreeOperationsTest, MovingASlideIntoTheNeighbourSessionAsks)
{
    label(slide(0, 0), "a");
    appendSlide(slide(0, 0), "b");
    appendSession("c");
    appendSlide(slide(1, 0), "d");
    const std::string before = shape();

    select(slide(1, 0));
    ui.answers = {Answer::Cancel};
    ops.MoveItemUp();
    EXPECT_EQ(shape(), before);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Move Up to Previous Session? (Yes/No)");
    EXPECT_EQ(ui.shown[0].buttons, Buttons::OkCancel);

    select(slide(1, 0));
    ops.MoveItemUp();
    EXPECT_EQ(shape(), "Session 1[a,b,c] Session 2[d]");
    EXPECT_EQ(tree().selected(), slide(0, 2));

    select(slide(0, 2));
    ops.MoveItemDown();
    EXPECT_EQ(ui.shown.back().text, "Move Down to Next Session? (Yes/No)");
    EXPECT_EQ(shape(), "Session 1[a,b] Session 2[c,d]");
    EXPECT_EQ(tree().selected(), slide(1, 0));
    EXPECT_EQ(tree().slideCount(), 4);
}

TEST_F(TreeOperationsTest, MovingTheOnlySlideOfASessionMergesIt)
{
    label(slide(0, 0), "a");
    TreeItem* second = appendSession("b");
    appendSession("c");
    ASSERT_EQ(defaultImageCount(), 3);

    select(second->child(0));
    ui.answers = {Answer::Cancel};
    ops.MoveItemUp();
    EXPECT_EQ(shape(), "Session 1[a] Session 2[b] Session 3[c]");
    EXPECT_EQ(ui.shown.back().text, "Move Up to Previous Session will delete null session. (Yes/No)");

    select(second->child(0));
    ops.MoveItemUp();
    EXPECT_EQ(shape(), "Session 1[a,b] Session 2[c]");
    EXPECT_EQ(tree().slideCount(), 3);
    EXPECT_EQ(defaultImageCount(), 2); // the emptied session's copies went with it
    EXPECT_EQ(tree().selected(), slide(0, 1));

    select(slide(0, 1));
    ops.MoveItemDown(); // "b" is not the only slide of its session
    EXPECT_EQ(shape(), "Session 1[a] Session 2[b,c]");

    select(slide(0, 0));
    ops.MoveItemDown();
    EXPECT_EQ(ui.shown.back().text, "Move Down to Next Session will delete null session. (Yes/No)");
    EXPECT_EQ(shape(), "Session 1[a,b,c]");
    EXPECT_EQ(defaultImageCount(), 1);
    EXPECT_EQ(tree().slideCount(), 3);
}

TEST_F(TreeOperationsTest, DeletingTheLastEmptySlideDoesNothing)
{
    select(slide(0, 0));
    document.setDirty(false);
    ops.DeleteItem(true);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(shape(), "Session 1[]");
    EXPECT_FALSE(document.dirty());
    EXPECT_FALSE(ops.canDelete());
}

TEST_F(TreeOperationsTest, DeletingTheLastSlideWithContentResetsIt)
{
    const std::string sun = mediaFile("sun.jpg");
    select(session(0));
    TreeItem* added = ops.ImportSlide(sun, 0); // takes the place of the empty slide
    ASSERT_EQ(added, slide(0, 0));
    ASSERT_EQ(shape(), "Session 1[sun]");
    const std::string copy = added->slide()->mediaPath;
    added->slide()->description = "words";
    EXPECT_TRUE(ops.canDelete());

    ui.answers = {Answer::No};
    ops.DeleteItem(true);
    EXPECT_EQ(ui.shown.back().text, "Delete item will lose data. (Yes/No)");
    EXPECT_EQ(ui.shown.back().buttons, Buttons::YesNo);
    EXPECT_EQ(shape(), "Session 1[sun]");

    document.setDirty(false);
    select(added);
    ops.DeleteItem(true);
    EXPECT_EQ(shape(), "Session 1[]");
    const SlideData& data = *slide(0, 0)->slide();
    EXPECT_EQ(data.marker, kSlideMarker);
    EXPECT_TRUE(data.subTopic.empty());
    EXPECT_TRUE(data.description.empty());
    EXPECT_TRUE(data.mediaPath.empty());
    EXPECT_FLOAT_EQ(data.delay, 2.0f);
    EXPECT_EQ(data.transition, -1);
    EXPECT_EQ(data.hasContent, 0);
    EXPECT_FALSE(exists(copy));
    EXPECT_TRUE(document.dirty());
    EXPECT_FALSE(ops.canDelete());
}

TEST_F(TreeOperationsTest, DeletingASession)
{
    label(slide(0, 0), "a");
    appendSession("b");
    appendSession("c");

    select(session(1));
    ui.answers = {Answer::Cancel};
    ops.DeleteItem(true);
    EXPECT_EQ(ui.shown.back().text, "Are you sure to delete the session?");
    EXPECT_EQ(ui.shown.back().buttons, Buttons::OkCancel);
    EXPECT_EQ(shape(), "Session 1[a] Session 2[b] Session 3[c]");

    select(session(1));
    ops.DeleteItem(true);
    EXPECT_EQ(shape(), "Session 1[a] Session 2[c]");
    EXPECT_EQ(tree().slideCount(), 2);

    select(session(0));
    ops.DeleteItem(true);
    EXPECT_EQ(shape(), "Session 1[c]");
    EXPECT_EQ(tree().selected(), session(0));
    EXPECT_EQ(defaultImageCount(), 1);
}

TEST_F(TreeOperationsTest, DeletingTheOnlySessionResetsIt)
{
    const std::string sun = mediaFile("sun.jpg");
    select(slide(0, 0));
    TreeItem* withMedia = ops.AddItem(sun);
    const std::string copy = withMedia->slide()->mediaPath;
    appendSlide(withMedia, "x");
    session(0)->session()->modified = 1;
    session(0)->session()->engineLoadFlag = 0;

    select(session(0));
    ops.DeleteItem(true);
    EXPECT_EQ(shape(), "Session 1[]");
    EXPECT_EQ(tree().slideCount(), 1);
    EXPECT_EQ(tree().selected(), &tree().root());
    EXPECT_EQ(session(0)->session()->modified, 0);
    EXPECT_EQ(session(0)->session()->engineLoadFlag, 1);
    EXPECT_TRUE(exists(session(0)->session()->talkingImagePath));
    EXPECT_EQ(defaultImageCount(), 1);
    EXPECT_FLOAT_EQ(slide(0, 0)->slide()->delay, 2.0f);
    EXPECT_EQ(slide(0, 0)->slide()->transition, -1);
    EXPECT_FALSE(exists(copy));
    EXPECT_EQ(document.settings().fileRefs.find(sun), std::nullopt);
}

TEST_F(TreeOperationsTest, DeletingTheOnlySlideOfASessionDeletesTheSession)
{
    label(slide(0, 0), "a");
    appendSession("b");

    select(slide(1, 0));
    ui.answers = {Answer::Cancel};
    ops.DeleteItem(true);
    EXPECT_EQ(ui.shown.back().text, "Deleting session will also remove all slide items. (Y/N)?");
    EXPECT_EQ(ui.shown.back().buttons, Buttons::OkCancel);
    EXPECT_EQ(shape(), "Session 1[a] Session 2[b]");

    select(slide(1, 0));
    ops.DeleteItem(true);
    EXPECT_EQ(ui.shown.size(), 2u); // the session is not asked about again
    EXPECT_EQ(shape(), "Session 1[a]");
}

TEST_F(TreeOperationsTest, DeletingASlideWithSiblings)
{
    label(slide(0, 0), "a");
    appendSlide(slide(0, 0), "b");
    appendSlide(slide(0, 1), "c");

    // An empty slide goes without a question; the previous one is selected.
    slide(0, 1)->slide()->hasContent = 0;
    select(slide(0, 1));
    ops.DeleteItem(true);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(shape(), "Session 1[a,c]");
    EXPECT_EQ(tree().selected(), slide(0, 0));

    slide(0, 0)->slide()->hasContent = 1;
    ui.answers = {Answer::No};
    ops.DeleteItem(true);
    EXPECT_EQ(ui.shown.back().text, "Delete item will lose data. (Yes/No)");
    EXPECT_EQ(shape(), "Session 1[a,c]");

    select(slide(0, 0));
    ops.DeleteItem(true);
    EXPECT_EQ(shape(), "Session 1[c]");
    EXPECT_EQ(tree().selected(), slide(0, 0)); // the next one when there is no previous
    EXPECT_EQ(tree().slideCount(), 1);
}

TEST_F(TreeOperationsTest, SharedMediaCopyLivesUntilItsLastSlideGoes)
{
    const std::string sun = mediaFile("sun.jpg");
    select(slide(0, 0));
    TreeItem* first = ops.AddItem(sun);
    TreeItem* second = ops.AddItem(sun);
    const std::string copy = first->slide()->mediaPath;
    ASSERT_EQ(second->slide()->mediaPath, copy);
    ASSERT_EQ(refCount(sun), 2);

    select(second);
    ops.DeleteItem(false);
    EXPECT_TRUE(exists(copy));
    EXPECT_EQ(refCount(sun), 1);
    select(first);
    ops.DeleteItem(false);
    EXPECT_FALSE(exists(copy));
    EXPECT_EQ(refCount(sun), 0);
}

TEST_F(TreeOperationsTest, ImportingEachFileIntoItsOwnSession)
{
    document.setDirty(false);
    for (const char* name : {"a.jpg", "b.gif", "c.bmp"}) {
        TreeItem* added = ops.ImportSlide(mediaFile(name), 1);
        ASSERT_NE(added, nullptr);
        EXPECT_EQ(added->slide()->hasContent, 1);
    }
    EXPECT_EQ(shape(), "Session 1[a] Session 2[b] Session 3[c]");
    EXPECT_EQ(tree().slideCount(), 3);
    EXPECT_EQ(defaultImageCount(), 3);
    EXPECT_TRUE(document.dirty());
}

TEST_F(TreeOperationsTest, ImportIntoNewSessionKeepsAFirstSessionWithContent)
{
    // A touched first session stays.
    session(0)->session()->modified = 1;
    ops.ImportSlide(mediaFile("a.jpg"), 1);
    EXPECT_EQ(shape(), "Session 1[] Session 2[a]");

    // So does one whose first slide is empty but whose others are not.
    session(0)->session()->modified = 0;
    label(slide(0, 0), "");
    appendSlide(slide(0, 0), "kept");
    select(session(1));
    ops.ImportSlide(mediaFile("b.jpg"), 1);
    EXPECT_EQ(shape(), "Session 1[,kept] Session 2[a] Session 3[b]");
}

TEST_F(TreeOperationsTest, ImportFromASlideAddsASessionAfterItsSession)
{
    appendSession("b");
    label(slide(0, 0), "a");
    select(slide(0, 0));
    ops.ImportSlide(mediaFile("new.jpg"), 1);
    EXPECT_EQ(shape(), "Session 1[a] Session 2[new] Session 3[b]");
}

TEST_F(TreeOperationsTest, ImportingIntoTheSelectedSession)
{
    // The only, empty slide makes way for the first import.
    select(session(0));
    ops.ImportSlide(mediaFile("a.jpg"), 0);
    EXPECT_EQ(shape(), "Session 1[a]");
    EXPECT_EQ(tree().slideCount(), 1);

    // Further imports follow the last one.
    ops.ImportSlide(mediaFile("b.jpg"), 0);
    ops.ImportSlide(mediaFile("c.jpg"), 0);
    EXPECT_EQ(shape(), "Session 1[a,b,c]");

    // A session target appends; a slide target inserts after it.
    select(session(0));
    ops.ImportSlide(mediaFile("d.jpg"), 0);
    select(slide(0, 0));
    ops.ImportSlide(mediaFile("e.jpg"), 0);
    EXPECT_EQ(shape(), "Session 1[a,e,b,c,d]");

    // A slide with content that is the only one of its session stays.
    TreeItem* second = appendSession("x");
    select(second->child(0));
    ops.ImportSlide(mediaFile("f.jpg"), 0);
    EXPECT_EQ(shape(), "Session 1[a,e,b,c,d] Session 2[x,f]");
    EXPECT_EQ(tree().slideCount(), 7);
}

TEST_F(TreeOperationsTest, EmptySlide)
{
    SlideData slide;
    EXPECT_TRUE(TreeOperations::isEmptySlide(slide));
    slide.mediaPath = inst.folder() + "Temp/gone.jpg";
    EXPECT_TRUE(TreeOperations::isEmptySlide(slide));
    slide.mediaPath = mediaFile("here.jpg");
    EXPECT_FALSE(TreeOperations::isEmptySlide(slide));
    slide = SlideData();
    slide.description = "d";
    EXPECT_FALSE(TreeOperations::isEmptySlide(slide));
}

TEST_F(TreeOperationsTest, Renaming)
{
    EXPECT_FALSE(ops.canRename(tree().root()));
    EXPECT_FALSE(ops.canRename(*session(0)));
    select(session(0));
    EXPECT_EQ(ops.beginRename(), nullptr);

    select(slide(0, 0));
    TreeItem* item = ops.beginRename();
    ASSERT_EQ(item, slide(0, 0));
    ops.endRename(*item, "Hello");
    EXPECT_EQ(item->slide()->subTopic, "Hello");

    document.setDirty(false);
    ops.endRename(*item, "");
    EXPECT_EQ(item->text(), "");
    EXPECT_EQ(item->slide()->subTopic, "");
    EXPECT_TRUE(document.dirty());
}

TEST_F(TreeOperationsTest, SelectionTellsKindFlagsAndImports)
{
    appendSession("b");
    appendSlide(slide(1, 0), "c");

    struct Case {
        TreeItem* item;
        SelectedKind kind;
        int imports;
        bool atTop, atBottom, canDelete, slideSelected;
    };
    const Case cases[] = {
        {&tree().root(), SelectedKind::Project, 0, false, false, false, false},
        {session(0), SelectedKind::Session, 1, true, false, true, false},
        {session(1), SelectedKind::Session, 1, false, true, true, false},
        {slide(0, 0), SelectedKind::Slide, 0, true, false, true, true},
        {slide(1, 0), SelectedKind::Slide, 0, false, false, true, true},
        {slide(1, 1), SelectedKind::Slide, 0, false, true, true, true},
    };
    for (const Case& c : cases) {
        const int before = refreshes;
        select(c.item);
        SCOPED_TRACE(c.item->text());
        EXPECT_EQ(document.selectedKind, c.kind);
        EXPECT_EQ(document.imageImportAllowed(), c.imports);
        EXPECT_EQ(document.voiceImportAllowed(), c.imports);
        EXPECT_EQ(ops.itemSelected(), c.kind != SelectedKind::Project);
        EXPECT_EQ(ops.slideSelected(), c.slideSelected);
        EXPECT_EQ(ops.atTop(), c.atTop);
        EXPECT_EQ(ops.atBottom(), c.atBottom);
        EXPECT_EQ(ops.canDelete(), c.canDelete);
        EXPECT_GT(refreshes, before);
    }

    // A right-click computes the flags for its item without moving the selection.
    ops.computeFlags(session(0));
    EXPECT_TRUE(ops.atTop());
    EXPECT_EQ(tree().selected(), slide(1, 1));
    EXPECT_EQ(document.selectedKind, SelectedKind::Slide);

    // While the document is busy only the tree's own selection moves.
    document.setBusy(true);
    const int before = refreshes;
    select(session(0));
    EXPECT_EQ(tree().selected(), session(0));
    EXPECT_EQ(document.selectedKind, SelectedKind::Slide);
    EXPECT_EQ(refreshes, before);
    document.setBusy(false);

    // A click on the selection after another pane was shown shows it again.
    document.selectedKind = SelectedKind::Information;
    ops.selectionClicked();
    EXPECT_EQ(document.selectedKind, SelectedKind::Session);
}

TEST_F(TreeOperationsTest, RenumberingAndTheBuiltTreeAfterReset)
{
    appendSession("b");
    appendSession("c");
    tree().setText(*session(1), "Session 9");
    tree().setText(*session(2), "odd");
    ops.RenumberSessions(session(1));
    EXPECT_EQ(shape(), "Session 1[] Session 2[b] Session 3[c]");

    ops.createView();
    EXPECT_EQ(shape(), "Session 1[]");
    EXPECT_EQ(tree().slideCount(), 1);
    EXPECT_EQ(defaultImageCount(), 1);
    EXPECT_FALSE(document.dirty());
    EXPECT_EQ(tree().selected(), &tree().root());
}

} // namespace
} // namespace pavonia
