#include "fakes/fake_files.h"

#include <algorithm>

namespace fakes {

class FakeFile : public platform::IFile {
 public:
  FakeFile(std::shared_ptr<std::string> data, int& openCount, bool failWrites = false)
      : data_(std::move(data)), openCount_(openCount), failWrites_(failWrites) {
    ++openCount_;
  }
  ~FakeFile() override { --openCount_; }
  FakeFile(const FakeFile&) = delete;
  FakeFile& operator=(const FakeFile&) = delete;

  bool ReadLine(std::string& line) override {
    line.clear();
    if (pos_ >= data_->size()) return false;
    std::size_t end = data_->find('\n', pos_);
    end = (end == std::string::npos) ? data_->size() : end + 1;
    line = data_->substr(pos_, end - pos_);
    pos_ = end;
    return true;
  }

  bool Write(const std::string& bytes) override {
    if (failWrites_) return false;
    if (pos_ > data_->size()) data_->resize(pos_, '\0');
    data_->replace(pos_, std::min(bytes.size(), data_->size() - pos_), bytes);
    pos_ += bytes.size();
    return true;
  }

  bool SeekEnd() override {
    pos_ = data_->size();
    return true;
  }

 private:
  std::shared_ptr<std::string> data_;
  int& openCount_;
  bool failWrites_;
  std::size_t pos_ = 0;
};

std::shared_ptr<std::string> FakeFiles::Slot(const std::string& path) {
  auto& slot = files_[path];
  if (!slot) slot = std::make_shared<std::string>();
  return slot;
}

std::unique_ptr<platform::IFile> FakeFiles::Open(const std::string& path,
                                                 platform::FileMode mode) {
  opened_.push_back(path);
  if (denied_.count(path)) return nullptr;
  const bool failWrites = failingWrites_.count(path) != 0;
  if (mode == platform::FileMode::kReplaceOwnerOnly) {
    // A new file: whoever holds the old one keeps the old bytes.
    auto slot = std::make_shared<std::string>();
    files_[path] = slot;
    ownerOnly_.insert(path);
    return std::make_unique<FakeFile>(slot, openFiles_, failWrites);
  }
  if (mode == platform::FileMode::kReadWriteTruncate) {
    auto slot = Slot(path);
    slot->clear();
    return std::make_unique<FakeFile>(slot, openFiles_, failWrites);
  }
  auto it = files_.find(path);
  if (it == files_.end()) return nullptr;
  return std::make_unique<FakeFile>(it->second, openFiles_, failWrites);
}

bool FakeFiles::ReadAllShared(const std::string& path, std::string& bytes) {
  opened_.push_back(path);
  if (denied_.count(path)) return false;
  auto it = files_.find(path);
  if (it == files_.end()) return false;
  bytes = *it->second;
  return true;
}

bool FakeFiles::Delete(const std::string& path) {
  if (denied_.count(path)) return false;
  ownerOnly_.erase(path);
  if (files_.erase(path) == 0) return false;
  deleted_.push_back(path);
  return true;
}

bool FakeFiles::Append(const std::string& path, const std::string& bytes) {
  opened_.push_back(path);
  if (denied_.count(path)) return false;
  *Slot(path) += bytes;
  return true;
}

std::string FakeFiles::Get(const std::string& path) const {
  auto it = files_.find(path);
  return it == files_.end() ? std::string() : *it->second;
}

}  // namespace fakes
