#include "album/ContentAlbum.h"
#include "platform/StringTable.h"

#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pavonia {
namespace {

namespace fs = std::filesystem;
using Type = AlbumItem::Type;

// A small library: two described faces (one missing on disk), one face that
// the description does not name, messages in folders, and what the album
// must not show.
class ContentAlbumTest : public ::testing::Test {
protected:
    ContentAlbumTest()
    {
        home.writeFile("install/Content/album-3.cnt", "PAVONIA-ALBUM 3\n"
                                              "image\tZoe.tjm\tZoe the guide\n"
                                              "image\tGone.tjm\tNot there\n"
                                              "image\tAda.tjm\tAda\n"
                                              "message\tGreetings/Hello.tps\tHello there\n");
        for (const char* file : {"Zoe.tjm", "Ada.tjm", "Bob.TJM", "Zoe.bmp", "Greetings/Hello.tps",
                                 "Greetings/Deeper/Bye.tps", "Faces/More/Cy.tjm", ".hidden/X.tjm", ".Y.tjm"})
            home.writeFile(std::string("install/Content/") + file, "x");
        fs::create_directories(home.folder() + "Content/Empty");
        fs::create_directories(home.folder() + "Content/Folder.tjm");
        fs::create_symlink(home.folder() + "Content/Ada.tjm", home.folder() + "Content/Link.tjm");
        fs::create_directory_symlink(home.folder() + "Content/Faces", home.folder() + "Content/LinkedFaces");
    }

    std::vector<std::pair<Type, std::string>> shown(const ContentAlbum& album) const
    {
        std::vector<std::pair<Type, std::string>> items;
        for (const AlbumItem& item : album.items())
            items.emplace_back(item.type, item.title);
        return items;
    }

    test::TestInstallation home{false};
    std::string content = home.folder() + "Content/";
};

TEST_F(ContentAlbumTest, ImagesShowDescribedNamesFirstThenOthersAndFoldersHoldingImages)
{
    ContentAlbum album(content, AlbumKind::Images);
    ASSERT_TRUE(album.load().ok());
    EXPECT_FALSE(album.descriptionProblem());
    EXPECT_EQ(album.currentFolder(), home.folder() + "Content");
    const std::vector<std::pair<Type, std::string>> root = {
        {Type::Folder, "Faces"}, {Type::File, "Zoe the guide"}, {Type::File, "Ada"}, {Type::File, "Bob"}};
    EXPECT_EQ(shown(album), root);
    const AlbumItem& zoe = album.items()[1];
    EXPECT_EQ(zoe.path, content + "Zoe.tjm");
    EXPECT_EQ(zoe.thumbnailPath, content + "Zoe.bmp");

    ASSERT_TRUE(album.showFolder(content + "Faces/"));
    const std::vector<std::pair<Type, std::string>> faces = {{Type::Parent, "Up"}, {Type::Folder, "More"}};
    EXPECT_EQ(shown(album), faces);
    EXPECT_EQ(album.items()[0].path, home.folder() + "Content");
    ASSERT_TRUE(album.showFolder(album.items()[1].path));
    EXPECT_EQ(album.items()[1].path, content + "Faces/More/Cy.tjm");
}

TEST_F(ContentAlbumTest, MessagesShowTheirOwnFolders)
{
    ContentAlbum album(content, AlbumKind::Messages);
    ASSERT_TRUE(album.load().ok());
    EXPECT_EQ(shown(album), (std::vector<std::pair<Type, std::string>>{{Type::Folder, "Greetings"}}));
    ASSERT_TRUE(album.showFolder(content + "Greetings"));
    EXPECT_EQ(shown(album), (std::vector<std::pair<Type, std::string>>{
                                {Type::Parent, "Up"}, {Type::Folder, "Deeper"}, {Type::File, "Hello there"}}));
}

TEST_F(ContentAlbumTest, NoFolderOutsideTheContentFolderCanBeShown)
{
    ContentAlbum album(content, AlbumKind::Images);
    ASSERT_TRUE(album.load().ok());
    for (const std::string& outside : {home.folder(), content + "..", content + "Faces/../..", std::string("/"),
                                       content + "Zoe.tjm", content + "Missing", home.folder() + "Content2"}) {
        EXPECT_FALSE(album.showFolder(outside)) << outside;
        EXPECT_EQ(album.currentFolder(), home.folder() + "Content");
    }
    EXPECT_TRUE(album.showFolder(content + "Faces/../Empty"));
    EXPECT_EQ(album.currentFolder(), content + "Empty");
}

TEST_F(ContentAlbumTest, DamagedDescriptionStillShowsTheFilesAndMissingFolderHasNoAlbum)
{
    home.writeFile("install/Content/album-3.cnt", "PAVONIA-ALBUM 3\nimage\t../../etc/passwd.tjm\tX\n");
    ContentAlbum album(content, AlbumKind::Images);
    ASSERT_TRUE(album.load().ok());
    ASSERT_TRUE(album.descriptionProblem());
    EXPECT_EQ(album.descriptionProblem()->message, str::AlbumDescriptionDamaged);
    EXPECT_EQ(album.fileCount(), 4u); // Ada, Bob, Zoe and Faces/More/Cy by their own names

    ContentAlbum none(home.folder() + "NoContent/", AlbumKind::Images);
    const Result<> loaded = none.load();
    ASSERT_FALSE(loaded.ok());
    EXPECT_EQ(loaded.failure().message, str::AlbumNoContent);
}

} // namespace
} // namespace pavonia
