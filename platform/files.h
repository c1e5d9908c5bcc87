// Files, opened in binary mode: the bytes read and written are exactly the bytes on
// disk on every system, and line ends are the caller's business.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace platform {

enum class FileMode {
  kRead,              // existing file, reading; others may read and write it meanwhile
  kReadWriteTruncate, // create or truncate to zero, then read and write ("w+b")
  kReadWrite,         // existing file, read and write ("r+b")
  // A new, empty file in place of whatever was at the path (the old file is deleted
  // first, so nothing opened earlier sees the new bytes), readable and writable by the
  // current user only: on Windows a protected DACL naming only the user's SID, on POSIX
  // mode 0600. Read and write; nobody else can open it while it is open on Windows.
  // For secrets such as a password file; null when any of it cannot be done.
  kReplaceOwnerOnly,
};

class IFile {
 public:
  virtual ~IFile() = default;

  // Next line including its "\n" (the last line may have none); false at the end of
  // the file with nothing read.
  virtual bool ReadLine(std::string& line) = 0;

  // Writes at the current position; false when not all bytes were written.
  virtual bool Write(const std::string& bytes) = 0;

  // Moves to the end of the file.
  virtual bool SeekEnd() = 0;
};

class IFiles {
 public:
  virtual ~IFiles() = default;

  // Opens `path` (CP949; '/' and '\' both separate folders on Windows). Null when
  // the file cannot be opened. Closing is destroying the object.
  virtual std::unique_ptr<IFile> Open(const std::string& path, FileMode mode) = 0;

  // Reads the whole file while allowing other readers and writers (a log another
  // program is writing). False when it cannot be opened.
  virtual bool ReadAllShared(const std::string& path, std::string& bytes) = 0;

  // DeleteFileA: false when the file does not exist or cannot be removed.
  virtual bool Delete(const std::string& path) = 0;

  // True when a file or folder exists at `path`.
  virtual bool Exists(const std::string& path) = 0;

  // Writes `bytes` at the end of the file, creating it when it does not exist, and
  // closes it again; others may read (and write) the file meanwhile. False when the
  // file cannot be opened or not all bytes were written.
  virtual bool Append(const std::string& path, const std::string& bytes) = 0;
};

}  // namespace platform
