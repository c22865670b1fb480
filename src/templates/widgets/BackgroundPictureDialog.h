#pragma once
// The picture open dialog of the custom settings: a file list with a preview
// of the selected picture, its file size and dimensions, and the "Background
// Tile" check box.
//
// Entry point:
//   std::optional<PictureChoice> runBackgroundPictureDialog(QWidget* parent,
//       const FileDialogOptions& options, bool tile);
// `options` gives the title, filter ("Description|*.a;*.b||") and start
// folder; `tile` presets the check box. Nothing when cancelled.
#include "platform/Ui.h"

#include <QDialog>

#include <optional>
#include <string>

class QCheckBox;
class QFileDialog;
class QLabel;

namespace pavonia {

struct PictureChoice {
    std::string path;
    bool tile = false;
};

// A filter of the string table ("Image File (*.gif;*.jpg)|*.gif;*.jpg||") as
// Qt's file dialogs take it ("Image File (*.gif *.jpg)").
QStringList qtFileFilters(const std::string& filter);

class BackgroundPictureDialog : public QDialog {
    Q_OBJECT
public:
    BackgroundPictureDialog(const FileDialogOptions& options, bool tile, QWidget* parent = nullptr);

    QFileDialog* files() const { return files_; }
    // Shows the picture at `path` (size, dimensions and a thumbnail).
    void showPicture(const QString& path);
    std::optional<PictureChoice> choice() const;

private:
    QFileDialog* files_ = nullptr;
    QLabel* picture_ = nullptr;
    QLabel* fileSize_ = nullptr;
    QLabel* dimensions_ = nullptr;
    QCheckBox* tile_ = nullptr;
    QString chosen_;
};

std::optional<PictureChoice> runBackgroundPictureDialog(QWidget* parent, const FileDialogOptions& options, bool tile);

} // namespace pavonia
