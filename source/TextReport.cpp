#include "source/TextReport.h"

#include <cerrno>
#include <utility>

namespace tolvo {
namespace {

constexpr char kCtrlZ = 0x1A;
constexpr std::size_t kBuffer = 1 << 16;

}  // namespace

TextReport::~TextReport() = default;  // a failure to close is of no use here

void TextReport::Fail(ReaderFault fault, ReaderFaultValues values) const {
  throw ReaderError(name_, fault, std::move(values));
}

void TextReport::Open(const std::filesystem::path& file) {
  file_.reset();
  name_ = file.string();
  ended_ = false;
  OpenedFile opened = OpenRegularFile(file);
  if (!opened.file) Fail(ReaderFault::CannotOpen, {.err = opened.err, .kind = opened.kind});
  FilePtr f = std::move(opened.file);
  if (!ReadStamp(f.get(), stamp_)) Fail(ReaderFault::CannotOpen, {.err = errno});
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
  if (!ReadStamp(file_.get(), now)) Fail(ReaderFault::ReadError, {.err = errno});
  if (now != stamp_) Fail(ReaderFault::ChangedWhileRead);
  pos_ = 0;
  len_ = std::fread(buffer_.get(), 1, kBuffer, file_.get());
  if (len_ == 0 && std::ferror(file_.get())) Fail(ReaderFault::ReadError, {.err = errno});
  return len_ != 0;
}

bool TextReport::ReadLine(std::string& line) {
  line.clear();
  if (!file_) {
    Fail(name_.empty() ? ReaderFault::ReportNotOpen : ReaderFault::NotOpen);
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
    if (++length > kMaxLine)
      Fail(ReaderFault::ReportLineTooLong, {.record = lines_ + 1, .length = kMaxLine});
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
  if (std::fclose(f) != 0) Fail(ReaderFault::CannotClose, {.err = errno});
}

}  // namespace tolvo
