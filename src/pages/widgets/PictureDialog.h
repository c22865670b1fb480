#pragma once
// The open-file dialog that picks pictures and clips, with a preview pane
// below its file list: a thumbnail of the selected file, its size in
// kilobytes and its dimensions in pixels, and optionally the "Background
// Tile" check box. The thumbnail is made by a PreviewWorker on its own
// thread; closing the dialog stops the worker while the dialog's events keep
// being handled.
//
// Entry points:
//   std::optional<std::string> runPictureDialog(QWidget* parent, const FileDialogOptions& options);
//   std::optional<std::vector<std::string>> runPictureFilesDialog(QWidget* parent, const FileDialogOptions& options);
// The second lets several files be chosen when `options.multiple` is set; the
// preview shows the file the list's cursor is on.
#include "pages/PreviewWorker.h"
#include "platform/Ui.h"

#include <QDialog>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QFileDialog;
class QLabel;

namespace pavonia {

// Paints the worker's thumbnail at its natural size in the middle of a
// square of the box's side, or the square in the pane's dark colour when
// there is none.
class PreviewThumbnail final : public QWidget {
    Q_OBJECT
public:
    PreviewThumbnail(const PreviewWorker& worker, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const PreviewWorker& worker_;
};

class PicturePreviewPane final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBoxSize = 100;

    PicturePreviewPane(bool showTile, bool tile, QWidget* parent = nullptr);

    PreviewWorker& worker() { return worker_; }
    QLabel* sizeField() const { return size_; }
    QLabel* dimensionField() const { return dimensions_; }
    PreviewThumbnail* thumbnail() const { return thumbnail_; }
    bool tile() const;

private:
    PreviewWorker worker_;
    PreviewThumbnail* thumbnail_ = nullptr;
    QLabel* size_ = nullptr;
    QLabel* dimensions_ = nullptr;
    QCheckBox* tile_ = nullptr;
};

class PictureDialog final : public QDialog {
    Q_OBJECT
public:
    // `showTile` shows the "Background Tile" check box, set to `tile`.
    explicit PictureDialog(const FileDialogOptions& options, bool showTile = false, bool tile = false,
                           QWidget* parent = nullptr);

    QFileDialog* files() const { return files_; }
    PicturePreviewPane* pane() const { return pane_; }
    // The chosen file after OK (the first one of several); nothing after Cancel.
    std::optional<std::string> chosen() const;
    // Every chosen file after OK; nothing after Cancel.
    std::optional<std::vector<std::string>> chosenFiles() const;
    // The check box's state as the user left it.
    bool tile() const { return pane_->tile(); }

    void done(int result) override;

private:
    QFileDialog* files_ = nullptr;
    PicturePreviewPane* pane_ = nullptr;
    QStringList chosen_;
};

std::optional<std::string> runPictureDialog(QWidget* parent, const FileDialogOptions& options);
std::optional<std::vector<std::string>> runPictureFilesDialog(QWidget* parent, const FileDialogOptions& options);

} // namespace pavonia
