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
    // "ConvertTimeout", default 120: the seconds a slide deck may take to be
    // turned into pictures before its conversion is stopped. Not among the
    // keys written when the file is created.
    int convertTimeout() const;

    // Each write goes to disk at once; false when it could not be written.
    bool setDelay(double seconds);
    bool setExportType(int value);
    bool setImportType(int value);
    bool setIncludeAutoRun(int value);
    bool setInitDlg(int value);
    bool setShowExportDlg(int value);
    bool setShowImportDlg(int value);
    bool setTransition(int value);

private:
    IniFile file_;
};

} // namespace pavonia
