// URL moniker downloads on Windows (URLDownloadToFileW), with every progress
// notification handed to the caller, who may stop the download.
#pragma once

#include "platform/internet.h"

namespace platform::win32 {

class Win32UrlDownloader final : public IUrlDownloader {
 public:
  // The URL and the path are converted from CP949, so a Korean folder name is the
  // folder the user sees; the status texts of the notifications are converted back.
  long DownloadToFile(const std::string& url, const std::string& path, const Progress& progress) override;
};

}  // namespace platform::win32
