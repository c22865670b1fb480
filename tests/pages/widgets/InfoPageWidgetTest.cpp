#include "pages/widgets/InfoPage.h"

#include "OffscreenApplication.h"
#include "TestInstallation.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

namespace pavonia {
namespace {

void addSession(ProjectTree& tree, const std::vector<std::string>& subTopics)
{
    TreeItem* session = tree.insertSession(nullptr, std::make_unique<SessionData>(), "Session");
    for (const std::string& subTopic : subTopics) {
        auto slide = std::make_unique<SlideData>();
        slide->subTopic = subTopic;
        slide->transition = -1;
        tree.insertSlide(*session, nullptr, std::move(slide), subTopic);
    }
}

TEST(InfoPage, ListsTheTableAndSizesItsColumnsToTheList)
{
    test::TestInstallation installation; // the stock catalogue
    ProjectTree tree;
    addSession(tree, {"A", "A"});
    addSession(tree, {"A", "B"});
    InfoPage page(tree, installation.folder());
    page.resize(700, 400);
    page.show();
    page.refresh();

    QTreeWidget* list = page.list();
    ASSERT_EQ(list->topLevelItemCount(), 4);
    const char* expected[4][2] = {{"1", "A"}, {"", "-"}, {"2", "-"}, {"", "B"}};
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(list->topLevelItem(row)->text(0), expected[row][0]) << row;
        EXPECT_EQ(list->topLevelItem(row)->text(1), expected[row][1]) << row;
        EXPECT_EQ(list->topLevelItem(row)->text(2), "3.00");
        EXPECT_EQ(list->topLevelItem(row)->text(3), "No Transition");
        EXPECT_EQ(list->topLevelItem(row)->text(4), "");
    }
    const auto widths = InfoPageLogic::columnWidths(list->viewport()->width());
    for (int column = 0; column < InfoPageLogic::kColumns; ++column)
        EXPECT_EQ(list->columnWidth(column), widths[std::size_t(column)]) << column;

    // A new width, new columns; a changed tree shows at the next refresh.
    page.resize(400, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(list->columnWidth(1), InfoPageLogic::columnWidths(list->viewport()->width())[1]);
    addSession(tree, {"C"});
    page.refresh();
    EXPECT_EQ(list->topLevelItemCount(), 5);
    test::grab(page, "info-page");
}

} // namespace
} // namespace pavonia
