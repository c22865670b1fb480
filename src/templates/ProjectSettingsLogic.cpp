#include "templates/ProjectSettingsLogic.h"

#include "templates/TemplateLibrary.h"
#include "templates/TextStyles.h"

namespace pavonia {

ProjectSettingsLogic::ProjectSettingsLogic(ProjectSettings& project, std::function<void()> markModified,
                                           bool& templateDefaultsPending,
                                           const TemplateLibrary& library, Ui& ui)
    : project_(project), markModified_(std::move(markModified)), templateDefaultsPending_(templateDefaultsPending), library_(library),
      ui_(ui)
{
}

void ProjectSettingsLogic::open()
{
    ViewChange change(*this);
    fontSet_[0] = project_.headingFontSet;
    fontSet_[1] = project_.subTopicFontSet;
    fontSet_[2] = project_.descriptionFontSet;
    // The fonts start from the project's in both cases, so that a template
    // that cannot be read leaves the project's fonts, not blank ones.
    fonts_[0] = project_.headingFont;
    fonts_[1] = project_.subTopicFont;
    fonts_[2] = project_.descriptionFont;
    autoPlay_ = project_.autoPlay;
    autoLoop_ = project_.autoLoop;
    autoJump_ = project_.autoJump;
    defaultsPending_ = templateDefaultsPending_;
    changed_ = false;
    if (defaultsPending_) {
        loadDefaults();
        project_.autoPlay = autoPlay_;
        project_.autoLoop = autoLoop_;
        project_.autoJump = autoJump_;
    }
}

void ProjectSettingsLogic::loadDefaults()
{
    ViewChange change(*this);
    if (const std::optional<LayoutBehaviour> behaviour = library_.ReadLayoutBehaviour(project_.layoutNumber)) {
        autoPlay_ = behaviour->autoPlay;
        autoLoop_ = behaviour->autoLoop;
        autoJump_ = behaviour->autoJump;
    }
    ReadTemplateFonts(library_, project_, fonts_[0], fonts_[1], fonts_[2], ui_);
}

void ProjectSettingsLogic::fontConfirmed(TextKind kind, const FontSpec& font)
{
    ViewChange change(*this);
    fonts_[index(kind)] = font;
    fontSet_[index(kind)] = 1;
    changed_ = true;
    defaultsPending_ = false;
}

void ProjectSettingsLogic::setCheckBoxes(bool autoPlay, bool autoLoop, bool autoJump)
{
    ViewChange change(*this);
    autoPlay_ = autoPlay ? 1 : 0;
    autoLoop_ = autoLoop ? 1 : 0;
    autoJump_ = autoJump ? 1 : 0;
    changed_ = true;
    defaultsPending_ = false;
}

void ProjectSettingsLogic::accept()
{
    project_.headingFontSet = fontSet_[0];
    project_.subTopicFontSet = fontSet_[1];
    project_.descriptionFontSet = fontSet_[2];
    project_.headingFont = fonts_[0];
    project_.subTopicFont = fonts_[1];
    project_.descriptionFont = fonts_[2];
    project_.autoPlay = autoPlay_;
    project_.autoLoop = autoLoop_;
    project_.autoJump = autoJump_;
    templateDefaultsPending_ = defaultsPending_;
    if (changed_ && markModified_)
        markModified_();
}

} // namespace pavonia
