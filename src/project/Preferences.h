#pragma once
// The user's preference file "PVPreference.ini" in the installation folder,
// section "PVPreference". Created with its eight keys when missing; each key
// has a default used when it is absent.
#include "platform/IniFile.h"

#include <string>

namespace pavonia {

class Preferences {
public:
    static constexpr const char* kFileName = "PVPreference.ini";
    static constexpr const char* kSection = "PVPreference";

    // Creates the file with the default keys, in order, when it is missing.
    explicit Preferences(const std::string& installationFolder);

    IniFile& file() { return file_; }
    const IniFile& file() const { return file_; }

    double delay() const;        // "Delay", default 3
    int exportType() const;      // "ExportType", default 0
    int importType() const;      // "ImportType", default 0
    int includeAutoRun() const;  // "IncludeAutoRun", default 1
    int initDlg() const;         // "InitDlg", default 1
    int showExportDlg() const;   // "ShowExportDlg", default 1
    int showImportDlg() const;   // "ShowImportDlg", default 1
    int transition() const;      // "Transition", default 18

    void setDelay(double seconds);
    void setExportType(int value);
    void setImportType(int value);
    void setIncludeAutoRun(int value);
    void setInitDlg(int value);
    void setShowExportDlg(int value);
    void setShowImportDlg(int value);
    void setTransition(int value);

private:
    IniFile file_;
};

} // namespace pavonia
