#include "templates/CustomSettingsLogic.h"

#include "platform/StringTable.h"
#include "platform/Text.h"
#include "templates/CaseBlindPath.h"
#include "templates/TemplateLibrary.h"
#include "templates/TextStyles.h"

namespace pavonia {

namespace {

// The extensions of the background picture filter, "*.gif;*.jpg", each as
// ".gif": a picked file's extension must be one of them.
bool extensionInFilter(const std::string& path, const std::string& filter)
{
    const std::string extension = toLowerAscii(extensionOf(path));
    if (extension.empty())
        return false;
    const std::string lowerFilter = toLowerAscii(filter);
    const std::string entry = "*." + extension;
    for (std::size_t at = lowerFilter.find(entry); at != std::string::npos; at = lowerFilter.find(entry, at + 1)) {
        const std::size_t end = at + entry.size();
        if (end == lowerFilter.size() || lowerFilter[end] == ';' || lowerFilter[end] == '|' ||
            lowerFilter[end] == ')')
            return true;
    }
    return false;
}

} // namespace

CustomSettingsLogic::CustomSettingsLogic(ProjectDocument& document, const TemplateLibrary& library)
    : document_(document), library_(library)
{
}

void CustomSettingsLogic::open()
{
    ViewChange change(*this);
    ProjectSettings& project = document_.settings();
    kind_ = project.backgroundMode >= Original && project.backgroundMode <= Picture ? project.backgroundMode
                                                                                     : Original;
    backgroundColour_ = project.backgroundColour;
    tile_ = project.backgroundTile != 0;
    pictureFolder_ = folderOf(project.backgroundImagePath);
    pictureName_ = finalComponent(project.backgroundImagePath);
    changed_ = document_.dirty();

    if (!project.headingFontSet && !project.subTopicFontSet && !project.descriptionFontSet)
        ReadTemplateFonts(library_, project, project.headingFont, project.subTopicFont, project.descriptionFont,
                          document_.ui());
    textColours_[0] = project.headingFont.colour;
    textColours_[1] = project.subTopicFont.colour;
    textColours_[2] = project.descriptionFont.colour;

    if (kind_ == Picture && !isFile(picturePath())) {
        showMessage(document_.ui(), StringTable::format(str::BackgroundFileNotFound, {picturePath()}));
        clearPicture();
    }
}

void CustomSettingsLogic::clearPicture()
{
    pictureName_.clear();
    pictureFolder_.clear();
}

void CustomSettingsLogic::chooseKind(int kind)
{
    ViewChange change(*this);
    if (kind < Original || kind > Picture)
        return;
    kind_ = kind;
    changed_ = true;
}

void CustomSettingsLogic::setBackgroundColour(std::uint32_t colour)
{
    ViewChange change(*this);
    if (kind_ != Colour || colour == backgroundColour_)
        return;
    backgroundColour_ = colour;
    changed_ = true;
}

void CustomSettingsLogic::setTextColour(TextKind kind, std::uint32_t colour)
{
    ViewChange change(*this);
    std::uint32_t& current = textColours_[int(kind)];
    if (colour == current)
        return;
    current = colour;
    changed_ = true;
}

void CustomSettingsLogic::editPictureName(const std::string& name)
{
    ViewChange change(*this);
    pictureName_ = name;
    changed_ = true;
}

FileDialogOptions CustomSettingsLogic::browseOptions()
{
    FileDialogOptions options;
    options.title = StringTable::text(str::BackgroundPictureCaption);
    options.filter = StringTable::text(str::BackgroundImageFilter);
    options.startFolder = document_.folderMemory().get(slot::Background);
    options.fileName = pictureName_;
    options.mustExist = true;
    return options;
}

void CustomSettingsLogic::pictureChosen(const std::string& path, bool tile)
{
    ViewChange change(*this);
    Ui& ui = document_.ui();
    if (!extensionInFilter(path, StringTable::text(str::BackgroundImageFilter))) {
        showMessage(ui, StringTable::format(str::UnsupportedFileFormat, {path}));
        return;
    }
    tile_ = tile;
    if (!isFile(path)) {
        showMessage(ui, StringTable::format(str::BackgroundFileNotFound, {path}));
        clearPicture();
        return;
    }
    pictureFolder_ = folderOf(path);
    if (pictureFolder_.empty())
        pictureFolder_ = "./";
    pictureName_ = finalComponent(path);
    document_.folderMemory().set(slot::Background, pictureFolder_);
    changed_ = true;
}

void CustomSettingsLogic::browseCancelled()
{
    ViewChange change(*this);
    if (pictureName_.empty())
        kind_ = Original;
}

bool CustomSettingsLogic::confirm()
{
    if (kind_ == Picture && pictureName_.empty()) {
        showMessage(document_.ui(), StringTable::text(str::SelectBackgroundImage));
        return false;
    }
    return true;
}

void CustomSettingsLogic::apply()
{
    ProjectSettings& project = document_.settings();
    if (kind_ == Picture && pictureName_.empty())
        return;
    if (kind_ == Picture) {
        // The background copy replaces the previous one. A picture that
        // cannot be copied (gone since it was picked) keeps the project's
        // background as it was.
        WorkingFolder& working = document_.workingFolder();
        const std::string copy = working.backgroundCopy(picturePath());
        if (copy.empty()) {
            if (const std::optional<Failure> failure = working.takeCopyFailure())
                showFailure(document_.ui(), *failure);
            else
                showMessage(document_.ui(), StringTable::format(str::BackgroundFileNotFound, {picturePath()}));
            return;
        }
        project.backgroundImagePath = copy;
        project.backgroundTile = tile_ ? 1 : 0;
    }
    project.backgroundMode = kind_;

    FontSpec* fonts[3] = {&project.headingFont, &project.subTopicFont, &project.descriptionFont};
    std::int32_t* flags[3] = {&project.headingFontSet, &project.subTopicFontSet, &project.descriptionFontSet};
    for (int i = 0; i < 3; ++i) {
        if (fonts[i]->colour != textColours_[i]) {
            fonts[i]->colour = textColours_[i];
            *flags[i] = 1;
        }
    }
    if (kind_ == Colour)
        project.backgroundColour = backgroundColour_;
    document_.setDirty(changed_);
}

} // namespace pavonia
