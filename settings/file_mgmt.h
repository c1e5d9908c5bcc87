// Line-oriented text files of the client (tunnel configuration and credentials,
// the tunnel log, the certificate version file).
//
// Files are opened in binary mode and the Windows text-mode conventions are applied
// here: a "\n" written becomes CR LF, and a CR LF read becomes a line end. The bytes
// on disk are therefore the same whichever system wrote them.
#pragma once

#include <memory>
#include <string>

#include "platform/files.h"

namespace settings {

class CFileMgmt {
 public:
  explicit CFileMgmt(platform::IFiles& files) : files_(files) {}
  virtual ~CFileMgmt() = default;  // closes a file left open

  // Creates or truncates `directory` + "/" + `name` for reading and writing. The
  // directory is used as given (its backslashes are kept). 0, or -1 on failure.
  int OpenForWrite(const std::string& directory, const std::string& name);

  // Opens `directory` + "/" + `name` (backslashes of the directory turned into '/')
  // for reading. 0, or -1 on failure.
  int OpenForRead(const std::string& directory, const std::string& name);

  // Opens `path` (backslashes turned into '/') for reading. 0, or -1 on failure.
  int OpenForRead(const std::string& path);

  // Writes `text` and a line end at the end of the open file. 0, or -1 when no file
  // is open or the write failed.
  int AppendLine(const std::string& text);

  // The next line of the open file without its line end; "-1" at the end of the file
  // (or when no file is open). A line whose text is "-1" reads the same.
  std::string ReadLine();

  // Reads the file at `path` (backslashes turned into '/'), allowing other readers
  // and writers meanwhile, and appends every line followed by "\r\n" to `out`. 1, or
  // -11 when the file cannot be opened (`out` is then unchanged). Independent of
  // the file opened by the other operations.
  int ReadAll(const std::string& path, std::string& out);

  // Closes the open file, if any.
  void Close() { file_.reset(); }

  bool IsOpen() const { return file_ != nullptr; }

 private:
  int Open(const std::string& path, platform::FileMode mode);

  platform::IFiles& files_;
  std::unique_ptr<platform::IFile> file_;
};

}  // namespace settings
