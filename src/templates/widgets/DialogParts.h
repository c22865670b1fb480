#pragma once
// What the dialogs share: texts from the string table as Qt strings, the
// "&OK" and "&Cancel" buttons, colours between the stored 0x00BBGGRR and
// QColor, the colour chooser, and the swatch button that shows a colour and
// is clicked to choose another.
#include <QColor>
#include <QDialog>
#include <QPushButton>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class QBoxLayout;

namespace pavonia {

// The text of string-table entry `id`.
QString tableText(int id);

// Adds "&OK" (the default button) and "&Cancel" below the dialog's other
// controls: OK calls the dialog's accept(), Cancel its reject(). Returns OK.
QPushButton* addOkCancelButtons(QDialog& dialog, QBoxLayout& layout);

QColor toQColor(std::uint32_t colour);
std::uint32_t fromQColor(const QColor& colour);

// Asks for a colour, preset with `current`; nothing when cancelled. The
// dialogs take one, so that tests answer without a modal dialog.
using ColourChooser = std::function<std::optional<std::uint32_t>(QWidget* parent, std::uint32_t current)>;
// The system's colour chooser (QColorDialog).
std::optional<std::uint32_t> chooseColourWithDialog(QWidget* parent, std::uint32_t current);

class ColourSwatch : public QPushButton {
    Q_OBJECT
public:
    explicit ColourSwatch(QWidget* parent = nullptr);
    std::uint32_t colour() const { return colour_; }
    void setColour(std::uint32_t colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::uint32_t colour_ = 0;
};

} // namespace pavonia
