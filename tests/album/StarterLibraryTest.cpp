// The starter content library the build installs: every talking image and
// message the album offers can be read and plays with lip-sync.
#include "album/ContentAlbum.h"
#include "voice/TjmFile.h"
#include "voice/TpsFile.h"

#include "TestInstallation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace pavonia {
namespace {

const std::string kContent = std::string(PAVONIA_TEST_DATA_DIR) + "/Content/";

// Every file of the album's kind, folder by folder.
std::vector<AlbumItem> allFiles(ContentAlbum& album)
{
    std::vector<AlbumItem> files;
    std::vector<std::string> folders = {album.rootFolder()};
    while (!folders.empty()) {
        EXPECT_TRUE(album.showFolder(folders.back()));
        folders.pop_back();
        for (const AlbumItem& item : album.items()) {
            if (item.type == AlbumItem::Type::Folder)
                folders.push_back(item.path);
            else if (item.type == AlbumItem::Type::File)
                files.push_back(item);
        }
    }
    return files;
}

TEST(StarterLibrary, SixFacesWithThumbnailsReadAsTalkingImages)
{
    ContentAlbum album(kContent, AlbumKind::Images);
    ASSERT_TRUE(album.load().ok());
    EXPECT_FALSE(album.descriptionProblem());
    const std::vector<AlbumItem> faces = allFiles(album);
    ASSERT_GE(faces.size(), 6u);
    std::vector<std::string> pictures;
    for (const AlbumItem& face : faces) {
        SCOPED_TRACE(face.path);
        TjmFile file;
        ASSERT_TRUE(readTjmFile(face.path, file).ok());
        EXPECT_TRUE(std::filesystem::is_regular_file(face.thumbnailPath));
        EXPECT_NE(face.title, "");
        pictures.push_back(file.picture);
    }
    // Varied faces, not one face six times.
    std::sort(pictures.begin(), pictures.end());
    EXPECT_EQ(std::unique(pictures.begin(), pictures.end()), pictures.end());
}

TEST(StarterLibrary, SixSpokenMessagesWithLipSyncInGreetingTransitionAndClosingFolders)
{
    ContentAlbum album(kContent, AlbumKind::Messages);
    ASSERT_TRUE(album.load().ok());
    std::vector<std::string> folders;
    for (const AlbumItem& item : album.items())
        folders.push_back(item.title);
    EXPECT_EQ(folders, (std::vector<std::string>{"Closings", "Greetings", "Transitions"}));

    const std::vector<AlbumItem> messages = allFiles(album);
    ASSERT_GE(messages.size(), 6u);
    for (const AlbumItem& item : messages) {
        SCOPED_TRACE(item.path);
        TalkingMessage message;
        ASSERT_TRUE(readTps(item.path, message).ok());
        EXPECT_EQ(checkTps(item.path), TpsKind::Voice);
        EXPECT_GT(message.lengthMs(), 1000);
        EXPECT_GE(message.frames.size(), std::size_t(message.lengthMs() / kLipSyncFrameMs));
        EXPECT_TRUE(std::any_of(message.frames.begin(), message.frames.end(),
                                [](const LipSyncFrame& f) { return !f.mouthClosed(); }));
        EXPECT_TRUE(std::filesystem::is_regular_file(item.thumbnailPath));
    }
    EXPECT_TRUE(std::filesystem::is_regular_file(kContent + "album-bg-r.bmp"));
}

} // namespace
} // namespace pavonia
