#include "templates/StylePageLogic.h"

#include "platform/StringTable.h"
#include "platform/Text.h"
#include "templates/TemplateLibrary.h"

namespace pavonia {

LayerRect DescriptionAreaRect(const TemplateLibrary& library, const ProjectSettings& project, Ui& ui)
{
    const std::optional<TemplatePaths> paths = library.ResolveTemplatePaths(project);
    if (!paths) {
        showMessage(ui, StringTable::text(str::ResolutionErrorPreview));
        return {};
    }
    return ReadLayerRect(paths->pageTemplate, PageLayer::Description, ui).value_or(LayerRect{});
}

std::string MoveInlineFrame(const std::string& description, const LayerRect& area)
{
    std::string text = description;
    std::string lower = toLowerAscii(text);
    const std::size_t open = lower.find("<iframe");
    if (open == std::string::npos)
        return text;
    constexpr std::string_view kFrameName = "iframe1 ";
    const std::size_t name = lower.find(kFrameName, open + 7);
    if (name == std::string::npos || lower.find("</iframe>", name + kFrameName.size()) == std::string::npos)
        return text;

    struct Key {
        std::string_view name;
        int value;
        std::size_t from;
    };
    const Key keys[] = {{"left", area.left, name + kFrameName.size()},
                        {"top", area.top, 0},
                        {"height", area.height, 0},
                        {"width", area.width, 0}};
    for (const Key& key : keys) {
        const std::size_t at = lower.find(key.name, key.from);
        if (at == std::string::npos)
            continue;
        std::size_t end = lower.find(';', at);
        if (end == std::string::npos)
            end = lower.find(' ', at);
        if (end == std::string::npos)
            continue;
        text.replace(at, end - at + 1, std::string(key.name) + ":" + std::to_string(key.value) + ";");
        lower = toLowerAscii(text);
    }
    return text;
}

StylePageLogic::StylePageLogic(ProjectDocument& document, const TemplateLibrary& library, LayoutLayers& layers)
    : document_(document), library_(library), layers_(layers)
{
}

bool StylePageLogic::layoutEnabled() const
{
    const std::optional<ResolutionKey> key = ResolutionKey::parse(document_.settings().resolutionKey);
    return !(key && key->special());
}

void StylePageLogic::projectOpened()
{
    const ProjectSettings& project = document_.settings();
    rememberedStylePosition =
        project.styleNumber >= kFirstCustomStyle ? project.styleNumber - kFirstCustomStyle : project.styleNumber;
    rememberedLayoutPosition = project.layoutNumber;
}

void StylePageLogic::resetFontOverrides()
{
    ProjectSettings& project = document_.settings();
    project.headingFontSet = 0;
    project.subTopicFontSet = 0;
    project.descriptionFontSet = 0;
}

bool StylePageLogic::PickStyle(const ListDialogRunner& runList, const CustomSettingsRunner& runCustomSettings)
{
    ProjectSettings& project = document_.settings();
    Ui& ui = document_.ui();
    const auto keyError = [&] {
        showMessage(ui, StringTable::format(str::ResolutionErrorSelectStyle, {project.resolutionKey}));
    };
    const std::optional<ResolutionKey> key = ResolutionKey::parse(project.resolutionKey);
    if (!key) {
        keyError();
        return false;
    }
    const bool customList = project.styleNumber >= kFirstCustomStyle && (key->special() || key->kind == "1");

    project.layoutNumber = rememberedLayoutPosition;
    ListDialogLogic list(library_, customList ? ListMode::Custom : ListMode::Standard, project.resolutionKey,
                         [this] { document_.setDirty(true); }, project.styleNumber, rememberedStylePosition, ui);
    const std::optional<ListChoice> choice = runList(list);
    if (choice) {
        if (!choice->resolutionKey.empty())
            project.resolutionKey = choice->resolutionKey;
        if (project.styleNumber != choice->number)
            document_.setDirty(true);
        project.styleNumber = choice->number;
        rememberedStylePosition = choice->position;
        templateDefaultsPending = true;
    }
    // Cancelled or not, the layout must be one the style has.
    library_.ValidateLayoutForStyle(project, layers_);
    if (!choice)
        return false;

    resetFontOverrides();
    const std::optional<ResolutionKey> newKey = ResolutionKey::parse(project.resolutionKey);
    if (!newKey) {
        keyError();
        return true;
    }
    // A special style brings its own layout (the first "L" folder it holds),
    // which ValidateLayoutForStyle has taken above; its layers are refreshed
    // there too.
    if (project.styleNumber >= kFirstCustomStyle && runCustomSettings)
        runCustomSettings();
    RefreshStylePreview();
    return true;
}

bool StylePageLogic::PickLayout(const ListDialogRunner& runList)
{
    ProjectSettings& project = document_.settings();
    ListDialogLogic list(library_, ListMode::Layouts, project.resolutionKey, [this] { document_.setDirty(true); }, rememberedLayoutPosition,
                         rememberedLayoutPosition, document_.ui());
    const std::optional<ListChoice> choice = runList(list);
    if (choice) {
        if (project.layoutNumber != choice->number)
            document_.setDirty(true);
        project.layoutNumber = choice->number;
        RefreshStylePreview();
        library_.ReadLayoutLayers(project.layoutNumber, layers_);
        rememberedLayoutPosition = choice->position;
        templateDefaultsPending = true;
        resetFontOverrides();
        if (layers_.description == 1)
            moveInlineFrames();
    }
    if (const std::optional<LayoutBehaviour> behaviour = library_.ReadLayoutBehaviour(project.layoutNumber)) {
        project.autoPlay = behaviour->autoPlay;
        project.autoLoop = behaviour->autoLoop;
        project.autoJump = behaviour->autoJump;
    }
    return choice.has_value();
}

void StylePageLogic::moveInlineFrames()
{
    const LayerRect area = DescriptionAreaRect(library_, document_.settings(), document_.ui());
    for (TreeItem* item : document_.tree().allSlides()) {
        SlideData* slide = item->slide();
        if (!slide || slide->description.empty())
            continue;
        std::string moved = MoveInlineFrame(slide->description, area);
        if (moved != slide->description) {
            slide->description = std::move(moved);
            // A description that changed is unsaved work.
            document_.setDirty(true);
        }
    }
}

void StylePageLogic::RefreshStylePreview()
{
    if (std::optional<StylePreview> preview =
            BuildStylePreview(library_, document_.settings(), buttonFaceRed_, document_.ui()))
        preview_ = std::move(*preview);
}

} // namespace pavonia
