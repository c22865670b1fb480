#pragma once
// The headless Chromium client (src/export/video/HeadlessChromium.h) under
// the names the browser tests, the page benchmark and the screenshot tool
// use, with the file:// address of a published page.
#include "export/video/HeadlessChromium.h"

#include <string>

namespace pavonia::test {

using pavonia::BrowserPage;
using pavonia::Chromium;
using pavonia::ChromiumOptions;
using pavonia::decodeBase64;
using pavonia::DevToolsError;
using pavonia::findChromium;

// The file:// URL of an absolute path.
std::string fileUrl(const std::string& path);

} // namespace pavonia::test
