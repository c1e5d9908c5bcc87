// A file fetched over HTTP into the program's folder or the temporary folder: the
// tunnel certificate and the update installer. Only a 2xx answer whose whole body
// arrived counts; the file is written only then, so a failed or cut download never
// leaves a file behind and never replaces a good one with an error page.
#pragma once

#include <cstddef>
#include <string>

#include "platform/files.h"
#include "platform/internet.h"
#include "platform/system.h"

namespace protocol {

// The whole download must be done this many seconds after it started.
inline constexpr int kDownloadDeadlineSeconds = 30;
// A certificate is a few KB and an installer a few MB: a body beyond this is refused.
inline constexpr std::size_t kDownloadMaxBytes = 64u * 1024u * 1024u;

struct DownloadResult {
  bool ok = false;
  std::string why;  // for the diagnostics log: "status 404", "cut at 1200 of 5000", ...
};

// GET `url` (http only) and write the body to `path`. Each network wait is bounded by
// the internet session's own limits; between reads, the deadline is checked against
// `clock`. On failure no file is left at `path` (a file that was there stays).
DownloadResult DownloadFile(platform::IInternet& internet, platform::IFiles& files, platform::IClock& clock,
                            const std::string& url, const std::string& path,
                            int deadlineSeconds = kDownloadDeadlineSeconds);

}  // namespace protocol
