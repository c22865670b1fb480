#include "templates/widgets/FontSettingDialog.h"

#include "platform/StringTable.h"

#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace pavonia {

namespace {

std::vector<std::string> displayFaces()
{
    std::vector<std::string> faces;
    for (const QString& family : QFontDatabase::families())
        faces.push_back(family.toStdString());
    return faces;
}

} // namespace

// Draws the sample text in the chosen font and colour, centred.
class FontPreviewArea : public QFrame {
public:
    explicit FontPreviewArea(QWidget* parent) : QFrame(parent)
    {
        setFrameShape(QFrame::StyledPanel);
        setMinimumSize(260, 90);
    }
    void setPreview(const FontPreview& preview)
    {
        preview_ = preview;
        update();
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QFrame::paintEvent(event);
        QPainter painter(this);
        painter.fillRect(contentsRect(), palette().color(QPalette::Base));
        QFont font(QString::fromStdString(preview_.face));
        font.setPixelSize(std::max(preview_.pixelHeight, 1));
        font.setWeight(preview_.weight >= 700 ? QFont::Bold : QFont::Normal);
        font.setItalic(preview_.italic);
        font.setUnderline(preview_.underline);
        painter.setFont(font);
        painter.setPen(toQColor(preview_.colour));
        painter.setClipRect(contentsRect());
        painter.drawText(contentsRect(), Qt::AlignCenter, QString::fromStdString(preview_.text));
    }

private:
    FontPreview preview_;
};

FontSettingDialog::FontSettingDialog(const FontSpec& font, QWidget* parent, ColourChooser chooseColour)
    : QDialog(parent), logic_(font, displayFaces(), parent ? parent->logicalDpiY() : 96),
      chooseColour_(std::move(chooseColour))
{
    setWindowTitle(tableText(str::FontSettingCaption));

    faces_ = new QComboBox(this);
    faces_->setObjectName("faces");
    for (const std::string& face : logic_.faces())
        faces_->addItem(QString::fromStdString(face));
    faces_->setCurrentIndex(logic_.selectedFace());
    sizes_ = new QComboBox(this);
    sizes_->setObjectName("sizes");
    for (int size : FontSettingLogic::sizes())
        sizes_->addItem(QString::number(size));
    sizes_->setCurrentIndex(logic_.selectedSize());

    auto* tools = new QToolBar(this);
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto toggle = [&](int textId, bool on, const char* name) {
        QAction* action = tools->addAction(tableText(textId));
        action->setObjectName(name);
        action->setToolTip(tableText(textId));
        action->setCheckable(true);
        action->setChecked(on);
        connect(action, &QAction::toggled, this, [this] {
            logic_.setBold(bold_->isChecked());
            logic_.setItalic(italic_->isChecked());
            logic_.setUnderline(underline_->isChecked());
        });
        return action;
    };
    bold_ = toggle(str::FontSettingBold, logic_.bold(), "bold");
    italic_ = toggle(str::FontSettingItalic, logic_.italic(), "italic");
    underline_ = toggle(str::FontSettingUnderline, logic_.underline(), "underline");
    QFont boldFont = bold_->font();
    boldFont.setBold(true);
    bold_->setFont(boldFont);
    QFont italicFont = italic_->font();
    italicFont.setItalic(true);
    italic_->setFont(italicFont);
    QFont underlineFont = underline_->font();
    underlineFont.setUnderline(true);
    underline_->setFont(underlineFont);
    tools->addSeparator();
    QAction* colour = tools->addAction(tableText(str::FontSettingColor));
    colour->setObjectName("colour");
    colour->setToolTip(tableText(str::FontSettingColor));
    connect(colour, &QAction::triggered, this, [this] {
        if (const std::optional<std::uint32_t> chosen = chooseColour_(this, logic_.colour()))
            logic_.setColour(*chosen);
    });

    preview_ = new FontPreviewArea(this);
    preview_->setObjectName("preview");

    connect(faces_, &QComboBox::currentIndexChanged, this, [this](int position) { logic_.selectFace(position); });
    connect(sizes_, &QComboBox::currentIndexChanged, this, [this](int position) { logic_.selectSize(position); });


    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(tableText(str::FontSettingFace), this), 0, 0);
    fields->addWidget(faces_, 0, 1);
    fields->addWidget(new QLabel(tableText(str::FontSettingSize), this), 0, 2);
    fields->addWidget(sizes_, 0, 3);
    fields->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(tools);
    layout->addWidget(preview_, 1);
    addOkCancelButtons(*this, *layout);
    showPreview();
    logic_.setViewChanged([this] { showPreview(); });
}

void FontSettingDialog::showPreview()
{
    preview_->setPreview(logic_.preview());
}

bool runFontSettingDialog(QWidget* parent, FontSpec& font)
{
    FontSettingDialog dialog(font, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.acceptInto(font);
    return true;
}

} // namespace pavonia
