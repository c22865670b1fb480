#pragma once
// The list dialog of the style page: a resolution drop-down (hidden for
// layouts) over a list of thumbnails with their descriptions, over
// ListDialogLogic. Thumbnails are decoded on worker threads and arrive by
// queued signal, so that a long list never holds up the window.
//
// Entry point:
//   std::optional<ListChoice> runListDialog(QWidget* parent, ListDialogLogic& logic);
// opens the logic, shows the dialog modally and returns the choice on OK.
// StylePage passes it to StylePageLogic::PickStyle and PickLayout.
#include "templates/ListDialogLogic.h"

#include <QDialog>
#include <QImage>

#include <memory>
#include <optional>

class QComboBox;
class QGroupBox;
class QListWidget;
class QPushButton;

namespace pavonia {

class ThumbnailLoader;

class ListDialog : public QDialog {
    Q_OBJECT
public:
    // Opens `logic` and fills the lists; thumbnails follow as they load.
    explicit ListDialog(ListDialogLogic& logic, QWidget* parent = nullptr);
    ~ListDialog() override;

    const ListDialogLogic& logic() const { return logic_; }
    QComboBox* resolutionList() const { return resolutions_; }
    QListWidget* list() const { return list_; }
    // Thumbnails of the shown rows still being decoded.
    int thumbnailsPending() const { return pending_; }

    void accept() override;
    // What OK returned; nothing before OK or after Cancel.
    const std::optional<ListChoice>& choice() const { return choice_; }

private:
    void showRows();
    void showState();
    void thumbnailLoaded(int generation, int row, const QImage& image);
    void selectionChanged();

    ListDialogLogic& logic_;
    QGroupBox* resolutionBox_ = nullptr;
    QComboBox* resolutions_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* ok_ = nullptr;
    std::unique_ptr<ThumbnailLoader> loader_;
    int generation_ = 0;
    int pending_ = 0;
    bool anyLoaded_ = false;
    QSize thumbnailSize_;
    bool filling_ = false;
    std::vector<CatalogueRow> shownRows_;
    std::optional<ListChoice> choice_;
};

std::optional<ListChoice> runListDialog(QWidget* parent, ListDialogLogic& logic);

} // namespace pavonia
