#include "pages/widgets/InfoPage.h"

#include "platform/StringTable.h"

#include <QEvent>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace pavonia {

namespace {

QString qt(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

InfoPage::InfoPage(const ProjectTree& tree, const std::string& installationFolder, QWidget* parent)
    : QWidget(parent), tree_(tree), transitions_(installationFolder), logic_(transitions_)
{
    setObjectName("infoPage");
    list_ = new QTreeWidget(this);
    list_->setObjectName("infoList");
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionsMovable(false);
    list_->setHeaderLabels({qt(StringTable::text(str::InfoColumnSession)), qt(StringTable::text(str::SettingsSubTopic)),
                            qt(StringTable::text(str::InfoColumnDelayTime)),
                            qt(StringTable::text(str::InfoColumnTransition)),
                            qt(StringTable::text(str::InfoColumnMedia))});
    list_->viewport()->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    setMinimumSize(320, 200);
}

void InfoPage::refresh()
{
    list_->clear();
    QList<QTreeWidgetItem*> items;
    for (const InfoRow& row : logic_.rows(tree_)) {
        auto* item = new QTreeWidgetItem(
            QStringList{qt(row.session), qt(row.subTopic), qt(row.delay), qt(row.transition), qt(row.media)});
        items << item;
    }
    list_->addTopLevelItems(items);
    fitColumns();
    list_->setFocus();
}

bool InfoPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_->viewport() && event->type() == QEvent::Resize)
        fitColumns();
    return QWidget::eventFilter(watched, event);
}

void InfoPage::fitColumns()
{
    const auto widths = InfoPageLogic::columnWidths(list_->viewport()->width());
    for (int column = 0; column < InfoPageLogic::kColumns; ++column)
        list_->setColumnWidth(column, widths[std::size_t(column)]);
}

} // namespace pavonia
