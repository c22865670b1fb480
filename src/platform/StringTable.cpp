#include "platform/StringTable.h"

#include <algorithm>
#include <array>
#include <utility>

namespace pavonia {

namespace {
struct Entry {
    int id;
    const char* text;
};

// Sorted by number.
constexpr Entry kTexts[] = {
    {str::CreateTempDirectoryFailed, "Create Temp Directory Failed !"},
    {str::IniFileLost, "Ini file lost. (%s)"},
    {str::MaximumDelay, "The maximum delay time setting is 300 seconds."},
    {str::InvalidFileToOpen, "Cannot open invalid file!\n( File: %s )"},
    {str::WriteProjectFileFailed, "Write Project File Error. (%s)\nError: %s\nUnable to save project."},
    {str::InstallationNotWritable, "The installation folder cannot be written to. (%s)\nError: %s"},
    {str::FileTooLargeToPack, "File too large to be kept in a project (4 GB at most). (%s)\nUnable to save project."},
    {str::InstallationFolderEmpty, "No installation folder was given: its name is empty."},
    {str::NotAnInstallation,
     "Not a Pavonia installation folder: it holds no template library (\"Template\") or no default talking image "
     "and message (\"default_tjm.tjm\", \"default_tps.tps\"). (%s)"},
    {str::WorkingFolderFailed, "Cannot make a working folder. (%s)\nError: %s"},
    {str::WorkingCopyFailed, "Cannot make the working copy of a file. (%s)\nError: %s"},
    {str::DefaultFileMissing, "A default file of the installation is missing. (%s)\nError: %s"},
    {str::BmpStatusOk, "OK"},
    {str::BmpCantOpen, "Can't open file for reading :\n%s"},
    {str::BmpNotValid, "Not a valid BMP File"},
    {str::BmpHeaderReadError, "Read Error!"},
    {str::BmpCompressed, "This is a compressed file."},
    {str::BmpOutOfMemory, "Out of memory"},
    {str::BmpCorruptPalette, "Corrupt palette"},
    {str::BmpAllocFailed, "Memory alloc Failed"},
    {str::BmpPixelReadError, "Read Error"},
    {str::BmpUnsupportedDepth, "Unsupported BMP File: %s bits per pixel (1, 4, 8 or 24 can be read)."},
    {str::BmpTopDown, "Unsupported BMP File: the rows are stored from the top down."},
    {str::BmpBadPaletteIndex, "Corrupt BMP File: a pixel refers to a colour beyond the palette."},
    {str::BmpBadSize, "Unsupported BMP File: invalid picture size (%s x %s)."},
    {str::BmpUnsupportedHeader, "Unsupported BMP File: unknown information header (%s bytes)."},
    {str::JpegCantOpen, "JPEG :\nCan't open %s\n"},
    {str::JpegOutOfMemory, "JpegFile :\nOut of memory"},
    {str::JpegFatalErrorCaption, "JPEG Fatal Error"},
    {str::JpegUnsupportedComponents, "JPEG :\nUnsupported picture: %s colour components (1 or 3 can be read).\n%s"},
    {str::JpegTooLarge, "JPEG :\nPicture too large to open (%s x %s).\n%s"},
    {str::JpegTooManyScans, "JPEG :\nDamaged picture: too many scans.\n%s"},
    {str::JpegLibraryMessage, "%s"},
    {str::MediaImportFilter,
     "Image File (*.gif;*.jpg;*.jpeg;*.bmp;*.png)|*.gif;*.jpg;*.jpeg;*.bmp;*.png|"
     "Media File (*.swf;*.wmv;*.rm;*.mp4;*.webm)|*.swf;*.wmv;*.rm;*.mp4;*.webm|"
     "PowerPoint File (*.ppt;*.pptx;*.pps;*.ppsx;*.odp)|*.ppt;*.pptx;*.pps;*.ppsx;*.odp||"},
    {str::TooManyImportFiles, "Can't import so much files at a time."},
    {str::PowerPointNotFound, "PowerPoint Application not found.\nCan't import PPT file."},
    {str::PresentationOpenFailed, "The presentation cannot be opened. (%s)\nCan't get a presentation."},
    {str::PresentationExportFailed, "The slides cannot be turned into pictures. (%s)\nCan't export the presentation."},
    {str::PresentationTimedOut,
     "The presentation was not converted within %s seconds; the conversion was stopped. (%s)\nCan't import PPT file."},
    {str::PresentationNoSlides, "The presentation has no slides. (%s)"},
    {str::PictureUnreadable, "The picture cannot be read and is not imported. (%s)"},
    {str::ImportMediaCaption, "Import Media Settings"},
    {str::ImportToSameSession, "Import media to same session"},
    {str::ImportToEachSession, "Import media to each session"},
    {str::ImportDontShowAgain, "Don't show next time"},
    {str::PresentationCannotStart, "The presentation converter cannot be started. (%s)\nError: %s"},
    {str::PresentationCancelled, "The conversion of the presentation was cancelled. (%s)"},
    {str::GetSupportSizeError, "Get Support Size Error"},
    {str::NoLayoutListItem, "No Layout List item."},
    {str::NoStyleListItem, "No Style List item."},
    {str::NoSpecialStyleListItem, "No Special Style List item."},
    {str::NoCustomStyleListItem, "No Custom Style List item."},
    {str::NoListItem, "No List item."},
    {str::ResolutionErrorListDialog, "Resolution information error.\nUnable to show list dialog."},
    {str::StyleMissing, "There is not the specific style.\nDefault style will be used."},
    {str::LayoutMissing, "There is not the specific layout.\nDefault layout will be used."},
    {str::ResolutionMissing, "There is not the specific resolution.\nDefault resolution will be used."},
    {str::ResolutionErrorFontSettings, "Resolution information error.\nUnable to Initialize font settings."},
    {str::TemplateHtmlNotFound, "Template html file not found. (%s)\nCan\'t continue to Initialize font settings."},
    {str::OpenTemplateHtmlError, "Open template html file error. (%s)\nError: %s\nUnable to Initialize font settings."},
    {str::FontSpanFormat, "<font face='%s' style='font-size:%spx; font-style:%s; font-weight:%s; text-decoration:%s;' color='%s'>%s</Font>"},
    {str::ResolutionExportError, "Resolution information error [%s].\nUnable to export template."},
    {str::ApplyTemplateOpenError, "Open file error.[%s]\nError: %s\nUnable to apply template."},
    {str::PageInfoLine, "AppendPageInfo(\"%s\", \"%s\", \"%s\", %.2f, %d, \"%s\", \"%s\");"},
    {str::BackgroundRule, ".QBBG { %s; }"},
    {str::BackgroundColourRule, "background-color: #%.2x%.2x%.2x"},
    {str::BackgroundPictureRule, "background-image: url('%s');\nbackground-repeat:%s"},
    {str::DataFolderSuffix, "_PVData"},
    {str::InlineFrameElement, "<IFRAME ID=IFrame0 FRAMEBORDER=0 SCROLLING=NO style='height:%d; width:%d;' SRC='%s'></IFRAME>"},
    {str::LayerSizeOpenError, "Open file error. (%s)\nUnable to get background size in the html file."},
    {str::WebFileFilter, "Web File (*.htm;*.html;*.shtml;*.stm;*.asp)|*.htm;*.html;*.shtml;*.stm;*.asp||"},
    {str::HtmlCodeCaption, "Pavonia Html Code"},
    {str::HtmlCodeIntro, "The following steps will help you to add Pavonia files to an existing html file."},
    {str::HtmlCodeStep1, "Step 1: Select HTML file."},
    {str::HtmlCodeStep2, "Step 2: Add Pavonia files to..."},
    {str::HtmlCodeStep3, "Step 3: Copy and paste the code below to the HTML file selected above."},
    {str::HtmlCodeSelect, "&Select"},
    {str::HtmlCodeProcess, "&Process"},
    {str::HtmlCodeCopy, "C&opy"},
    {str::HtmlCodeClose, "&Close"},
    {str::VoiceCannotOpen, "Cannot open the sound file. (%s)\nError: %s"},
    {str::VoiceNotWave, "Not a wave file. (%s)"},
    {str::VoiceUnsupportedWave, "This wave format is not supported. (%s)\n%s\nUse 8- or 16-bit PCM, mono or stereo, 8000 to 48000 Hz."},
    {str::VoiceDamagedWave, "The wave file is damaged. (%s)\n%s"},
    {str::VoiceNotMessage, "Not a talking message file. (%s)"},
    {str::VoiceDamagedMessage, "The talking message file is damaged. (%s)\n%s"},
    {str::VoiceNewerMessage, "The talking message was made by a newer version of the program. (%s)"},
    {str::VoiceWriteFailed, "Cannot write the file. (%s)\nError: %s"},
    {str::VoiceMp3DecodeFailed, "The MP3 file cannot be decoded. (%s)\n%s"},
    {str::VoiceTooLong, "The sound is too long to be kept in one file. (%s)"},
    {str::VoiceSessionNotFound, "The project has no session %s."},
    {str::VoiceUnsupportedAudio, "This file format is not supported. (%s)\nUse a wave or MP3 file."},
    {str::VoiceTextModeRefused, "Unable to load the tps with text mode"},
    {str::VoiceLoadTpsError, "Wave Editor Load Tps Error"},
    {str::VoiceRecordFinished, "Recording is finished, click 'Apply' create the talking message. \n\nIf you don't sync the image while recording, you need to sync it after recording."},
    {str::VoiceRecordApply, "&Apply"},
    {str::VoiceRecordCancel, "&Cancel"},
    {str::VoiceReplaceMessage, "Importing a new message file will replace the old message file. Do you want to continue?"},
    {str::VoiceMp3Error, "Process mp3 file error."},
    {str::VoiceSeconds, "sec."},
    {str::VoiceTipMute, "Mute"},
    {str::VoiceTipNoMute, "No Mute"},
    {str::VoiceTipRecord, "Record"},
    {str::VoiceTipStop, "Stop"},
    {str::VoiceTipPause, "Pause"},
    {str::VoiceTipContinue, "Continue"},
    {str::VoiceTipSync, "Sync"},
    {str::VoiceTipPreview, "Preview Sync Result"},
    {str::DeviceQueryFailed, "Unable to query audio device capabilities!"},
    {str::DeviceUnsupported, "Unsupported wave device ! Please select another wave device."},
    {str::DeviceOpenFailed, "Unable to open wave device ! Please terminate other applications and try again."},
    {str::MixerOpenFailed, "Open mixer device error."},
    {str::MixerNoWaveInDevice, "Get wave in DEST device error."},
    {str::MixerNoWaveIn, "No wave in connection !"},
    {str::MixerNoControl, "No wave in connection control !"},
    {str::MixerTextError, "Get control details (text) error !"},
    {str::MixerValueError, "Get control details (value) error !"},
    {str::VoiceNothingToPlay, "There is no voice to play."},
    {str::VoicePlaybackFailed, "Unable to play the voice.\n%s"},
    {str::VoiceRecordFailed, "Unable to start recording.\n%s"},
    {str::AudioNoOutput, "No sound output device was found."},
    {str::AudioNoInput, "No sound input device was found."},
    {str::AudioOutputError, "The sound output device stopped with an error.\n%s"},
    {str::AudioInputError, "The sound input device stopped with an error.\n%s"},
    {str::VoiceNoRecording, "There is no recording to apply."},
    {str::VoiceSecondWaveUnsupported, "Only one wave file can be imported at a time."},
    {str::AudioNoDevice, "No sound output device was found.\nNo sound input device was found."},
    {str::TalkingImageMissing, "The talking image file does not exist. (%s)"},
    {str::TalkingImageDamaged, "The talking image file is damaged and cannot be shown. (%s)"},
    {str::TalkingImageNewer, "The talking image file was made by a later version of Pavonia. (%s)"},
    {str::TalkingMessageUnreadable, "The talking message cannot be read for the talking image. (%s)"},
    {str::VoiceTemplateNoSpace, "Insufficient space to create new template."},
    {str::VoiceTemplateNameExists, "The specified name already exist. Please use another name."},
    {str::VoiceTemplateNameEmpty, "Please input template name."},
    {str::VoicePreviewLength, "10000"},
    {str::VoiceTemplateNone, "none"},
    {str::VoiceTemplateCustomName, "Custom-%d"},
    {str::VoiceFilterTest, "Test"},
    {str::VoiceFilterStop, "Stop"},
    {str::VideoExportKind, "Export as Video"},
    {str::VideoFilter, "MP4 Video(*.mp4)|*.mp4||"},
    {str::VideoNoBrowser, "Video export photographs the slides with the Chromium web browser, which is not "
                          "installed.\nUnable to export the video."},
    {str::VideoBrowserFailed, "The slides could not be photographed in the web browser. (%s)\nUnable to export "
                              "the video."},
    {str::VideoPageUnusable, "The published page could not be shown in the web browser. (%s)\nUnable to export "
                             "the video."},
    {str::VideoNothingToShow, "The presentation shows nothing for any time: no slide has a delay and no session "
                              "has a voice.\nUnable to export the video."},
    {str::VideoEncoderMissing, "The H.264 video or the AAC sound encoder is missing from the FFmpeg libraries "
                               "of this system.\nUnable to export the video."},
    {str::VideoWriteFailed, "Unable to write the video %s.\nError: %s"},
    {str::VideoEncodeFailed, "Unable to make the video %s. (%s)"},
    {str::VideoCancelled, "The video export was cancelled. Nothing was written."},
    {str::VideoNotPublished, "The presentation could not be published for the video.\nUnable to export the "
                             "video."},
    {str::VideoPhotographing, "Photographing the slides: picture %d of %d"},
    {str::VideoEncoding, "Making frame %d of %d, %s left"},
    {str::VideoPublishing, "Publishing the presentation"},
    {str::ExportFailedToPack, "Failed to pack file %s"},
    {str::ExportFailedToEmbed, "Failed to embed file %s"},
    {str::ExportAutoRunMissing, "AutoRun Folder not exist.\nUnable to export for CD."},
    {str::ExportTotalSize, "Total exported file size is %u KB ( %u bytes)."},
    {str::ExportWebFilter, "HTML File(*.htm)|*.htm||"},
    {str::ExportExeFilter, "EXE File(*.exe)|*.exe||"},
    {str::ExportAutoRunIni, "[Export]\r\n\r\nFile = %s\r\n"},
    {str::ExportNameTooLong,
     "The name %s is too long to be stored in the executable (275 characters at most).\nUnable to export."},
    {str::ExportCommandLineTooLong, "The command line of the presentation player is too long to be stored in the "
                                    "executable (263 characters at most):\n%s\nUnable to export."},
    {str::ExportPackNotCreated, "Unable to create the pack file %s.\nError: %s\nNo executable was written."},
    {str::ExportFileTooLarge, "File too large to be packed into an executable (2 GB at most). (%s)\nUnable to export."},
    {str::ExportCopyFailed, "Unable to copy the exported files to %s.\nError: %s"},
    {str::StubDamaged, "This program is damaged or incomplete and cannot show its presentation.\n(%s)"},
    {str::StubNoPack, "no presentation was found at its end"},
    {str::StubEntryOutside, "part %d lies outside the file"},
    {str::StubEntryHeader, "part %d has a damaged header"},
    {str::StubEntryName, "part %d has a name that leaves its folder: %s"},
    {str::StubCountMismatch, "the parts do not end where the presentation's table begins"},
    {str::StubCabinetDamaged, "the compressed file %s is damaged"},
    {str::StubCannotUnpack, "Unable to unpack the presentation into %s.\nError: %s"},
    {str::StubPlayerMissing, "The presentation player %s is not in this program."},
    {str::StubOpeningBrowser,
     "The presentation player could not start. The presentation opens in your web browser instead."},
    {str::StubNoBrowser, "No web browser could be started either. The presentation's files are in %s"},
    {str::StubPressEnter, "Press Enter when you have finished watching, to remove the presentation's files."},
    {str::StubFilesKept, "The presentation's files stay in %s until you remove them."},
    {str::StubCannotReadSelf, "Unable to read this program's own file %s.\nError: %s"},
    {str::PlayerUsage, "Usage: pvplayer.exe PAGE [WIDTH HEIGHT]"},
    {str::PlayerPageMissing, "The page %s cannot be found."},
    {str::PicturesNotPublished, "These pictures cannot be read and are left out of the page:\n%s"},
    {str::NotARegularFile, "Not a regular file (a pipe or a device), which is not read."},
    {str::AudioFromPipe,
     "The sound comes from a pipe or a device, which cannot be read as a file. (%s)\nSave it to a wave or MP3 "
     "file first."},
    {str::ProjectDamaged, "The project file is damaged or cut short; it was read only in part. (%s)"},
    {str::ProjectDamagedFiles,
     "The project file is damaged or cut short. (%s)\nThese files are missing or incomplete: %s"},
    {str::DamagedProjectNotOverwritten,
     "The project was read from a damaged file; saving over that file would make the loss permanent. "
     "(%s)\nName another file with --out."},
    {str::PageTooLarge, "The page template repeats its markers so often that the page would take %s bytes, more than "
                        "the %s bytes allowed for it.[%s]\nUnable to apply template."},
    {str::OutOfMemory, "Not enough memory to finish the command."},
    {str::LipSyncFolderNotFound, "[LIPSincData] Folder not found."},
    {str::CreateTempFolderFailed, "\"Create [Temp] Folder failed."},
    {str::CreateUserFolderFailed, "Create [User] Folder failed."},
    {str::TemplateFolderNotFound, "[Template] folder not found."},
    {str::JavascriptFileNotFound, "Javascript file not found."},
    {str::CatalogueNotFound, "[Pavonia.ini] not found."},
    {str::RmLogoNotFound, "RM Logo file not found."},
    {str::SwfLogoNotFound, "SWF Logo file not found."},
    {str::WmvLogoNotFound, "WMV Logo file not found."},
    {str::DefaultTalkingImageNotFound, "Default talking image file not found."},
    {str::DefaultTalkingMessageNotFound, "Default talking message file not found."},
    {str::StartupCreateNewProject, "Create New Project"},
    {str::StartupTemplate, "Template"},
    {str::StartupCustom, "Custom"},
    {str::StartupLoadProject, "Load Project"},
    {str::StartupShowAtStartup, "Show at startup"},
    {str::ButtonOk, "&OK"},
    {str::ButtonCancel, "&Cancel"},
    {str::MenuFile, "&File"},
    {str::MenuEdit, "&Edit"},
    {str::MenuView, "&View"},
    {str::MenuSettings, "&Settings"},
    {str::MenuHelp, "&Help"},
    {str::CmdNewProject, "&New Project..."},
    {str::CmdOpenProject, "&Open Project..."},
    {str::CmdSaveProject, "&Save Project"},
    {str::CmdSaveAs, "Save &As..."},
    {str::CmdImportMedia, "&Import Media File..."},
    {str::CmdImportWave, "Import &Wave File..."},
    {str::CmdImportTalkingImage, "Import &Talking Image..."},
    {str::CmdImportTalkingMessage, "Import Ta&lking Message..."},
    {str::CmdExportHtml, "&Export Html..."},
    {str::CmdExit, "E&xit"},
    {str::CmdMoveUp, "Move &Up"},
    {str::CmdMoveDown, "Move &Down"},
    {str::CmdAdd, "&Add"},
    {str::CmdDelete, "De&lete"},
    {str::CmdRename, "Rena&me"},
    {str::CmdHtmlCodeCopy, "&Html Code Copy"},
    {str::CmdProjectStyle, "Project &Style"},
    {str::CmdSlideInfo, "Slide &Info"},
    {str::CmdSlidePreview, "Slide &Preview"},
    {str::CmdProjectSettings, "&Project Settings"},
    {str::CmdCustomSettings, "&Custom Settings"},
    {str::CmdSelectImageStyle, "Select Image St&yle"},
    {str::CmdSelectLayout, "Select &Layout"},
    {str::CmdPreferences, "Preferen&ces"},
    {str::CmdContent, "&Content"},
    {str::CmdGettingStarted, "&Getting Started"},
    {str::CmdCheckForUpdates, "Check for &Updates"},
    {str::CmdMakerWebLink, "&Nimbari on the Web"},
    {str::CmdProductWebLink, "P&avonia on the Web"},
    {str::CmdAbout, "&About Pavonia"},
    {str::CmdSelectAll, "Select &All"},
    {str::ToolNew, "New"},
    {str::ToolOpen, "Open"},
    {str::ToolSave, "Save"},
    {str::ToolImport, "Import"},
    {str::ToolUp, "Up"},
    {str::ToolDown, "Down"},
    {str::ToolAdd, "Add"},
    {str::ToolDelete, "Del"},
    {str::ToolPreview, "Preview"},
    {str::ToolExport, "Export"},
    {str::ToolProject, "Project"},
    {str::ToolInfo, "Info"},
    {str::HeadingTextLabel, "Heading Text"},
    {str::StatusReady, "Ready"},
    {str::StatusCapsLock, "CAP"},
    {str::StatusNumLock, "NUM"},
    {str::StatusScrollLock, "SCRL"},
    {str::ToolBarTitle, "Standard"},
    {str::HeadingBarTitle, "Heading"},
    {str::PageComesLater, "The %s page arrives with the editing pages."},
    {str::PageNameInfo, "information"},
    {str::PageNameSlideVoice, "slide voice"},
    {str::PageNameMedia, "media"},
    {str::PageNameStyle, "style"},
    {str::OpeningProject, "Opening %s ..."},
    {str::SavingProject, "Saving %s ..."},
    {str::HelpPageMissing, "The help page cannot be opened. (%s)"},
    {str::LinkFileMissing, "The web link cannot be opened. (%s)"},
    {str::AboutText, "%s %s\nNarrated web presentations.\n%s"},
    {str::CommandNotReady, "This command arrives with a later version."},
    {str::StylePageImageStyle, "Image Style"},
    {str::StylePageLayout, "Layout"},
    {str::StylePageProjectSettings, "Project Settings"},
    {str::ListDialogSelectLayout, "Select Layout"},
    {str::ListDialogResolution, "Resolution"},
    {str::ResolutionErrorSelectStyle, "Resolution information error [%s].\nSelect Style Error."},
    {str::ResolutionErrorPreview, "Resolution information error.\nUnable to preview style image."},
    {str::ProjectSettingsCaption, "Project Settings"},
    {str::SettingsHeadingText, "Heading Text"},
    {str::SettingsSubTopic, "Sub Topic"},
    {str::SettingsDescription, "Description"},
    {str::SettingsFontButton, "Font"},
    {str::SettingsAutoPlay, "Auto Play"},
    {str::SettingsAutoLoop, "Auto Loop"},
    {str::SettingsAutoJumpSlide, "Auto Jump Slide"},
    {str::SettingsDefaultButton, "Default"},
    {str::FontSettingCaption, "Font Setting"},
    {str::FontSettingBold, "Bold"},
    {str::FontSettingItalic, "Italic"},
    {str::FontSettingUnderline, "Underline"},
    {str::FontSettingColor, "Color"},
    {str::FontSettingFace, "Font:"},
    {str::FontSettingSize, "Size:"},
    {str::CustomSettingsCaption, "Custom Settings"},
    {str::CustomBackground, "Background"},
    {str::CustomOriginal, "Original"},
    {str::CustomColour, "Color"},
    {str::CustomPicture, "Picture"},
    {str::CustomBrowse, "Browse"},
    {str::CustomFontColorSettings, "Font Color Settings"},
    {str::CustomSubTopic, "Sub topic"},
    {str::BackgroundFileNotFound, "Background file not found (%s)\nDon't set background file."},
    {str::SelectBackgroundImage, "Please select a background image."},
    {str::BackgroundImageFilter, "Image File (*.gif;*.jpg)|*.gif;*.jpg||"},
    {str::BackgroundTile, "Background Tile"},
    {str::PictureFileSize, "File size: %s bytes"},
    {str::PictureDimensions, "Dimensions: %s x %s"},
    {str::BackgroundPictureCaption, "Background Picture"},
    {str::PictureNotReadable, "The picture cannot be shown."},
    {str::PreferencesCaption, "Preferences"},
    {str::PreferencesShowAtStartup, "Show dialog at startup"},
    {str::PreferencesShowWhenExporting, "Show dialog when exporting"},
    {str::PreferencesShowWhenImporting, "Show settings when importing media"},
    {str::PreferencesTransition, "Transition:"},
    {str::PreferencesDelay, "Delay:"},
    {str::PreferencesRecordSettings, "Record Settings"},
    {str::PreferencesInputDevice, "Input Device:"},
    {str::PreferencesVolume, "Volume: "},
    {str::PreferencesNewSlides, "New Slides"},
    {str::PreferencesDialogs, "Dialogs"},
    {str::PreferencesSeconds, "seconds"},
    {str::AppTitle, "Pavonia"},
    {str::OpenButton, "&Open"},
    {str::ProjectLabel, "Project"},
    {str::DeleteOnlySlide, "Deleting session will also remove all slide items. (Y/N)?"},
    {str::MoveUpDeletesSession, "Move Up to Previous Session will delete null session. (Yes/No)"},
    {str::MoveUpToPrevious, "Move Up to Previous Session? (Yes/No)"},
    {str::MoveDownDeletesSession, "Move Down to Next Session will delete null session. (Yes/No)"},
    {str::MoveDownToNext, "Move Down to Next Session? (Yes/No)"},
    {str::SessionPrefix, "Session "},
    {str::SlidePrefix, "Slide "},
    {str::ProjectFileFilter, "PVP File(*.pvp)|*.pvp||"},
    {str::SaveBeforeOpening, "Do you want to save your project data before opening a project?"},
    {str::SaveBeforeNew, "Do you want to save your project data before creating a new project?"},
    {str::PackFileMissing, "File not exist. (%s)\nUnable to save project."},
    {str::OpenPackFileError, "Open Media Data File Error. (%s)\nError: %s\nUnable to save project."},
    {str::OpenOutputProjectError, "Open Output Project File Error. (%s)\nError: %s\nUnable to save project."},
    {str::NotAProjectFile, "Not a valid Pavonia Project file.\n(%s)"},
    {str::TempProjectFileError, "Temp Project File Error.\nError: %s\nUnable to continue to open project."},
    {str::OpenProjectFileError, "Open Project File Error. (%s)\nError: %s\nUnable to continue to open project."},
    {str::ProductVersion, "1.0"},
    {str::MakerName, "Nimbari"},
    {str::ProductName, "Pavonia"},
    {str::ConfirmDeleteSession, "Are you sure to delete the session?"},
    {str::UnsupportedFileFormat, "This file format is unsupport. \n ( File: %s )"},
    {str::SlideLimit, "256"},
    {str::SlideLimitReached, "Cannot add tree item; Because has a limitation of  256 slides only."},
    {str::DeleteLosesData, "Delete item will lose data. (Yes/No)"},
};
constexpr bool sortedById()
{
    for (std::size_t i = 1; i < std::size(kTexts); ++i)
        if (kTexts[i - 1].id >= kTexts[i].id)
            return false;
    return true;
}
static_assert(sortedById(), "the texts are looked up by binary search");

} // namespace

std::string StringTable::text(int id)
{
    const auto it = std::lower_bound(std::begin(kTexts), std::end(kTexts), id,
                                     [](const Entry& e, int key) { return e.id < key; });
    if (it == std::end(kTexts) || it->id != id)
        return {};
    return it->text;
}

std::string StringTable::format(int id, std::initializer_list<std::string_view> args)
{
    return fillArguments(text(id), args);
}

namespace {

template <typename Arguments>
std::string fillPlaces(std::string_view pattern, const Arguments& args)
{
    std::string out;
    auto next = std::begin(args);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size()) {
            const char conversion = pattern[i + 1];
            if (conversion == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (conversion == 's' || conversion == 'd' || conversion == 'u') {
                if (next != std::end(args))
                    out += *next++;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace

std::string fillArguments(std::string_view pattern, std::initializer_list<std::string_view> args)
{
    return fillPlaces(pattern, args);
}

std::string fillArguments(std::string_view pattern, const std::vector<std::string>& args)
{
    return fillPlaces(pattern, args);
}

} // namespace pavonia
