#include "export/ExportDlgLogic.h"

#include "platform/StringTable.h"

#include <algorithm>

namespace pavonia {

const std::vector<ExportKindEntry>& exportKinds()
{
    static const std::vector<ExportKindEntry> kinds = {
        {ExportKind::Web, str::ExportForWeb, false, true},
        {ExportKind::Cd, str::ExportForCd, true, false},
        {ExportKind::Exe, str::ExportForExe, false, true},
        // The video takes the best sound and pictures the export can give.
        {ExportKind::Video, str::VideoExportKind, false, false},
    };
    return kinds;
}

ExportDlgLogic::ExportDlgLogic(Preferences& preferences, const ExportChoice& stored)
    : preferences_(preferences), includeAutoRun_(stored.includeAutoRun),
      imageQuality_(std::clamp(stored.qualities.image, 0, 100))
{
    const auto& kinds = exportKinds();
    const auto found =
        std::find_if(kinds.begin(), kinds.end(), [&](const ExportKindEntry& entry) { return entry.kind == stored.kind; });
    kindIndex_ = found == kinds.end() ? 0 : int(found - kinds.begin());
}

void ExportDlgLogic::chooseKind(int index)
{
    ViewChange change(*this);
    if (index >= 0 && std::size_t(index) < exportKinds().size())
        kindIndex_ = index;
}

void ExportDlgLogic::setIncludeAutoRun(bool on)
{
    ViewChange change(*this);
    includeAutoRun_ = on;
}

void ExportDlgLogic::setSoundIndex(int index)
{
    ViewChange change(*this);
    soundIndex_ = std::clamp(index, 0, kSoundChoices - 1);
}

void ExportDlgLogic::setImageQuality(int quality)
{
    ViewChange change(*this);
    imageQuality_ = std::clamp(quality, 0, 100);
}

std::string ExportDlgLogic::imageQualityText() const
{
    return StringTable::format(str::ExportImagePercent, {std::to_string(imageQuality_)});
}

void ExportDlgLogic::setDontShowNextTime(bool on)
{
    ViewChange change(*this);
    dontShowNextTime_ = on;
}

ExportChoice ExportDlgLogic::accept()
{
    preferences_.setShowExportDlg(dontShowNextTime_ ? 0 : 1);
    preferences_.setExportType(static_cast<int>(kind()));
    preferences_.setIncludeAutoRun(includeAutoRun_ ? 1 : 0);
    ExportChoice choice;
    choice.kind = kind();
    choice.includeAutoRun = includeAutoRun_;
    choice.qualities.sound = soundIndex_ + 1;
    choice.qualities.image = imageQuality_;
    return choice;
}

} // namespace pavonia
