#include "voice/VoiceFilterDialogLogic.h"

#include "platform/StringTable.h"
#include "platform/Text.h"
#include "platform/Ui.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace pavonia {

namespace {

bool refusedCharacter(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F || std::string_view("!#@*?./\\").find(c) != std::string_view::npos;
}

// The first `count` characters of UTF-8 text.
std::string firstCharacters(const std::string& text, std::size_t count)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && chars++ == count)
            return text.substr(0, i);
    }
    return text;
}

} // namespace

// ---- Dialog 170 ---------------------------------------------------------------

AddVoiceTemplateLogic::AddVoiceTemplateLogic(std::string name, const VoiceTemplateList& templates, Ui& ui)
    : templates_(templates), ui_(ui)
{
    setName(name);
}

void AddVoiceTemplateLogic::setName(const std::string& text)
{
    ViewChange change(*this);
    name_ = firstCharacters(text, kFieldLength);
}

bool AddVoiceTemplateLogic::ok()
{
    if (std::any_of(name_.begin(), name_.end(), refusedCharacter))
        return false;
    // The name is checked as it will be kept, so that blanks or a long tail
    // cannot slip a second template of the same name past the check. The
    // unsaved custom template is not a rival: it is dropped when the new
    // template is saved.
    std::string name = VoiceTemplateList::fitName(trimmed(name_));
    if (!name.empty() && templates_.find(name, false)) {
        showMessage(ui_, StringTable::text(str::VoiceTemplateNameExists));
        return false;
    }
    result_ = std::move(name);
    return true;
}

// ---- Dialog 215 ---------------------------------------------------------------

VoiceFilterDialogLogic::VoiceFilterDialogLogic(const std::string& installFolder, VoiceFilterEngine& engine,
                                               Ui& ui)
    : templates_(installFolder), engine_(engine), ui_(ui), installFolder_(installFolder)
{
}

void VoiceFilterDialogLogic::open()
{
    ViewChange change(*this);
    templates_.read();
    selection_ = 0;
    showSelection();
}

std::vector<std::string> VoiceFilterDialogLogic::listEntries() const
{
    std::vector<std::string> entries{StringTable::text(str::VoiceTemplateNone)};
    for (int i = 0; i < templates_.count(); ++i)
        entries.push_back(templates_.at(i).name);
    return entries;
}

std::string VoiceFilterDialogLogic::testButtonText() const
{
    return StringTable::text(testing_ ? str::VoiceFilterStop : str::VoiceFilterTest);
}

bool VoiceFilterDialogLogic::customSelected() const
{
    return selection_ > 0 && templates_.isCustom(templateIndex());
}

void VoiceFilterDialogLogic::showSelection()
{
    if (selection_ == 0) {
        effects_ = 0;
        values_ = {50, 50, 0, 0};
        addEnabled_ = true;
        delEnabled_ = false;
        return;
    }
    const VoiceTemplate& t = templates_.at(templateIndex());
    effects_ = t.effects & kVoiceEffectAll;
    values_ = {t.pitchScale, t.headSize, t.robot, t.echo};
    for (int& v : values_)
        v = std::clamp(v, 0, 100);
    addEnabled_ = customSelected();
    delEnabled_ = !customSelected();
}

VoiceTemplate VoiceFilterDialogLogic::currentValues() const
{
    VoiceTemplate t;
    t.effects = effects_;
    t.pitchScale = values_[Pitch];
    t.headSize = values_[HeadSize];
    t.robot = values_[Robot];
    t.echo = values_[Echo];
    return t;
}

void VoiceFilterDialogLogic::storeValues()
{
    if (selection_ == 0)
        return;
    VoiceTemplate& t = templates_.at(templateIndex());
    std::string name = std::move(t.name);
    t = currentValues();
    t.name = std::move(name);
}

void VoiceFilterDialogLogic::message(int id)
{
    showMessage(ui_, StringTable::text(id));
}

bool VoiceFilterDialogLogic::writeTemplates()
{
    if (templates_.write())
        return true;
    const std::string reason = std::strerror(errno);
    showMessage(ui_, StringTable::format(str::InstallationNotWritable, {templates_.path(), reason}));
    return false;
}

void VoiceFilterDialogLogic::select(int listPosition)
{
    ViewChange change(*this);
    if (testing_ || closed_ || listPosition < 0 || listPosition > templates_.count())
        return;
    // Choosing another entry drops the unsaved custom template; it is the
    // last entry, so the chosen position stays where it is.
    if (templates_.hasCustom() && listPosition != templates_.savedCount() + 1)
        templates_.dropCustom();
    selection_ = listPosition;
    showSelection();
}

void VoiceFilterDialogLogic::setChecked(Filter f, bool on)
{
    ViewChange change(*this);
    if (testing_ || closed_)
        return;
    effects_ = on ? (effects_ | bit(f)) : (effects_ & ~bit(f));
    changed();
}

void VoiceFilterDialogLogic::setSlider(Filter f, int value)
{
    ViewChange change(*this);
    if (testing_ || closed_)
        return;
    values_[f] = std::clamp(value, 0, 100);
    changed();
}

// A change of a check box or slider goes into the custom template, which is
// made when there is none yet.
void VoiceFilterDialogLogic::changed()
{
    if (!templates_.hasCustom()) {
        if (templates_.full()) {
            message(str::VoiceTemplateNoSpace);
            showSelection();
            return;
        }
        templates_.createCustom(currentValues());
    }
    selection_ = templates_.savedCount() + 1;
    storeValues();
    addEnabled_ = true;
    delEnabled_ = false;
}

void VoiceFilterDialogLogic::add(const AddDialogRunner& runDialog)
{
    ViewChange change(*this);
    if (!addEnabled() || closed_)
        return;
    const std::string current =
        selection_ == 0 ? StringTable::text(str::VoiceTemplateNone) : templates_.at(templateIndex()).name;
    AddVoiceTemplateLogic dialog(current, templates_, ui_);
    if (!runDialog || !runDialog(dialog))
        return;
    if (dialog.result().empty()) {
        message(str::VoiceTemplateNameEmpty);
        return;
    }
    if (templates_.full()) {
        message(str::VoiceTemplateNoSpace);
        return;
    }
    VoiceTemplate t = currentValues();
    t.name = dialog.result();
    templates_.dropCustom();
    templates_.addSaved(t);
    // Read back what was written; when the write failed, the list in memory
    // (sorted the same way) still holds the new template.
    if (writeTemplates())
        templates_.read();
    const auto index = templates_.find(t.name, false);
    selection_ = index ? *index + 1 : 0;
    showSelection();
}

void VoiceFilterDialogLogic::remove()
{
    ViewChange change(*this);
    if (!delEnabled() || closed_ || selection_ == 0 || customSelected())
        return;
    const VoiceTemplate values = currentValues();
    templates_.removeSaved(templateIndex());
    if (templates_.count() == 0) {
        // The settings of the last template stay on screen as a custom one.
        templates_.createCustom(values);
        selection_ = 1;
    } else {
        selection_ = std::min(selection_, templates_.count());
    }
    showSelection();
}

void VoiceFilterDialogLogic::test()
{
    ViewChange change(*this);
    if (closed_)
        return;
    if (testing_) {
        stopPlayback();
        // The engine reports the stop; should it not, end the preview here.
        previewStopped();
        return;
    }
    testing_ = true;
    storeValues();
    if (selection_ > 0) {
        const VoiceTemplate& t = templates_.at(templateIndex());
        if ((t.effects & kVoiceEffectAll) != 0) {
            previewVoice_ = engine_.ReserveData();
            VoiceEditRecord record;
            record.effects = uint16_t(t.effects & kVoiceEffectAll);
            record.pitchScale = t.pitchScale;
            record.headSize = t.headSize;
            record.robot = t.robot;
            record.echo = t.echo;
            engine_.EditVoice(0, kPreviewFilterMs, record);
        }
    }
    const auto previewMs = parseLeadingInteger(StringTable::text(str::VoicePreviewLength));
    // When playback cannot start no stop notification follows: end the
    // preview at once so the dialog does not stay locked.
    if (!engine_.PlayPreview(previewMs))
        previewStopped();
}

void VoiceFilterDialogLogic::previewStopped()
{
    ViewChange change(*this);
    if (!testing_)
        return;
    putBackPreviewVoice();
    testing_ = false;
}

void VoiceFilterDialogLogic::stopPlayback()
{
    if (engine_.IsPlaySelection() || engine_.IsPlayAll())
        engine_.Stop();
}

void VoiceFilterDialogLogic::putBackPreviewVoice()
{
    if (previewVoice_) {
        engine_.RestoreData(*previewVoice_);
        previewVoice_.reset();
    }
}

void VoiceFilterDialogLogic::accept()
{
    ViewChange change(*this);
    if (closed_)
        return;
    stopPlayback();
    previewStopped();
    storeValues();
    writeTemplates();
    putBackPreviewVoice();
    VoiceEditRecord record = VoiceEditRecord::forOk(0, 0, 0, 0, 0);
    if (selection_ > 0) {
        const VoiceTemplate& t = templates_.at(templateIndex());
        record = VoiceEditRecord::forOk(uint16_t(t.effects & kVoiceEffectAll), t.pitchScale, t.headSize,
                                        t.robot, t.echo);
    }
    engine_.EditVoice(0, engine_.GetTotalTime(), record);
    closed_ = true;
    accepted_ = true;
}

void VoiceFilterDialogLogic::reject()
{
    ViewChange change(*this);
    if (closed_)
        return;
    stopPlayback();
    previewStopped();
    putBackPreviewVoice();
    closed_ = true;
    accepted_ = false;
}

} // namespace pavonia
