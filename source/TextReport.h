// Line-by-line reading of a text report (AMATEUR.RPT): lines end with CR LF
// or LF, a CR elsewhere is dropped, a Ctrl-Z ends the file, and however long
// a line is only its first kKeep bytes are kept. A file that is written to,
// cut or grown while it is read raises rather than giving lines made of its
// old and its new contents.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

#include "source/FileHelpers.h"

namespace tolvo {

class TextReport {
 public:
  static constexpr std::size_t kKeep = 199;  // only the first kKeep bytes of a line are kept

  TextReport() = default;
  ~TextReport();
  TextReport(const TextReport&) = delete;
  TextReport& operator=(const TextReport&) = delete;

  // Opens the file for reading; throws std::runtime_error naming the file
  // and the failure. An open report is closed first.
  void Open(const std::filesystem::path& file);
  bool IsOpen() const { return file_ != nullptr; }

  // The next line into `line` (without its line end). False at the end of
  // the file or at a Ctrl-Z, and on every call after that; throws on a read
  // error and when the file changed since it was opened. Bytes beyond the
  // first kKeep of a line are read and dropped.
  bool ReadLine(std::string& line);

  // Closes the file; throws on error. Safe when not open.
  void Close();

 private:
  bool Fill();  // refills the buffer; false at the end; throws on a read error
  [[noreturn]] void Fail(const std::string& what) const;  // "<file>: <what>"

  FilePtr file_;
  std::string name_;
  std::unique_ptr<char[]> buffer_;
  FileStamp stamp_;  // the file as it was opened
  std::size_t pos_ = 0;
  std::size_t len_ = 0;
  bool ended_ = false;
};

}  // namespace tolvo
