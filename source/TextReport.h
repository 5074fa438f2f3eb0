// Line-by-line reading of a text report (AMATEUR.RPT): a line ends with
// CR LF, LF or a lone CR, a Ctrl-Z ends the file, and only the first kKeep
// bytes of a line are kept. A line longer than kMaxLine bytes (its line end
// not counted) makes the file a damaged report and raises, naming the line:
// a report line holds some 200 bytes, so such a line is no report line (a
// file without line ends, a placeholder of zero bytes); it also bounds the
// bytes a single line reads. A file that is written to, cut or grown while
// it is read raises rather than giving lines made of its old and its new
// contents.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "source/FileHelpers.h"
#include "source/ReaderError.h"

namespace tolvo {

class TextReport {
 public:
  static constexpr std::size_t kKeep = 199;         // only the first kKeep bytes of a line are kept
  static constexpr std::size_t kMaxLine = 1 << 16;  // 64 KiB: longer lines raise

  TextReport() = default;
  ~TextReport();
  TextReport(const TextReport&) = delete;
  TextReport& operator=(const TextReport&) = delete;

  // Opens the file for reading; throws ReaderError naming the file and the
  // failure. An open report is closed first.
  void Open(const std::filesystem::path& file);
  bool IsOpen() const { return file_ != nullptr; }

  // The next line into `line` (without its line end). False at the end of
  // the file or at a Ctrl-Z, and on every call after that; throws on a read
  // error, when the file changed since it was opened and at a line longer
  // than kMaxLine. Bytes beyond the first kKeep of a line are read and
  // dropped.
  bool ReadLine(std::string& line);

  // Closes the file; throws on error. Safe when not open.
  void Close();

 private:
  bool Fill();  // refills the buffer; false at the end; throws on a read error
  [[noreturn]] void Fail(ReaderFault fault, ReaderFaultValues values = {}) const;

  FilePtr file_;
  std::string name_;
  std::unique_ptr<char[]> buffer_;
  FileStamp stamp_;  // the file as it was opened
  std::size_t pos_ = 0;
  std::size_t len_ = 0;
  std::int64_t lines_ = 0;  // lines read so far
  bool afterCr_ = false;    // the last line ended with a CR: an LF next belongs to it
  bool ended_ = false;
};

}  // namespace tolvo
