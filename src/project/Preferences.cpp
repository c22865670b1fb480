#include "project/Preferences.h"

#include "platform/SystemFolders.h"

#include <fstream>

namespace pavonia {

namespace {
constexpr const char* kDelay = "Delay";
constexpr const char* kExportType = "ExportType";
constexpr const char* kImportType = "ImportType";
constexpr const char* kIncludeAutoRun = "IncludeAutoRun";
constexpr const char* kInitDlg = "InitDlg";
constexpr const char* kShowExportDlg = "ShowExportDlg";
constexpr const char* kShowImportDlg = "ShowImportDlg";
constexpr const char* kTransition = "Transition";
constexpr const char* kConvertTimeout = "ConvertTimeout";

constexpr double kDefaultDelay = 3;
constexpr int kDefaultExportType = 0;
constexpr int kDefaultImportType = 0;
constexpr int kDefaultIncludeAutoRun = 1;
constexpr int kDefaultInitDlg = 1;
constexpr int kDefaultShowExportDlg = 1;
constexpr int kDefaultShowImportDlg = 1;
constexpr int kDefaultTransition = 18;
constexpr int kDefaultConvertTimeout = 120;
} // namespace

Preferences::Preferences(const std::string& installationFolder)
    : file_(withTrailingSeparator(installationFolder) + kFileName)
{
    if (IniFile::exists(file_.path()))
        return;
    // A file that cannot be created stays missing: every key then reads as
    // its default, and a later write tries to create it again.
    if (!std::ofstream(file_.path(), std::ios::binary | std::ios::trunc))
        return;
    file_.writeNumber(kSection, kDelay, kDefaultDelay);
    file_.writeInt(kSection, kExportType, kDefaultExportType);
    file_.writeInt(kSection, kImportType, kDefaultImportType);
    file_.writeInt(kSection, kIncludeAutoRun, kDefaultIncludeAutoRun);
    file_.writeInt(kSection, kInitDlg, kDefaultInitDlg);
    file_.writeInt(kSection, kShowExportDlg, kDefaultShowExportDlg);
    file_.writeInt(kSection, kShowImportDlg, kDefaultShowImportDlg);
    file_.writeInt(kSection, kTransition, kDefaultTransition);
}

double Preferences::delay() const { return file_.readNumber(kSection, kDelay, kDefaultDelay); }
int Preferences::exportType() const { return file_.readInt(kSection, kExportType, kDefaultExportType); }
int Preferences::importType() const { return file_.readInt(kSection, kImportType, kDefaultImportType); }
int Preferences::includeAutoRun() const { return file_.readInt(kSection, kIncludeAutoRun, kDefaultIncludeAutoRun); }
int Preferences::initDlg() const { return file_.readInt(kSection, kInitDlg, kDefaultInitDlg); }
int Preferences::showExportDlg() const { return file_.readInt(kSection, kShowExportDlg, kDefaultShowExportDlg); }
int Preferences::showImportDlg() const { return file_.readInt(kSection, kShowImportDlg, kDefaultShowImportDlg); }
int Preferences::transition() const { return file_.readInt(kSection, kTransition, kDefaultTransition); }
int Preferences::convertTimeout() const { return file_.readInt(kSection, kConvertTimeout, kDefaultConvertTimeout); }

bool Preferences::setDelay(double seconds) { return file_.writeNumber(kSection, kDelay, seconds); }
bool Preferences::setExportType(int value) { return file_.writeInt(kSection, kExportType, value); }
bool Preferences::setImportType(int value) { return file_.writeInt(kSection, kImportType, value); }
bool Preferences::setIncludeAutoRun(int value) { return file_.writeInt(kSection, kIncludeAutoRun, value); }
bool Preferences::setInitDlg(int value) { return file_.writeInt(kSection, kInitDlg, value); }
bool Preferences::setShowExportDlg(int value) { return file_.writeInt(kSection, kShowExportDlg, value); }
bool Preferences::setShowImportDlg(int value) { return file_.writeInt(kSection, kShowImportDlg, value); }
bool Preferences::setTransition(int value) { return file_.writeInt(kSection, kTransition, value); }

} // namespace pavonia
