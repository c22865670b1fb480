#include "pages/InfoPageLogic.h"

#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <memory>

namespace pavonia {

void PrintTo(const InfoRow& row, std::ostream* out)
{
    *out << "{" << row.session << " | " << row.subTopic << " | " << row.delay << " | " << row.transition << " | "
         << row.media << "}";
}

namespace {

struct SlideFields {
    std::string subTopic;
    std::string media;
    float delay = 3.0f;
    int transition = 0;
};

TreeItem* addSession(ProjectTree& tree, const std::vector<SlideFields>& slides)
{
    TreeItem* session = tree.insertSession(nullptr, std::make_unique<SessionData>(), "Session");
    for (const SlideFields& fields : slides) {
        auto slide = std::make_unique<SlideData>();
        slide->subTopic = fields.subTopic;
        slide->mediaPath = fields.media;
        slide->delay = fields.delay;
        slide->transition = fields.transition;
        tree.insertSlide(*session, nullptr, std::move(slide), fields.subTopic);
    }
    return session;
}

class InfoPageLogicTest : public ::testing::Test {
protected:
    InfoPageLogicTest() : installation_(false), transitions_(installation_.folder())
    {
        installation_.writeFile("install/Template/Pavonia.ini", "[Global]\nTransitionCount=3\n[Transition]\n"
                                                        "Trans0=No Transition\nTrans1=Fade\nTrans3=Wipe\n");
    }
    test::TestInstallation installation_;
    TransitionList transitions_;
    ProjectTree tree_;
};

TEST_F(InfoPageLogicTest, OneRowPerSlideWithSessionNumbersAndRepeatedSubTopicsDashed)
{
    // Sub-topics A, A | A, B: the repeat is told without regard to case and
    // across sessions; the very first row always shows its own.
    addSession(tree_, {{"A", "/t/Media1.jpg", 3.0f, 0}, {"A", "/t/clip.WMV", 2.5f, -1}});
    addSession(tree_, {});
    addSession(tree_, {{"a", "", 300.0f, 1}, {"B", "/t/with.dot/noext", 0.126f, 2}});

    const std::vector<InfoRow> expected = {
        {"1", "A", "3.00", "Fade", "JPG"},
        {"", "-", "2.50", "No Transition", "WMV"},       // transition -1 is "Trans0"
        {"3", "-", "300.00", "", ""},                     // "Trans2" missing: empty
        {"", "B", "0.13", "Wipe", ""},
    };
    EXPECT_EQ(InfoPageLogic(transitions_).rows(tree_), expected);
}

TEST_F(InfoPageLogicTest, TransitionNamesFollowTheCatalogueAndAreEmptyWithoutIt)
{
    addSession(tree_, {{"A", "", 1.0f, 0}, {"B", "", 1.0f, 7}, {"C", "", 1.0f, -5}});
    const InfoPageLogic logic(transitions_);
    EXPECT_EQ(logic.rows(tree_)[0].transition, "Fade");
    EXPECT_EQ(logic.rows(tree_)[1].transition, "");
    EXPECT_EQ(logic.rows(tree_)[2].transition, "");

    installation_.writeFile("install/Template/Pavonia.ini", "[Global]\nTransitionCount=1\n[Transition]\nTrans0=X\nTrans1=Dissolve\n");
    EXPECT_EQ(logic.rows(tree_)[0].transition, "Dissolve") << "read again at each refresh";

    std::remove((installation_.folder() + "Template/Pavonia.ini").c_str());
    EXPECT_EQ(logic.rows(tree_)[0].transition, "");
    EXPECT_EQ(logic.rows(tree_).size(), 3u);
}

TEST(InfoPageColumns, WidthsAreTwelfthsOfTheClientWidthCutToWholePixels)
{
    using Widths = std::array<int, InfoPageLogic::kColumns>;
    EXPECT_EQ(InfoPageLogic::columnWidths(600), (Widths{70, 200, 90, 185, 90}));   // u = 50
    EXPECT_EQ(InfoPageLogic::columnWidths(131), (Widths{14, 40, 18, 37, 18}));     // u = 10
    EXPECT_EQ(InfoPageLogic::columnWidths(127), (Widths{14, 40, 18, 37, 18}));     // u = 10, rest dropped
    EXPECT_EQ(InfoPageLogic::columnWidths(73), (Widths{8, 24, 10, 22, 10}));       // u = 6: 8.4, 10.8, 22.2
    EXPECT_EQ(InfoPageLogic::columnWidths(0), (Widths{0, 0, 0, 0, 0}));
}

} // namespace
} // namespace pavonia
