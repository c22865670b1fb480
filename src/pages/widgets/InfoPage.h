#pragma once
// The information page: every slide of the project in one report list with
// its session's number, sub-topic, delay, transition and media type. Shown
// by "Slide Info", stretched over the whole form; it only displays. The rows
// are made again each time the page is shown (refresh()), the column widths
// each time the list changes width.
#include "pages/InfoPageLogic.h"

#include <QWidget>

class QTreeWidget;

namespace pavonia {

class InfoPage final : public QWidget {
    Q_OBJECT
public:
    InfoPage(const ProjectTree& tree, const std::string& installationFolder, QWidget* parent = nullptr);

    void refresh();
    QTreeWidget* list() const { return list_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitColumns();

    const ProjectTree& tree_;
    TransitionList transitions_;
    InfoPageLogic logic_;
    QTreeWidget* list_ = nullptr;
};

} // namespace pavonia
