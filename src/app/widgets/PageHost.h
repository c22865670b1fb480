#pragma once
// The editing form: a scrolling area that shows exactly one editing page,
// chosen by the page mode (the document's selected kind). The visible page is
// centred in the area; a page larger than the area is anchored at the
// top-left and scrolls. The information page (mode 1) fills the whole area.
//
// Pages are added with setPage(mode, widget), which hands the widget to the
// host and replaces the page the mode had (each mode starts with a
// PlaceholderPage). MainWindow::installPages() is the one place that puts
// the editing pages in.
#include "project/ProjectDocument.h"

#include <QScrollArea>

class QGridLayout;
class QStackedWidget;

namespace pavonia {

class PageHost final : public QScrollArea {
    Q_OBJECT
public:
    explicit PageHost(QWidget* parent = nullptr);

    // Hands `page` to the host as the page of `mode`; the previous page of
    // that mode is deleted.
    void setPage(SelectedKind mode, QWidget* page);
    QWidget* page(SelectedKind mode) const;
    // Shows the page of `mode`, centred, with both scroll positions at 0.
    void showPage(SelectedKind mode);
    SelectedKind mode() const { return mode_; }
    QWidget* currentPage() const { return page(mode_); }

signals:
    void pageShown(pavonia::SelectedKind mode);

private:
    void place();

    QWidget* canvas_;
    QGridLayout* layout_;
    QStackedWidget* stack_;
    QWidget* pages_[4] = {};
    SelectedKind mode_ = SelectedKind::Project;
};

// The page of a mode whose editing page is not in the program yet: a named,
// empty page that says so. The editing pages replace it with setPage().
class PlaceholderPage final : public QWidget {
    Q_OBJECT
public:
    PlaceholderPage(int nameText, QWidget* parent = nullptr);
};

} // namespace pavonia
