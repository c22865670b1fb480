#include "templates/widgets/DialogParts.h"

#include "platform/StringTable.h"

#include <QBoxLayout>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QPainter>
#include <QStyleOptionButton>

namespace pavonia {

QString tableText(int id)
{
    return QString::fromStdString(StringTable::text(id));
}

QPushButton* addOkCancelButtons(QDialog& dialog, QBoxLayout& layout)
{
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(tableText(str::ButtonOk), QDialogButtonBox::AcceptRole);
    ok->setObjectName("ok");
    ok->setDefault(true);
    buttons->addButton(tableText(str::ButtonCancel), QDialogButtonBox::RejectRole)->setObjectName("cancel");
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout.addWidget(buttons);
    return ok;
}

QColor toQColor(std::uint32_t colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

std::uint32_t fromQColor(const QColor& colour)
{
    return std::uint32_t(colour.red()) | std::uint32_t(colour.green()) << 8 | std::uint32_t(colour.blue()) << 16;
}

std::optional<std::uint32_t> chooseColourWithDialog(QWidget* parent, std::uint32_t current)
{
    const QColor chosen = QColorDialog::getColor(toQColor(current), parent);
    if (!chosen.isValid())
        return std::nullopt;
    return fromQColor(chosen);
}

ColourSwatch::ColourSwatch(QWidget* parent) : QPushButton(parent)
{
    setMinimumSize(48, 24);
}

void ColourSwatch::setColour(std::uint32_t colour)
{
    colour_ = colour;
    update();
}

void ColourSwatch::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    QPainter painter(this);
    const QRect face = rect().adjusted(6, 5, -6, -5);
    painter.fillRect(face, isEnabled() ? toQColor(colour_) : palette().color(QPalette::Disabled, QPalette::Button));
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawRect(face.adjusted(0, 0, -1, -1));
}

} // namespace pavonia
