// A file fetched over HTTP into the program's folder or the temporary folder: the
// tunnel certificate and the update installer. Only a 2xx answer whose whole body
// arrived, and is not empty, counts; the file is written only then, so a failed or cut download never
// leaves a file behind and never replaces a good one with an error page.
//
// The two halves run apart: the fetch (network only, into memory) may run on a worker
// thread with an HTTP client of its own, the save runs on the thread that owns the
// files and windows once the fetch is done.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/files.h"
#include "platform/internet.h"

namespace protocol {

// The whole download must be done this many seconds after it started.
inline constexpr int kDownloadDeadlineSeconds = 30;
// A certificate is a few KB and an installer a few MB: a body beyond this is refused.
inline constexpr std::size_t kDownloadMaxBytes = 64u * 1024u * 1024u;

struct DownloadResult {
  bool ok = false;
  std::string why;  // for the diagnostics log: "status 404", "cut at 1200 of 5000", ...
};

struct FetchResult : DownloadResult {
  std::string body;  // the whole body when ok
};

// GET `url` (http only, no cache, no redirect) into memory. Each network wait is
// bounded by the internet session's own limits; `stop` is asked before every read and
// ends the fetch as failed when it answers true (a deadline passed, the caller gave up).
FetchResult FetchFile(platform::IInternet& internet, const std::string& url, const std::function<bool()>& stop);

// Writes `body` to `path` (created or truncated). On failure no file is left there.
DownloadResult SaveFile(platform::IFiles& files, const std::string& path, const std::string& body);

}  // namespace protocol
