// tunra-codec encode|decode: the payload codec as a filter, for support staff who need
// to read a saved account value or a captured request. Reads standard input whole
// (the encoded text is reversed, so nothing can be written before all is read) and
// writes standard output in pieces, bytes unchanged by any newline or code page
// conversion.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "protocol/payload_codec.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

class StdoutSink : public protocol::PayloadSink {
 public:
  bool Write(const char* data, std::size_t size) override {
    return std::fwrite(data, 1, size, stdout) == size;
  }
};

// Standard input as one block of bytes. The rest of a regular file is read at once
// into memory of its size, asking for huge pages: touching every small page of a
// mapping of the file for the first time cost more than the copy (measured on the
// test machines, where each first touch of a page is expensive).
class Input {
 public:
  bool Load() {
#ifndef _WIN32
    struct stat st;
    if (fstat(0, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
      const off_t offset = lseek(0, 0, SEEK_CUR);
      if (offset >= 0 && offset < st.st_size) {
        const std::size_t want = static_cast<std::size_t>(st.st_size - offset);
        const std::size_t huge = std::size_t{2} << 20;
        const std::size_t size = (want + huge - 1) / huge * huge;
        void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p != MAP_FAILED) {
          map_ = p;
          map_size_ = size;
          madvise(p, size, MADV_HUGEPAGE);  // a hint; fine without
          std::size_t got = 0;
          while (got < want) {
            const ssize_t n = read(0, static_cast<char*>(p) + got, want - got);
            if (n < 0) return false;
            if (n == 0) break;  // the file got shorter
            got += static_cast<std::size_t>(n);
          }
          view_ = std::string_view(static_cast<const char*>(p), got);
          return true;
        }
      }
    }
#endif
    constexpr std::size_t kRead = 1 << 20;
    std::size_t used = 0;
    for (;;) {
      if (data_.size() < used + kRead) data_.resize(std::max(data_.size() * 2, used + kRead));
      const std::size_t got = std::fread(&data_[used], 1, kRead, stdin);
      used += got;
      if (got < kRead) break;
    }
    data_.resize(used);
    view_ = data_;
    return !std::ferror(stdin);
  }

  ~Input() {
#ifndef _WIN32
    if (map_) munmap(map_, map_size_);
#endif
  }

  std::string_view view() const { return view_; }

 private:
  std::string data_;
  std::string_view view_;
  void* map_ = nullptr;
  std::size_t map_size_ = 0;
};

int Usage() {
  std::fputs("usage: tunra-codec encode|decode < input > output\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return Usage();
  const bool encode = std::strcmp(argv[1], "encode") == 0;
  if (!encode && std::strcmp(argv[1], "decode") != 0) return Usage();
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  Input input;
  if (!input.Load()) {
    std::perror("tunra-codec: reading standard input");
    return 1;
  }
  StdoutSink sink;
  const bool ok = encode ? protocol::EncodePayloadTo(input.view(), sink)
                         : protocol::DecodePayloadTo(input.view(), sink);
  if (!ok || std::fflush(stdout) != 0) {
    std::perror("tunra-codec: writing standard output");
    return 1;
  }
  return 0;
}
