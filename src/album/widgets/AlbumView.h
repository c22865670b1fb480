#pragma once
// The content album: a grid of thumbnails with their names over a
// ContentAlbum, folder by folder. A click or the arrow keys select an item;
// a double click, Enter or Return opens a folder or activates a file;
// Backspace goes up. The thumbnails are made by a ContentPreloader off the
// user-interface thread. The dialog asks it what the dialog needs through
// AlbumControl. Started with a folder and a file name, it opens on that
// folder with that file selected.
#include "album/ContentAlbum.h"
#include "album/ContentAlbumLogic.h"

#include <QWidget>

#include <memory>

class QLabel;
class QListView;
class QStandardItemModel;

namespace pavonia {

class ContentPreloader;

class AlbumView : public QWidget, public AlbumControl {
    Q_OBJECT
public:
    // Loads the album as `setup` describes it. isLoaded() is false when the
    // content folder is missing; the view then shows why.
    explicit AlbumView(const AlbumSetup& setup, QWidget* parent = nullptr);
    ~AlbumView() override;

    bool isLoaded() const { return loaded_; }
    // The album's natural size: four columns of three rows.
    QSize naturalSize() const;
    QSize sizeHint() const override { return naturalSize(); }

    const ContentAlbum& album() const { return album_; }
    QListView* grid() const { return grid_; }
    // Shows `folder` (within the content folder); false otherwise.
    bool showFolder(const std::string& folder);
    // Selects the file of the shown folder named `name`; false when there is none.
    bool selectFile(const std::string& name);
    // Thumbnails of the shown folder still being made.
    int thumbnailsPending() const { return pending_; }

    bool selectionIsNotFile() const override;
    std::string selectedPath() const override;
    std::string currentFolder() const override { return album_.currentFolder(); }
    void cannotOpen(const std::string& path, int systemError) override;

signals:
    // The selection changed: the selected item's path, empty for none.
    void selectionChanged(const QString& path);
    // A file was activated (double click, Enter).
    void itemActivated(const QString& path);
    // The user asked for more content from the web.
    void addFromWebRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showItems();
    void activate(int row);
    void goUp();
    int selectedRow() const;
    void thumbnailReady(int generation, int index, const QImage& image);

    ContentAlbum album_;
    bool loaded_ = false;
    QListView* grid_ = nullptr;
    QStandardItemModel* model_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* web_ = nullptr;
    std::unique_ptr<ContentPreloader> preloader_;
    int generation_ = 0;
    int pending_ = 0;
};

} // namespace pavonia
