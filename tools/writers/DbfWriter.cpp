#include "tools/writers/DbfWriter.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "import/ListFields.h"
#include "source/FileHelpers.h"

namespace tolvo {

std::vector<DbfFieldSpec> DbfFieldsOf(ImportKindId kind) {
  std::vector<DbfFieldSpec> fields;
  for (const ListField& field : ListFieldsOf(kind)) {
    std::string name(field.name);
    for (char& c : name)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    fields.push_back({name, field.type, field.length});
  }
  return fields;
}

namespace {

constexpr std::size_t kMemoBlock = 512;
constexpr std::size_t kMemoPointer = 10;

void PutLe16(unsigned char* p, std::uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}
void PutLe32(unsigned char* p, std::uint32_t v) {
  PutLe16(p, v);
  PutLe16(p + 2, v >> 16);
}

}  // namespace

std::filesystem::path DbfWriter::MemoPath(const std::filesystem::path& table) {
  const std::string ext = table.extension().string();
  const bool lower =
      !ext.empty() && ext.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos;
  std::filesystem::path memo = table;
  memo.replace_extension(lower ? ".dbt" : ".DBT");
  return memo;
}

void DbfWriter::Write(std::FILE* f, const void* data, std::size_t size,
                      const std::filesystem::path& p) {
  if (size && std::fwrite(data, 1, size, f) != size)
    throw std::runtime_error(p.string() + ": nie można zapisać pliku: " + ErrnoText(errno));
}

DbfWriter::DbfWriter(const std::filesystem::path& table, std::vector<DbfFieldSpec> fields)
    : table_(table), fields_(std::move(fields)) {
  if (fields_.empty()) throw std::invalid_argument("a dBASE table needs a field");
  bool hasMemo = false;
  std::size_t recordLength = 1;
  for (auto& f : fields_) {
    if (f.name.empty() || f.name.size() > 10)
      throw std::invalid_argument("bad dBASE field name '" + f.name + "'");
    if (f.type == 'M') {
      f.length = kMemoPointer;
      hasMemo = true;
    } else if (f.type != 'C' || f.length == 0 || f.length > 255) {
      throw std::invalid_argument("bad dBASE field " + f.name);
    }
    recordLength += f.length;
  }
  const std::size_t headerLength = 32 + 32 * fields_.size() + 1;
  if (headerLength > 0xFFFF || recordLength > 0xFFFF)
    throw std::invalid_argument("too many dBASE fields");

  file_.reset(std::fopen(table_.c_str(), "wb"));
  if (!file_)
    throw std::runtime_error(table_.string() + ": nie można utworzyć pliku: " + ErrnoText(errno));
  std::string header(headerLength, '\0');
  auto* h = reinterpret_cast<unsigned char*>(header.data());
  h[0] = hasMemo ? 0x83 : 0x03;
  h[1] = 124;  // last update 2024-01-01
  h[2] = 1;
  h[3] = 1;
  PutLe16(h + 8, static_cast<std::uint32_t>(headerLength));
  PutLe16(h + 10, static_cast<std::uint32_t>(recordLength));
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    unsigned char* d = h + 32 + 32 * i;
    std::memcpy(d, fields_[i].name.data(), fields_[i].name.size());
    d[11] = static_cast<unsigned char>(fields_[i].type);
    d[16] = static_cast<unsigned char>(fields_[i].length);
  }
  header.back() = 0x0D;
  Write(file_.get(), header.data(), header.size(), table_);
  record_.assign(recordLength, ' ');

  if (hasMemo) {
    memoPath_ = MemoPath(table_);
    memo_.reset(std::fopen(memoPath_.c_str(), "wb"));
    if (!memo_)
      throw std::runtime_error(memoPath_.string() +
                               ": nie można utworzyć pliku: " + ErrnoText(errno));
    unsigned char block[kMemoBlock] = {};
    PutLe32(block, nextBlock_);
    block[16] = 0x03;
    Write(memo_.get(), block, sizeof block, memoPath_);
  }
}

DbfWriter::~DbfWriter() {
  try {
    Finish();
  } catch (...) {
  }
}

std::string DbfWriter::AddMemo(std::string_view text) {
  if (text.empty()) return std::string(kMemoPointer, ' ');
  if (text.find('\x1A') != std::string_view::npos)
    throw std::invalid_argument("a dBASE III memo cannot hold a Ctrl-Z");
  const std::uint32_t block = nextBlock_;
  std::string data(text);
  data += "\x1A\x1A";
  data.resize((data.size() + kMemoBlock - 1) / kMemoBlock * kMemoBlock, '\0');
  Write(memo_.get(), data.data(), data.size(), memoPath_);
  nextBlock_ += static_cast<std::uint32_t>(data.size() / kMemoBlock);
  std::string pointer = std::to_string(block);
  return std::string(kMemoPointer - pointer.size(), ' ') + pointer;
}

void DbfWriter::Add(const std::vector<std::string>& values, bool deleted) {
  if (!file_) throw std::logic_error("the dBASE table is finished");
  if (values.size() != fields_.size())
    throw std::invalid_argument("a dBASE record needs one value per field");
  if (count_ == 0xFFFFFFFF) throw std::invalid_argument("too many dBASE records");
  record_.assign(record_.size(), ' ');
  record_[0] = deleted ? '*' : ' ';
  std::size_t at = 1;
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const std::string value = fields_[i].type == 'M' ? AddMemo(values[i]) : values[i];
    if (value.size() > fields_[i].length)
      throw std::invalid_argument("value too long for dBASE field " + fields_[i].name);
    record_.replace(at, value.size(), value);
    at += fields_[i].length;
  }
  Write(file_.get(), record_.data(), record_.size(), table_);
  ++count_;
}

void DbfWriter::Finish() {
  if (!file_) return;
  FilePtr file = std::move(file_);
  FilePtr memo = std::move(memo_);
  const char eof = 0x1A;
  Write(file.get(), &eof, 1, table_);
  unsigned char count[4];
  PutLe32(count, static_cast<std::uint32_t>(count_));
  if (std::fseek(file.get(), 4, SEEK_SET) != 0)
    throw std::runtime_error(table_.string() + ": nie można zapisać pliku: " + ErrnoText(errno));
  Write(file.get(), count, sizeof count, table_);
  if (std::fclose(file.release()) != 0)
    throw std::runtime_error(table_.string() + ": nie można zapisać pliku: " + ErrnoText(errno));
  if (memo) {
    unsigned char next[4];
    PutLe32(next, nextBlock_);
    if (std::fseek(memo.get(), 0, SEEK_SET) != 0)
      throw std::runtime_error(memoPath_.string() +
                               ": nie można zapisać pliku: " + ErrnoText(errno));
    Write(memo.get(), next, sizeof next, memoPath_);
    if (std::fclose(memo.release()) != 0)
      throw std::runtime_error(memoPath_.string() +
                               ": nie można zapisać pliku: " + ErrnoText(errno));
  }
}

void WriteDbf(const std::filesystem::path& table, const std::vector<DbfFieldSpec>& fields,
              const std::vector<std::vector<std::string>>& rows, const std::vector<bool>& deleted) {
  DbfWriter writer(table, fields);
  for (std::size_t i = 0; i < rows.size(); ++i)
    writer.Add(rows[i], i < deleted.size() && deleted[i]);
  writer.Finish();
}

}  // namespace tolvo
