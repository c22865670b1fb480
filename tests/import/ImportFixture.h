#pragma once
// A project for the import tests: a throw-away installation, its document
// and tree, and pictures made on disk.
#include "PictureFixtures.h"
#include "TestProject.h"
#include "TreeShape.h"
#include "import/MediaImport.h"
#include "platform/StringTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pavonia::test {

class ImportFixture : public ::testing::Test, protected TestProject {
protected:
    void SetUp() override
    {
        ops.createView();
        ui.shown.clear();
    }

    ProjectTree& tree() { return document.tree(); }

    // A small JPEG picture in the test's "pictures" folder.
    std::string picture(const std::string& name)
    {
        return inst.writeFile("pictures/" + name,
                              encodeJpeg(8, 6, 3, [](int, int, int c) { return std::uint8_t(c * 80); }));
    }

    // The slides' labels in tree order: "Session 1[a,b] Session 2[c]".
    std::string shape() { return pavonia::test::treeShape(tree()); }

    // Fills the first session up to `count` slides, all carrying one picture.
    void fillSlides(int count)
    {
        const std::string media = picture("filler.jpg");
        ops.selectionChanged(tree().root().child(0));
        while (tree().slideCount() < count)
            ASSERT_NE(ops.ImportSlide(media, 0), nullptr);
        ui.shown.clear();
    }

    int messagesOf(int textId)
    {
        int n = 0;
        for (const auto& text : ui.texts())
            n += text == StringTable::text(textId);
        return n;
    }

    TreeOperations& ops = operations;
};

} // namespace pavonia::test
