#include "source/TextReport.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace tolvo {
namespace {

constexpr char kCtrlZ = 0x1A;
constexpr std::size_t kBuffer = 1 << 16;

std::string ErrnoText(int err) { return err ? std::strerror(err) : "unknown error"; }

template <class Stamp>
Stamp StampOf(const struct stat& st) {
  return {static_cast<long long>(st.st_size), static_cast<long long>(st.st_mtim.tv_sec),
          static_cast<long long>(st.st_mtim.tv_nsec)};
}

}  // namespace

TTextReport::~TTextReport() = default;  // a failure to close is of no use here

void TTextReport::Open(const std::filesystem::path& file) {
  file_.reset();
  name_ = file.string();
  ended_ = false;
  std::unique_ptr<std::FILE, FileCloser> f(std::fopen(file.c_str(), "rb"));
  if (!f) throw std::runtime_error(name_ + ": cannot open the file: " + ErrnoText(errno));
  struct stat st {};
  if (fstat(fileno(f.get()), &st) != 0)
    throw std::runtime_error(name_ + ": cannot open the file: " + ErrnoText(errno));
  if (S_ISDIR(st.st_mode))
    throw std::runtime_error(name_ + ": cannot open the file: " + ErrnoText(EISDIR));
  if (!buffer_) buffer_ = std::make_unique<char[]>(kBuffer);
  stamp_ = StampOf<Stamp>(st);
  pos_ = len_ = 0;
  file_ = std::move(f);
}

bool TTextReport::Fill() {
  // What is in the buffer came from the file as it was opened; the next part
  // must come from the same contents, or the line that spans the two would
  // be made of both.
  struct stat st {};
  if (fstat(fileno(file_.get()), &st) != 0)
    throw std::runtime_error(name_ + ": read error: " + ErrnoText(errno));
  if (StampOf<Stamp>(st) != stamp_)
    throw std::runtime_error(name_ + ": the file changed while it was being read");
  pos_ = 0;
  len_ = std::fread(buffer_.get(), 1, kBuffer, file_.get());
  if (len_ == 0 && std::ferror(file_.get()))
    throw std::runtime_error(name_ + ": read error: " + ErrnoText(errno));
  return len_ != 0;
}

bool TTextReport::ReadLine(std::string& line) {
  line.clear();
  if (!file_) throw std::runtime_error(name_.empty() ? "report: not open" : name_ + ": not open");
  if (ended_) return false;
  bool any = false;  // whether the line consumed any byte
  for (;;) {
    if (pos_ == len_ && !Fill()) {
      ended_ = true;
      return any;
    }
    const char c = buffer_[pos_++];
    if (c == kCtrlZ) {
      ended_ = true;
      return any;
    }
    any = true;
    if (c == '\n') return true;
    if (c == '\r') continue;
    if (line.size() < kKeep) line.push_back(c);
  }
}

void TTextReport::Close() {
  if (!file_) return;
  std::FILE* f = file_.release();
  ended_ = false;
  pos_ = len_ = 0;
  if (std::fclose(f) != 0)
    throw std::runtime_error(name_ + ": cannot close the file: " + ErrnoText(errno));
}

}  // namespace tolvo
