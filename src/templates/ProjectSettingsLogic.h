#pragma once
// The Project Settings dialog without its widgets: the three text fonts (each
// with the flag that lets it replace the template's style) and the behaviour
// switches Auto Play, Auto Loop and Auto Jump Slide. The widget shows the
// fields below and forwards the user's actions; OK calls accept(), Cancel
// simply closes. The view learns of changes through setViewChanged (see
// ViewNotifier).
#include "platform/Ui.h"
#include "platform/ViewNotifier.h"
#include "project/FontSpec.h"
#include "project/Records.h"

#include <functional>
#include <tuple>

namespace pavonia {

class TemplateLibrary;

enum class TextKind { Heading = 0, SubTopic = 1, Description = 2 };

class ProjectSettingsLogic : public ViewNotifier<ProjectSettingsLogic> {
public:
    // `markModified` marks the project as having unsaved changes (the
    // document's setDirty); `templateDefaultsPending`
    // is the style page's flag, set when the user picked a style or layout.
    ProjectSettingsLogic(ProjectSettings& project, std::function<void()> markModified, bool& templateDefaultsPending,
                         const TemplateLibrary& library, Ui& ui);

    // Fills the fields as the dialog opens. After a style or layout pick the
    // fields start from the template's defaults, and the layout's behaviour
    // switches are written into the project at once (even if the dialog is
    // then cancelled); otherwise they start from the project.
    void open();
    // The "Default" button: the layout's behaviour switches and the
    // template's fonts. The override flags stay as they are.
    void loadDefaults();

    // The font a "Font" button edits, and what it does when the font dialog
    // was confirmed: the font replaces the template's style for that text.
    const FontSpec& font(TextKind kind) const { return fonts_[index(kind)]; }
    bool fontSet(TextKind kind) const { return fontSet_[index(kind)] != 0; }
    void fontConfirmed(TextKind kind, const FontSpec& font);

    bool autoPlay() const { return autoPlay_ != 0; }
    bool autoLoop() const { return autoLoop_ != 0; }
    bool autoJump() const { return autoJump_ != 0; }
    // "Auto Loop" is enabled only while "Auto Jump Slide" is ticked.
    bool autoLoopEnabled() const { return autoJump_ != 0; }
    // Any check box was ticked or cleared; the widget passes all three.
    void setCheckBoxes(bool autoPlay, bool autoLoop, bool autoJump);

    bool changed() const { return changed_; }
    bool defaultsPending() const { return defaultsPending_; }

    // Writes the fields into the project, as OK does.
    void accept();

    // Everything the view shows, as one value.
    auto visibleState() const
    {
        return std::tuple(fontSet_[0], fontSet_[1], fontSet_[2], fonts_[0], fonts_[1], fonts_[2], autoPlay_,
                          autoLoop_, autoJump_);
    }

private:
    static int index(TextKind kind) { return static_cast<int>(kind); }

    ProjectSettings& project_;
    std::function<void()> markModified_;
    bool& templateDefaultsPending_;
    const TemplateLibrary& library_;
    Ui& ui_;

    int fontSet_[3] = {0, 0, 0};
    FontSpec fonts_[3];
    int autoPlay_ = 0;
    int autoLoop_ = 0;
    int autoJump_ = 0;
    bool defaultsPending_ = false;
    bool changed_ = false;
};

} // namespace pavonia
