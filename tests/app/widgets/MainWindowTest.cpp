#include "app/widgets/MainWindow.h"

#include "app/widgets/PageHost.h"
#include "app/widgets/ProjectTreeModel.h"
#include "platform/StringTable.h"
#include "WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

namespace pavonia {
namespace {

class MainWindowTest : public test::WindowFixture {
protected:
    ProjectTree& tree() { return document().tree(); }
    TreeItem* currentItem() { return window->treeModel().itemAt(window->treeView().currentIndex()); }
};

TEST_F(MainWindowTest, HasTheFramesPartsInPlace)
{
    EXPECT_EQ(window->size(), QSize(800, 620));
    EXPECT_EQ(window->minimumSize(), QSize(800, 620));
    EXPECT_EQ(window->windowTitle(), "Pavonia");

    auto* toolBar = window->findChild<QToolBar*>("toolBar");
    ASSERT_NE(toolBar, nullptr);
    QStringList labels;
    for (QAction* action : toolBar->actions())
        labels << action->iconText();
    EXPECT_EQ(labels, QStringList({"New", "Open", "Save", "Import", "Up", "Down", "Add", "Del", "Preview", "Export",
                                   "Project", "Info"}));
    EXPECT_EQ(toolBar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    for (QAction* action : toolBar->actions())
        EXPECT_FALSE(action->icon().isNull()) << action->iconText().toStdString();

    EXPECT_EQ(window->headingEdit().maxLength(), 128);
    auto* headingBar = window->findChild<QToolBar*>("headingBar");
    ASSERT_NE(headingBar, nullptr);
    EXPECT_NE(headingBar->findChild<QLabel*>(), nullptr);
    EXPECT_EQ(headingBar->findChild<QLabel*>()->text(), "Heading Text");
    for (const char* name : {"messagePane", "capsLockIndicator", "numLockIndicator", "scrollLockIndicator"})
        EXPECT_NE(window->findChild<QLabel*>(name), nullptr) << name;
    // Offscreen there is no keyboard to ask: the indicators are disabled.
    EXPECT_FALSE(window->findChild<QLabel*>("capsLockIndicator")->isEnabled());

    auto* split = window->findChild<QSplitter*>("split");
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(split->sizes().front(), 150);
    EXPECT_EQ(window->treeView().palette().color(QPalette::Base), QColor(0xA0, 0x9C, 0x77));
    EXPECT_EQ(window->treeModel().rowCount({}), 1);
    EXPECT_EQ(currentItem(), &tree().root());
}

TEST_F(MainWindowTest, CommandsFollowTheSelectionAndTheDocument)
{
    EXPECT_FALSE(window->action(Command::Add)->isEnabled()); // the root is selected
    window->treeView().setCurrentIndex(window->treeModel().indexOf(tree().allSlides().front()));
    settle();
    EXPECT_EQ(document().selectedKind, SelectedKind::Slide);
    EXPECT_TRUE(window->action(Command::Add)->isEnabled());
    EXPECT_FALSE(window->action(Command::Delete)->isEnabled()); // the only, empty slide

    window->run(Command::Add);
    settle();
    EXPECT_EQ(tree().allSlides().size(), 2u);
    EXPECT_EQ(currentItem(), tree().allSlides()[1]);
    EXPECT_TRUE(window->action(Command::Delete)->isEnabled());
    EXPECT_TRUE(window->action(Command::MoveUp)->isEnabled());
    EXPECT_FALSE(window->action(Command::MoveDown)->isEnabled());

    // Recording: editing commands, the heading field and the tree go grey.
    EXPECT_TRUE(window->headingEdit().isEnabled());
    document().setEditingAllowed(false);
    settle();
    EXPECT_FALSE(window->action(Command::SaveProject)->isEnabled());
    EXPECT_FALSE(window->headingEdit().isEnabled());
    EXPECT_FALSE(window->treeView().isEnabled());
    EXPECT_TRUE(window->action(Command::About)->isEnabled());
    document().setEditingAllowed(true);
    settle();
    EXPECT_TRUE(window->action(Command::SaveProject)->isEnabled());

    // The title follows the document without being asked.
    document().updateTitle("/somewhere/talk.pvp");
    settle();
    EXPECT_EQ(window->windowTitle(), "Pavonia - talk.pvp");
}

TEST_F(MainWindowTest, TheTreeKeepsSelectionAndExpansionThroughMoves)
{
    // Session 1 (slides a, b), Session 2 (slide c), Session 3 (slide d).
    TreeOperations& ops = session->operations();
    ops.selectionChanged(tree().allSlides().front());
    ops.AddItem();
    for (int i = 0; i < 2; ++i) {
        ops.selectionChanged(tree().sessions().back());
        ops.AddItem();
    }
    settle();
    ASSERT_EQ(tree().sessions().size(), 3u);
    window->treeView().expandAll();
    TreeItem* second = tree().sessions()[1];
    window->treeView().setCurrentIndex(window->treeModel().indexOf(second));
    window->treeView().collapse(window->treeModel().indexOf(tree().sessions()[2]));
    settle();

    window->run(Command::MoveUp);
    settle();
    ASSERT_EQ(tree().sessions().front(), second);
    EXPECT_EQ(second->text(), "Session 1");
    EXPECT_EQ(currentItem(), second);
    EXPECT_TRUE(window->treeView().isExpanded(window->treeModel().indexOf(second)));
    EXPECT_FALSE(window->treeView().isExpanded(window->treeModel().indexOf(tree().sessions()[2])));
    EXPECT_EQ(window->treeModel().data(window->treeModel().indexOf(second), Qt::DisplayRole).toString(),
              "Session 1");

    // A slide dropped on a slide of another session moves there step by
    // step, with the move commands' question at the session boundary.
    TreeItem* first = tree().allSlides().front(); // the only slide of the moved session
    TreeItem* target = tree().allSlides()[2];     // b, in the second session
    QMimeData* data = window->treeModel().mimeData({window->treeModel().indexOf(first)});
    ASSERT_NE(data, nullptr);
    // Only what the drop asks counts (selecting a session may have said
    // that the machine has no sound card).
    ui.shown.clear();
    ui.answers = {Answer::Ok};
    EXPECT_TRUE(window->treeModel().canDropMimeData(data, Qt::MoveAction, -1, -1,
                                                    window->treeModel().indexOf(target)));
    window->treeModel().dropMimeData(data, Qt::MoveAction, -1, -1, window->treeModel().indexOf(target));
    delete data;
    settle();
    EXPECT_EQ(ui.texts(), std::vector<std::string>{StringTable::text(str::MoveDownDeletesSession)});
    EXPECT_EQ(tree().sessions().size(), 2u);
    EXPECT_EQ(first->parent(), target->parent());
    EXPECT_EQ(first->row(), target->row() + 1);
    EXPECT_EQ(currentItem(), first);
    // A session never lands on a slide.
    QMimeData* sessionData = window->treeModel().mimeData({window->treeModel().indexOf(tree().sessions()[0])});
    EXPECT_FALSE(window->treeModel().canDropMimeData(sessionData, Qt::MoveAction, -1, -1,
                                                     window->treeModel().indexOf(target)));
    delete sessionData;
}

TEST_F(MainWindowTest, HeadingFieldAndRenameChangeTheProject)
{
    EXPECT_FALSE(document().dirty());
    window->headingEdit().setText("Our trip");
    EXPECT_EQ(document().settings().headingText, "Our trip");
    EXPECT_TRUE(document().dirty());
    window->headingEdit().setText("OUR TRIP");
    EXPECT_EQ(document().settings().headingText, "OUR TRIP");

    TreeItem* slide = tree().allSlides().front();
    window->treeModel().setData(window->treeModel().indexOf(slide), "Arrival", Qt::EditRole);
    EXPECT_EQ(slide->slide()->subTopic, "Arrival");
    EXPECT_FALSE(window->treeModel().setData(window->treeModel().indexOf(&tree().root()), "x", Qt::EditRole));
    EXPECT_EQ(tree().root().text(), "Project");
}

TEST_F(MainWindowTest, PagesAreCentredOrAnchoredAndInformationFillsTheForm)
{
    PageHost& pages = window->pages();
    auto* small = new QWidget;
    small->setFixedSize(200, 100);
    pages.setPage(SelectedKind::Project, small);
    pages.showPage(SelectedKind::Project);
    settle();
    const QRect area = pages.viewport()->rect();
    const QPoint at = small->mapTo(pages.viewport(), QPoint(0, 0));
    EXPECT_NEAR(at.x(), (area.width() - 200) / 2, 1);
    EXPECT_NEAR(at.y(), (area.height() - 100) / 2, 1);

    auto* large = new QWidget;
    large->setFixedSize(1200, 900);
    pages.setPage(SelectedKind::Slide, large);
    pages.showPage(SelectedKind::Slide);
    settle();
    EXPECT_EQ(large->mapTo(pages.viewport(), QPoint(0, 0)), QPoint(0, 0));
    EXPECT_GT(pages.horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(pages.verticalScrollBar()->maximum(), 0);

    window->run(Command::SlideInfo);
    settle();
    EXPECT_EQ(pages.mode(), SelectedKind::Information);
    EXPECT_EQ(document().selectedKind, SelectedKind::Information);
    EXPECT_EQ(pages.currentPage()->objectName(), "infoPage");
    // The information page fills the form.
    EXPECT_NEAR(pages.currentPage()->width(), pages.viewport()->width(), 2);
    EXPECT_FALSE(window->action(Command::Add)->isEnabled());
}

TEST_F(MainWindowTest, HelpAndWebLinksOpenInTheDesktopsPrograms)
{
    window->run(Command::HelpContent);
    window->run(Command::GettingStarted);
    window->run(Command::ProductWebLink);
    ASSERT_EQ(shell.opened.size(), 3u);
    EXPECT_EQ(shell.opened[0], installation.folder() + "Help/Introduction.htm");
    EXPECT_EQ(shell.opened[1], installation.folder() + "Help/Getting_Started.htm");
    EXPECT_TRUE(shell.opened[2].starts_with("https://"));
    // Menu pruning: no update check is offered.
    EXPECT_FALSE(window->action(Command::CheckForUpdates)->isVisible());
}

} // namespace
} // namespace pavonia
