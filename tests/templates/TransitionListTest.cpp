#include "templates/TransitionList.h"

#include "TestInstallation.h"

#include <gtest/gtest.h>

using namespace pavonia;
using pavonia::test::TestInstallation;

namespace {
std::vector<std::string> names(const std::vector<TransitionEntry>& entries)
{
    std::vector<std::string> out;
    for (const auto& e : entries)
        out.push_back(e.name);
    return out;
}
} // namespace

TEST(TransitionList, TheInstalledCatalogueListsTwentyTransitions)
{
    TestInstallation inst;
    const auto list = TransitionList(inst.folder()).read();
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 20u);
    EXPECT_EQ(list->front().name, "No Transition");
    EXPECT_EQ(list->front().value, -1);
    EXPECT_EQ((*list)[18].name, "Fade");
    EXPECT_EQ((*list)[18].value, 17);
}

TEST(TransitionList, CataloguesOfEveryShape)
{
    struct Case {
        const char* catalogue;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"[Global]\nTransitionCount=2\n[Transition]\nTrans0=None\nTrans1=A\nTrans2=B\nTrans3=Unlisted\n",
         {"None", "A", "B"}},
        // No count: only the first entry.
        {"[Transition]\nTrans0=None\nTrans1=A\n", {"None"}},
        // A gap keeps its position, so B stays at position 3 (value 2).
        {"[Global]\nTransitionCount=3\n[Transition]\nTrans0=None\nTrans1=A\nTrans3=B\n", {"None", "A", "", "B"}},
        {"[Global]\nTransitionCount=-4\n[Transition]\nTrans0=None\n", {}},
    };
    for (const auto& c : cases) {
        TestInstallation inst(false);
        inst.writeFile("install/Template/Pavonia.ini", c.catalogue);
        const auto list = TransitionList(inst.folder()).read();
        ASSERT_TRUE(list) << c.catalogue;
        EXPECT_EQ(names(*list), c.names) << c.catalogue;
        for (std::size_t i = 0; i < list->size(); ++i)
            EXPECT_EQ((*list)[i].value, static_cast<int>(i) - 1);
    }
}

TEST(TransitionList, ADamagedCountIsBounded)
{
    TestInstallation inst(false);
    inst.writeFile("install/Template/Pavonia.ini", "[Global]\nTransitionCount=2147483647\n");
    const auto list = TransitionList(inst.folder()).read();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->size(), static_cast<std::size_t>(TransitionList::kMaxIndex) + 1);
}

TEST(TransitionList, AMissingCatalogueIsReportedByItsPath)
{
    TestInstallation inst(false);
    const TransitionList transitions(inst.folder());
    EXPECT_FALSE(transitions.read());
    EXPECT_EQ(transitions.lostMessage(), "Ini file lost. (" + inst.folder() + "Template/Pavonia.ini)");
}
