#pragma once
// The program's texts, by number. Every text the user sees comes from here;
// numbers below 1000 are texts of ours that the resource module had no
// number for.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace pavonia {

namespace str {
// Texts of our own numbering.
inline constexpr int CreateTempDirectoryFailed = 100;
inline constexpr int IniFileLost = 101;
inline constexpr int MaximumDelay = 102;
inline constexpr int InvalidFileToOpen = 103;
inline constexpr int WriteProjectFileFailed = 104;
inline constexpr int InstallationNotWritable = 105;
inline constexpr int FileTooLargeToPack = 106;
// Installations and working folders.
inline constexpr int InstallationFolderEmpty = 120;
inline constexpr int NotAnInstallation = 121;
inline constexpr int WorkingFolderFailed = 122;
inline constexpr int WorkingCopyFailed = 123;
inline constexpr int DefaultFileMissing = 124;
// Picture readers.
inline constexpr int BmpStatusOk = 200;
inline constexpr int BmpCantOpen = 201;
inline constexpr int BmpNotValid = 202;
inline constexpr int BmpHeaderReadError = 203;
inline constexpr int BmpCompressed = 204;
inline constexpr int BmpOutOfMemory = 205;
inline constexpr int BmpCorruptPalette = 206;
inline constexpr int BmpAllocFailed = 207;
inline constexpr int BmpPixelReadError = 208;
inline constexpr int BmpUnsupportedDepth = 209;
inline constexpr int BmpTopDown = 210;
inline constexpr int BmpBadPaletteIndex = 211;
inline constexpr int BmpBadSize = 212;
inline constexpr int BmpUnsupportedHeader = 213;
inline constexpr int JpegCantOpen = 220;
inline constexpr int JpegOutOfMemory = 221;
inline constexpr int JpegFatalErrorCaption = 222;
inline constexpr int JpegUnsupportedComponents = 223;
inline constexpr int JpegTooLarge = 224;
inline constexpr int JpegTooManyScans = 225;
inline constexpr int JpegLibraryMessage = 226;
// Media and slide-deck import.
inline constexpr int MediaImportFilter = 230;
inline constexpr int TooManyImportFiles = 231;
inline constexpr int PowerPointNotFound = 232;
inline constexpr int PresentationOpenFailed = 233;
inline constexpr int PresentationExportFailed = 234;
inline constexpr int PresentationTimedOut = 235;
inline constexpr int PresentationNoSlides = 236;
inline constexpr int PictureUnreadable = 237;
inline constexpr int ImportMediaCaption = 238;
inline constexpr int ImportToSameSession = 239;
inline constexpr int ImportToEachSession = 240;
inline constexpr int ImportDontShowAgain = 241;
inline constexpr int PresentationCannotStart = 242;
inline constexpr int PresentationCancelled = 243;
// Template library and text styles.
inline constexpr int GetSupportSizeError = 250;
inline constexpr int NoLayoutListItem = 251;
inline constexpr int NoStyleListItem = 252;
inline constexpr int NoSpecialStyleListItem = 253;
inline constexpr int NoCustomStyleListItem = 254;
inline constexpr int NoListItem = 255;
inline constexpr int ResolutionErrorListDialog = 256;
inline constexpr int StyleMissing = 257;
inline constexpr int LayoutMissing = 258;
inline constexpr int ResolutionMissing = 259;
inline constexpr int ResolutionErrorFontSettings = 260;
inline constexpr int TemplateHtmlNotFound = 261;
inline constexpr int OpenTemplateHtmlError = 262;
inline constexpr int FontSpanFormat = 263;
// Publishing, preview and HTML code copy.
inline constexpr int ResolutionExportError = 300;
inline constexpr int ApplyTemplateOpenError = 301;
inline constexpr int PageInfoLine = 302;
inline constexpr int BackgroundRule = 303;
inline constexpr int BackgroundColourRule = 304;
inline constexpr int BackgroundPictureRule = 305;
inline constexpr int DataFolderSuffix = 306;
inline constexpr int InlineFrameElement = 307;
inline constexpr int LayerSizeOpenError = 308;
inline constexpr int WebFileFilter = 309;
inline constexpr int HtmlCodeCaption = 310;
inline constexpr int HtmlCodeIntro = 311;
inline constexpr int HtmlCodeStep1 = 312;
inline constexpr int HtmlCodeStep2 = 313;
inline constexpr int HtmlCodeStep3 = 314;
inline constexpr int HtmlCodeSelect = 315;
inline constexpr int HtmlCodeProcess = 316;
inline constexpr int HtmlCodeCopy = 317;
inline constexpr int HtmlCodeClose = 318;
// Voice files: wave, MP3 and talking message import and export.
inline constexpr int VoiceCannotOpen = 400;
inline constexpr int VoiceNotWave = 401;
inline constexpr int VoiceUnsupportedWave = 402;
inline constexpr int VoiceDamagedWave = 403;
inline constexpr int VoiceNotMessage = 404;
inline constexpr int VoiceDamagedMessage = 405;
inline constexpr int VoiceNewerMessage = 406;
inline constexpr int VoiceWriteFailed = 407;
inline constexpr int VoiceMp3DecodeFailed = 408;
inline constexpr int VoiceTooLong = 409;
inline constexpr int VoiceSessionNotFound = 410;
inline constexpr int VoiceUnsupportedAudio = 411;
// Voice engine, slide voice page and recording device setup.
inline constexpr int VoiceTextModeRefused = 450;
inline constexpr int VoiceLoadTpsError = 451;
inline constexpr int VoiceRecordFinished = 452;
inline constexpr int VoiceRecordApply = 453;
inline constexpr int VoiceRecordCancel = 454;
inline constexpr int VoiceReplaceMessage = 455;
inline constexpr int VoiceMp3Error = 456;
inline constexpr int VoiceSeconds = 457;
inline constexpr int VoiceTipMute = 458;
inline constexpr int VoiceTipNoMute = 459;
inline constexpr int VoiceTipRecord = 460;
inline constexpr int VoiceTipStop = 461;
inline constexpr int VoiceTipPause = 462;
inline constexpr int VoiceTipContinue = 463;
inline constexpr int VoiceTipSync = 464;
inline constexpr int VoiceTipPreview = 465;
inline constexpr int DeviceQueryFailed = 466;
inline constexpr int DeviceUnsupported = 467;
inline constexpr int DeviceOpenFailed = 468;
inline constexpr int MixerOpenFailed = 469;
inline constexpr int MixerNoWaveInDevice = 470;
inline constexpr int MixerNoWaveIn = 471;
inline constexpr int MixerNoControl = 472;
inline constexpr int MixerTextError = 473;
inline constexpr int MixerValueError = 474;
inline constexpr int VoiceNothingToPlay = 475;
inline constexpr int VoicePlaybackFailed = 476;
inline constexpr int VoiceRecordFailed = 477;
inline constexpr int AudioNoOutput = 478;
inline constexpr int AudioNoInput = 479;
inline constexpr int AudioOutputError = 480;
inline constexpr int AudioInputError = 481;
inline constexpr int VoiceNoRecording = 482;
inline constexpr int VoiceSecondWaveUnsupported = 483;
inline constexpr int AudioNoDevice = 484;
// Talking image player.
inline constexpr int TalkingImageMissing = 500;
inline constexpr int TalkingImageDamaged = 501;
inline constexpr int TalkingImageNewer = 502;
inline constexpr int TalkingMessageUnreadable = 503;
// Voice filter dialog and its templates.
inline constexpr int VoiceTemplateNoSpace = 550;
inline constexpr int VoiceTemplateNameExists = 551;
inline constexpr int VoiceTemplateNameEmpty = 552;
inline constexpr int VoicePreviewLength = 553;
inline constexpr int VoiceTemplateNone = 554;
inline constexpr int VoiceTemplateCustomName = 555;
inline constexpr int VoiceFilterTest = 556;
inline constexpr int VoiceFilterStop = 557;
// Video export.
inline constexpr int VideoExportKind = 558;
inline constexpr int VideoFilter = 559;
inline constexpr int VideoNoBrowser = 560;
inline constexpr int VideoBrowserFailed = 561;
inline constexpr int VideoPageUnusable = 562;
inline constexpr int VideoNothingToShow = 563;
inline constexpr int VideoEncoderMissing = 564;
inline constexpr int VideoWriteFailed = 565;
inline constexpr int VideoEncodeFailed = 566;
inline constexpr int VideoCancelled = 567;
inline constexpr int VideoNotPublished = 568;
inline constexpr int VideoPhotographing = 569;
inline constexpr int VideoEncoding = 570;
inline constexpr int VideoPublishing = 571;
// Web, CD and executable export; the self-extracting stub and the player.
inline constexpr int ExportFailedToPack = 600;
inline constexpr int ExportFailedToEmbed = 601;
inline constexpr int ExportAutoRunMissing = 602;
inline constexpr int ExportTotalSize = 603;
inline constexpr int ExportWebFilter = 604;
inline constexpr int ExportExeFilter = 605;
inline constexpr int ExportAutoRunIni = 606;
inline constexpr int ExportNameTooLong = 607;
inline constexpr int ExportCommandLineTooLong = 608;
inline constexpr int ExportPackNotCreated = 609;
inline constexpr int ExportFileTooLarge = 610;
inline constexpr int ExportCopyFailed = 611;
inline constexpr int StubDamaged = 630;
inline constexpr int StubNoPack = 631;
inline constexpr int StubEntryOutside = 632;
inline constexpr int StubEntryHeader = 633;
inline constexpr int StubEntryName = 634;
inline constexpr int StubCountMismatch = 635;
inline constexpr int StubCabinetDamaged = 636;
inline constexpr int StubCannotUnpack = 637;
inline constexpr int StubPlayerMissing = 638;
inline constexpr int StubOpeningBrowser = 639;
inline constexpr int StubNoBrowser = 640;
inline constexpr int StubPressEnter = 641;
inline constexpr int StubFilesKept = 642;
inline constexpr int StubCannotReadSelf = 643;
inline constexpr int PlayerUsage = 660;
inline constexpr int PlayerPageMissing = 661;
// Hostile input, and what publishing leaves out.
inline constexpr int PicturesNotPublished = 702;
inline constexpr int NotARegularFile = 703;
inline constexpr int AudioFromPipe = 704;
inline constexpr int ProjectDamaged = 705;
inline constexpr int ProjectDamagedFiles = 706;
inline constexpr int DamagedProjectNotOverwritten = 707;
// Bounds on work.
inline constexpr int PageTooLarge = 720;
inline constexpr int OutOfMemory = 721;
// Start-up, the start-up dialog and the installed program.
inline constexpr int LipSyncFolderNotFound = 760;
inline constexpr int CreateTempFolderFailed = 761;
inline constexpr int CreateUserFolderFailed = 762;
inline constexpr int TemplateFolderNotFound = 763;
inline constexpr int JavascriptFileNotFound = 764;
inline constexpr int CatalogueNotFound = 765;
inline constexpr int RmLogoNotFound = 766;
inline constexpr int SwfLogoNotFound = 767;
inline constexpr int WmvLogoNotFound = 768;
inline constexpr int DefaultTalkingImageNotFound = 769;
inline constexpr int DefaultTalkingMessageNotFound = 770;
inline constexpr int StartupCreateNewProject = 771;
inline constexpr int StartupTemplate = 772;
inline constexpr int StartupCustom = 773;
inline constexpr int StartupLoadProject = 774;
inline constexpr int StartupShowAtStartup = 775;
inline constexpr int ButtonOk = 776;
inline constexpr int ButtonCancel = 777;
// Main window, commands and project commands.
inline constexpr int MenuFile = 800;
inline constexpr int MenuEdit = 801;
inline constexpr int MenuView = 802;
inline constexpr int MenuSettings = 803;
inline constexpr int MenuHelp = 804;
inline constexpr int CmdNewProject = 810;
inline constexpr int CmdOpenProject = 811;
inline constexpr int CmdSaveProject = 812;
inline constexpr int CmdSaveAs = 813;
inline constexpr int CmdImportMedia = 814;
inline constexpr int CmdImportWave = 815;
inline constexpr int CmdImportTalkingImage = 816;
inline constexpr int CmdImportTalkingMessage = 817;
inline constexpr int CmdExportHtml = 818;
inline constexpr int CmdExit = 819;
inline constexpr int CmdMoveUp = 820;
inline constexpr int CmdMoveDown = 821;
inline constexpr int CmdAdd = 822;
inline constexpr int CmdDelete = 823;
inline constexpr int CmdRename = 824;
inline constexpr int CmdHtmlCodeCopy = 825;
inline constexpr int CmdProjectStyle = 826;
inline constexpr int CmdSlideInfo = 827;
inline constexpr int CmdSlidePreview = 828;
inline constexpr int CmdProjectSettings = 829;
inline constexpr int CmdCustomSettings = 830;
inline constexpr int CmdSelectImageStyle = 831;
inline constexpr int CmdSelectLayout = 832;
inline constexpr int CmdPreferences = 833;
inline constexpr int CmdContent = 834;
inline constexpr int CmdGettingStarted = 835;
inline constexpr int CmdCheckForUpdates = 836;
inline constexpr int CmdMakerWebLink = 837;
inline constexpr int CmdProductWebLink = 838;
inline constexpr int CmdAbout = 839;
inline constexpr int CmdSelectAll = 840;
inline constexpr int ToolNew = 850;
inline constexpr int ToolOpen = 851;
inline constexpr int ToolSave = 852;
inline constexpr int ToolImport = 853;
inline constexpr int ToolUp = 854;
inline constexpr int ToolDown = 855;
inline constexpr int ToolAdd = 856;
inline constexpr int ToolDelete = 857;
inline constexpr int ToolPreview = 858;
inline constexpr int ToolExport = 859;
inline constexpr int ToolProject = 860;
inline constexpr int ToolInfo = 861;
inline constexpr int HeadingTextLabel = 870;
inline constexpr int StatusReady = 871;
inline constexpr int StatusCapsLock = 872;
inline constexpr int StatusNumLock = 873;
inline constexpr int StatusScrollLock = 874;
inline constexpr int ToolBarTitle = 875;
inline constexpr int HeadingBarTitle = 876;
inline constexpr int PageComesLater = 880;
inline constexpr int PageNameInfo = 881;
inline constexpr int PageNameSlideVoice = 882;
inline constexpr int PageNameMedia = 883;
inline constexpr int PageNameStyle = 884;
inline constexpr int OpeningProject = 890;
inline constexpr int SavingProject = 891;
inline constexpr int HelpPageMissing = 892;
inline constexpr int LinkFileMissing = 893;
inline constexpr int AboutText = 894;
inline constexpr int CommandNotReady = 895;
// Style page, list dialog, the settings dialogs and Preferences.
inline constexpr int StylePageImageStyle = 900;
inline constexpr int StylePageLayout = 901;
inline constexpr int StylePageProjectSettings = 902;
inline constexpr int ListDialogSelectLayout = 903;
inline constexpr int ListDialogResolution = 904;
inline constexpr int ResolutionErrorSelectStyle = 905;
inline constexpr int ResolutionErrorPreview = 906;
inline constexpr int ProjectSettingsCaption = 910;
inline constexpr int SettingsHeadingText = 911;
inline constexpr int SettingsSubTopic = 912;
inline constexpr int SettingsDescription = 913;
inline constexpr int SettingsFontButton = 914;
inline constexpr int SettingsAutoPlay = 915;
inline constexpr int SettingsAutoLoop = 916;
inline constexpr int SettingsAutoJumpSlide = 917;
inline constexpr int SettingsDefaultButton = 918;
inline constexpr int FontSettingCaption = 920;
inline constexpr int FontSettingBold = 921;
inline constexpr int FontSettingItalic = 922;
inline constexpr int FontSettingUnderline = 923;
inline constexpr int FontSettingColor = 924;
inline constexpr int FontSettingFace = 925;
inline constexpr int FontSettingSize = 926;
inline constexpr int CustomSettingsCaption = 930;
inline constexpr int CustomBackground = 931;
inline constexpr int CustomOriginal = 932;
inline constexpr int CustomColour = 933;
inline constexpr int CustomPicture = 934;
inline constexpr int CustomBrowse = 935;
inline constexpr int CustomFontColorSettings = 936;
inline constexpr int CustomSubTopic = 937;
inline constexpr int BackgroundFileNotFound = 938;
inline constexpr int SelectBackgroundImage = 939;
inline constexpr int BackgroundImageFilter = 940;
inline constexpr int BackgroundTile = 941;
inline constexpr int PictureFileSize = 942;
inline constexpr int PictureDimensions = 943;
inline constexpr int BackgroundPictureCaption = 944;
inline constexpr int PictureNotReadable = 945;
inline constexpr int PreferencesCaption = 950;
inline constexpr int PreferencesShowAtStartup = 951;
inline constexpr int PreferencesShowWhenExporting = 952;
inline constexpr int PreferencesShowWhenImporting = 953;
inline constexpr int PreferencesTransition = 954;
inline constexpr int PreferencesDelay = 955;
inline constexpr int PreferencesRecordSettings = 956;
inline constexpr int PreferencesInputDevice = 957;
inline constexpr int PreferencesVolume = 958;
inline constexpr int PreferencesNewSlides = 959;
inline constexpr int PreferencesDialogs = 960;
inline constexpr int PreferencesSeconds = 961;
// Texts of the resource module.
inline constexpr int OpenButton = 61233;
inline constexpr int AppTitle = 57344;
inline constexpr int ProjectLabel = 61304;
inline constexpr int DeleteOnlySlide = 61305;
inline constexpr int MoveUpDeletesSession = 61306;
inline constexpr int MoveUpToPrevious = 61307;
inline constexpr int MoveDownDeletesSession = 61308;
inline constexpr int MoveDownToNext = 61309;
inline constexpr int SessionPrefix = 61310;
inline constexpr int SlidePrefix = 61311;
inline constexpr int ProjectFileFilter = 61315;
inline constexpr int SaveBeforeOpening = 61316;
inline constexpr int SaveBeforeNew = 61317;
inline constexpr int PackFileMissing = 61319;
inline constexpr int OpenPackFileError = 61320;
inline constexpr int OpenOutputProjectError = 61321;
inline constexpr int NotAProjectFile = 61322;
inline constexpr int TempProjectFileError = 61323;
inline constexpr int OpenProjectFileError = 61324;
inline constexpr int ProductVersion = 61343;
inline constexpr int MakerName = 61344;
inline constexpr int ProductName = 61345;
inline constexpr int ConfirmDeleteSession = 61358;
inline constexpr int UnsupportedFileFormat = 61362;
inline constexpr int SlideLimit = 61388;
inline constexpr int SlideLimitReached = 61389;
inline constexpr int DeleteLosesData = 61411;
} // namespace str

class StringTable {
public:
    // The text of `id`; an empty text for an unknown number.
    static std::string text(int id);
    // The text of `id` with each "%s" (and "%d", "%u") filled by the next argument in
    // turn and "%%" turned into "%".
    static std::string format(int id, std::initializer_list<std::string_view> args);
};

// Fills printf-style "%s"/"%d"/"%u" places of `pattern` with `args` in turn.
std::string fillArguments(std::string_view pattern, std::initializer_list<std::string_view> args);
std::string fillArguments(std::string_view pattern, const std::vector<std::string>& args);

} // namespace pavonia
