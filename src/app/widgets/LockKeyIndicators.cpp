#include "app/widgets/LockKeyIndicators.h"
#include "platform/StringTable.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>

namespace pavonia {

namespace {

_XDisplay* x11Display()
{
    if (auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
        return x11->display();
    return nullptr;
}

} // namespace

LockKeyIndicators::LockKeyIndicators(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const int texts[3] = {str::StatusCapsLock, str::StatusNumLock, str::StatusScrollLock};
    const char* names[3] = {"capsLockIndicator", "numLockIndicator", "scrollLockIndicator"};
    for (int i = 0; i < 3; ++i) {
        labels_[i] = new QLabel(QString::fromStdString(StringTable::text(texts[i])));
        labels_[i]->setObjectName(names[i]);
        labels_[i]->setFrameShape(QFrame::StyledPanel);
        labels_[i]->setFrameShadow(QFrame::Sunken);
        labels_[i]->setAlignment(Qt::AlignCenter);
        labels_[i]->setMinimumWidth(labels_[i]->fontMetrics().horizontalAdvance("SCRL") + 10);
        layout->addWidget(labels_[i]);
    }
    available_ = x11Display() != nullptr;
    if (available_)
        qApp->installEventFilter(this);
    refresh();
}

LockKeyIndicators::~LockKeyIndicators()
{
    if (available_ && qApp)
        qApp->removeEventFilter(this);
}

void LockKeyIndicators::refresh()
{
    _XDisplay* display = available_ ? x11Display() : nullptr;
    const unsigned int state = display ? x11IndicatorState(display) : 0;
    // The core keyboard's indicators: bit 0 caps lock, bit 1 num lock,
    // bit 2 scroll lock.
    for (int i = 0; i < 3; ++i)
        labels_[i]->setEnabled(display && (state & (1u << i)));
}

bool LockKeyIndicators::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease || event->type() == QEvent::ApplicationActivate)
        refresh();
    return QWidget::eventFilter(watched, event);
}

} // namespace pavonia
