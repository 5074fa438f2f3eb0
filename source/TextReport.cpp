#include "source/TextReport.h"

#include <cerrno>
#include <stdexcept>
#include <utility>

#include "source/ReaderMessages.h"

namespace tolvo {
namespace {

constexpr char kCtrlZ = 0x1A;
constexpr std::size_t kBuffer = 1 << 16;

}  // namespace

TextReport::~TextReport() = default;  // a failure to close is of no use here

void TextReport::Fail(const std::string& what) const {
  throw std::runtime_error(name_ + ": " + what);
}

void TextReport::Open(const std::filesystem::path& file) {
  file_.reset();
  name_ = file.string();
  ended_ = false;
  OpenedFile opened = OpenRegularFile(file);
  if (!opened.file) Fail(messages::CannotOpen(opened.err, opened.kind));
  FilePtr f = std::move(opened.file);
  if (!ReadStamp(f.get(), stamp_)) Fail(messages::CannotOpen(errno));
  if (!buffer_) buffer_ = std::make_unique<char[]>(kBuffer);
  pos_ = len_ = 0;
  lines_ = 0;
  afterCr_ = false;
  file_ = std::move(f);
}

bool TextReport::Fill() {
  // What is in the buffer came from the file as it was opened; the next part
  // must come from the same contents, or the line that spans the two would
  // be made of both.
  FileStamp now;
  if (!ReadStamp(file_.get(), now)) Fail(messages::ReadError(errno));
  if (now != stamp_) Fail(messages::ChangedWhileRead());
  pos_ = 0;
  len_ = std::fread(buffer_.get(), 1, kBuffer, file_.get());
  if (len_ == 0 && std::ferror(file_.get())) Fail(messages::ReadError(errno));
  return len_ != 0;
}

bool TextReport::ReadLine(std::string& line) {
  line.clear();
  if (!file_) {
    if (name_.empty()) throw std::runtime_error(messages::ReportNotOpen());
    Fail(messages::NotOpen());
  }
  if (ended_) return false;
  bool any = false;  // whether the line consumed any byte
  std::size_t length = 0;
  for (;;) {
    if (pos_ == len_ && !Fill()) {
      ended_ = true;
      break;
    }
    const char c = buffer_[pos_++];
    if (std::exchange(afterCr_, false) && c == '\n') continue;  // the LF of a CR LF
    if (c == kCtrlZ) {
      ended_ = true;
      break;
    }
    any = true;
    if (c == '\n' || c == '\r') {
      afterCr_ = c == '\r';
      break;
    }
    if (++length > kMaxLine) Fail(messages::ReportLineTooLong(lines_ + 1, kMaxLine));
    if (line.size() < kKeep) line.push_back(c);
  }
  if (any) ++lines_;
  return any;
}

void TextReport::Close() {
  if (!file_) return;
  std::FILE* f = file_.release();
  ended_ = false;
  pos_ = len_ = 0;
  if (std::fclose(f) != 0) Fail(messages::CannotClose(errno));
}

}  // namespace tolvo
