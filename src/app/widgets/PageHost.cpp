#include "app/widgets/PageHost.h"
#include "platform/StringTable.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace pavonia {

namespace {

int indexOf(SelectedKind mode)
{
    return static_cast<int>(mode);
}

// A stack whose size is that of its visible page, so that the form centres
// the page and scrolls by the page's size.
class PageStack final : public QStackedWidget {
public:
    using QStackedWidget::QStackedWidget;
    QSize sizeHint() const override { return currentWidget() ? currentWidget()->sizeHint() : QSize(); }
    QSize minimumSizeHint() const override
    {
        const QWidget* page = currentWidget();
        if (!page)
            return {};
        return page->minimumSize().isEmpty() ? page->sizeHint() : page->minimumSize().expandedTo(page->sizeHint());
    }
};

int modeName(SelectedKind mode)
{
    switch (mode) {
    case SelectedKind::Project:
        return str::PageNameStyle;
    case SelectedKind::Information:
        return str::PageNameInfo;
    case SelectedKind::Session:
        return str::PageNameSlideVoice;
    case SelectedKind::Slide:
        return str::PageNameMedia;
    }
    return str::PageNameStyle;
}

const char* const kPlaceholderNames[] = {"stylePlaceholderPage", "infoPlaceholderPage", "slideVoicePlaceholderPage",
                                         "mediaPlaceholderPage"};

} // namespace

PlaceholderPage::PlaceholderPage(int nameText, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QString::fromStdString(
        StringTable::format(str::PageComesLater, {StringTable::text(nameText)})));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    layout->addWidget(label);
    setFixedSize(560, 420);
}

PageHost::PageHost(QWidget* parent)
    : QScrollArea(parent), canvas_(new QWidget), layout_(new QGridLayout(canvas_)), stack_(new PageStack)
{
    setObjectName("pageHost");
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->addWidget(stack_, 0, 0, Qt::AlignCenter);
    setWidget(canvas_);
    for (SelectedKind mode :
         {SelectedKind::Project, SelectedKind::Information, SelectedKind::Session, SelectedKind::Slide}) {
        auto* placeholder = new PlaceholderPage(modeName(mode));
        placeholder->setObjectName(kPlaceholderNames[indexOf(mode)]);
        setPage(mode, placeholder);
    }
    showPage(SelectedKind::Project);
}

void PageHost::setPage(SelectedKind mode, QWidget* page)
{
    QWidget*& slot = pages_[indexOf(mode)];
    if (slot == page)
        return;
    const bool visible = mode == mode_ && slot;
    if (slot) {
        stack_->removeWidget(slot);
        delete slot;
    }
    slot = page;
    stack_->addWidget(page);
    if (visible)
        showPage(mode);
}

QWidget* PageHost::page(SelectedKind mode) const
{
    return pages_[indexOf(mode)];
}

void PageHost::showPage(SelectedKind mode)
{
    mode_ = mode;
    stack_->setCurrentWidget(page(mode));
    place();
    emit pageShown(mode);
}

void PageHost::place()
{
    // The information page fills the form; every other page is centred and
    // anchored at the top-left when it is larger than the form.
    if (mode_ == SelectedKind::Information) {
        layout_->setAlignment(stack_, Qt::Alignment());
        stack_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    } else {
        layout_->setAlignment(stack_, Qt::AlignCenter);
        stack_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    stack_->updateGeometry();
    layout_->invalidate();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

} // namespace pavonia
