#include "store/Firebird.h"

#include <firebird/Interface.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "text/Cp1250.h"

namespace tolvo::fb {
namespace {

using Firebird::CheckStatusWrapper;
using Firebird::IStatus;

Firebird::IMaster* Master() {
  static Firebird::IMaster* master = Firebird::fb_get_master_interface();
  return master;
}

Firebird::IProvider* Provider() {
  static Firebird::IProvider* provider = Master()->getDispatcher();
  return provider;
}

Firebird::IUtil* Util() {
  static Firebird::IUtil* util = Master()->getUtilInterface();
  return util;
}

bool IsValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t extra = 4;  // 4: not a lead byte
    if (c < 0x80)
      extra = 0;
    else if (c >= 0xC2 && c <= 0xDF)
      extra = 1;
    else if ((c >> 4) == 0xE)
      extra = 2;
    else if (c >= 0xF0 && c <= 0xF4)
      extra = 3;
    if (extra == 4 || i + extra >= s.size()) return false;
    for (std::size_t k = 1; k <= extra; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += extra + 1;
  }
  return true;
}

// The server words its messages in the connection's character set
// (Windows-1250 here); error texts travel as UTF-8.
std::string ErrorTextAsUtf8(std::string text) {
  if (IsValidUtf8(text)) return text;
  return Cp1250ToUtf8(text);
}

// One status object per thread, cleared before each call that uses it, so
// that the per-row paths allocate none.
class Status {
 public:
  Status() : status_(Master()->getStatus()), wrapper_(status_) {}
  ~Status() { status_->dispose(); }
  Status(const Status&) = delete;
  Status& operator=(const Status&) = delete;

  CheckStatusWrapper* Fresh() {
    wrapper_.clearException();
    return &wrapper_;
  }
  bool Failed() const { return (wrapper_.getState() & IStatus::STATE_ERRORS) != 0; }

  DatabaseError Error() {
    char text[2048];
    unsigned n = Util()->formatStatus(text, sizeof text, &wrapper_);
    n = std::min<unsigned>(n, sizeof text - 1);
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\0')) --n;
    // The error codes and the system's error number; the other arguments
    // (strings and numbers) are in the text already.
    std::vector<long> codes;
    int systemError = 0;
    for (const intptr_t* e = wrapper_.getErrors(); e && *e != isc_arg_end;) {
      const intptr_t type = *e++;
      if (type == isc_arg_gds) codes.push_back(static_cast<long>(*e));
      if (type == isc_arg_unix && !systemError) systemError = static_cast<int>(*e);
      e += type == isc_arg_cstring ? 2 : 1;
    }
    return DatabaseError(ErrorTextAsUtf8(std::string(text, n)), std::move(codes), systemError);
  }
  void Check() {
    if (Failed()) throw Error();
  }

 private:
  IStatus* status_;
  CheckStatusWrapper wrapper_;
};

Status& CurrentStatus() {
  thread_local Status status;
  return status;
}

struct XpbDisposer {
  void operator()(Firebird::IXpbBuilder* b) const { b->dispose(); }
};
using Xpb = std::unique_ptr<Firebird::IXpbBuilder, XpbDisposer>;

Xpb BuildDpb(const ConnectOptions& o, bool forCreate) {
  Status& s = CurrentStatus();
  Xpb dpb(Util()->getXpbBuilder(s.Fresh(), Firebird::IXpbBuilder::DPB, nullptr, 0));
  s.Check();
  auto put = [&](unsigned char tag, const std::string& value) {
    if (value.empty()) return;
    dpb->insertString(s.Fresh(), tag, value.c_str());
    s.Check();
  };
  put(isc_dpb_user_name, o.user);
  put(isc_dpb_password, o.password);
  put(isc_dpb_lc_ctype, o.charset);
  if (o.forcedWrites) {
    dpb->insertInt(s.Fresh(), isc_dpb_force_write, *o.forcedWrites ? 1 : 0);
    s.Check();
  }
  if (forCreate) {
    put(isc_dpb_set_db_charset, o.dbCharset);
    if (o.dialect != 0) {
      dpb->insertInt(s.Fresh(), isc_dpb_sql_dialect, o.dialect);
      s.Check();
    }
  }
  return dpb;
}

// The database's SQL dialect from the attachment's info items; 3 when the
// server does not say.
unsigned ReadDialect(Firebird::IAttachment* att) {
  Status& s = CurrentStatus();
  const unsigned char items[] = {isc_info_db_sql_dialect, isc_info_end};
  unsigned char reply[32] = {};
  att->getInfo(s.Fresh(), sizeof items, items, sizeof reply, reply);
  s.Check();
  if (reply[0] != isc_info_db_sql_dialect) return 3;
  unsigned len = reply[1] | (reply[2] << 8);
  if (len == 0 || len > 4) return 3;
  unsigned value = 0;
  for (unsigned i = 0; i < len; ++i) value |= static_cast<unsigned>(reply[3 + i]) << (8 * i);
  return value == 1 ? 1 : 3;
}

}  // namespace

// ---- Attachment ----

Attachment::Attachment(Firebird::IAttachment* att) : att_(att) {}

Attachment::~Attachment() {
  if (!att_) return;
  Status& s = CurrentStatus();
  att_->detach(s.Fresh());
  if (s.Failed()) att_->release();
  att_ = nullptr;
}

Attachment::Attachment(Attachment&& other) noexcept : att_(other.att_), dialect_(other.dialect_) {
  other.att_ = nullptr;
}

Attachment& Attachment::operator=(Attachment&& other) noexcept {
  if (this != &other) {
    Attachment old(std::move(*this));
    att_ = other.att_;
    dialect_ = other.dialect_;
    other.att_ = nullptr;
  }
  return *this;
}

Attachment Attachment::Open(const std::string& file, const ConnectOptions& options) {
  return Attach(file, options, false);
}

Attachment Attachment::Create(const std::string& file, const ConnectOptions& options) {
  return Attach(file, options, true);
}

Attachment Attachment::Attach(const std::string& file, const ConnectOptions& options, bool create) {
  Xpb dpb = BuildDpb(options, create);
  Status& s = CurrentStatus();
  unsigned length = dpb->getBufferLength(s.Fresh());
  const unsigned char* buffer = dpb->getBuffer(s.Fresh());
  Attachment result(create ? Provider()->createDatabase(s.Fresh(), file.c_str(), length, buffer)
                           : Provider()->attachDatabase(s.Fresh(), file.c_str(), length, buffer));
  if (s.Failed()) {
    DatabaseError error = s.Error();
    if (result.att_) result.att_->release();
    result.att_ = nullptr;
    throw error;
  }
  result.dialect_ = ReadDialect(result.att_);
  return result;
}

void Attachment::ExecuteImmediate(Transaction& tr, std::string_view sql) {
  Status& s = CurrentStatus();
  att_->execute(s.Fresh(), tr.Get(), static_cast<unsigned>(sql.size()), sql.data(), dialect_,
                nullptr, nullptr, nullptr, nullptr);
  s.Check();
}

void Attachment::Detach() {
  if (!att_) return;
  Status& s = CurrentStatus();
  Firebird::IAttachment* att = att_;
  att_ = nullptr;
  att->detach(s.Fresh());
  if (s.Failed()) {
    DatabaseError error = s.Error();
    att->release();
    throw error;
  }
}

// ---- Transaction ----

Transaction::~Transaction() {
  if (!tr_) return;
  Status& s = CurrentStatus();
  tr_->rollback(s.Fresh());
  if (s.Failed()) tr_->release();
  tr_ = nullptr;
}

void Transaction::Start(Attachment& att) {
  if (tr_) throw std::logic_error("Transaction::Start: already active");
  Status& s = CurrentStatus();
  tr_ = att.Get()->startTransaction(s.Fresh(), 0, nullptr);
  if (s.Failed()) {
    DatabaseError error = s.Error();
    if (tr_) tr_->release();
    tr_ = nullptr;
    throw error;
  }
}

void Transaction::Commit() {
  if (!tr_) return;
  Status& s = CurrentStatus();
  tr_->commit(s.Fresh());
  s.Check();
  tr_ = nullptr;  // a successful commit releases the interface
}

void Transaction::Rollback() {
  if (!tr_) return;
  Status& s = CurrentStatus();
  Firebird::ITransaction* tr = tr_;
  tr_ = nullptr;
  tr->rollback(s.Fresh());
  if (s.Failed()) {
    DatabaseError error = s.Error();
    tr->release();
    throw error;
  }
}

void Transaction::CommitOrRollback() {
  if (!tr_) return;
  Status& s = CurrentStatus();
  tr_->commit(s.Fresh());
  if (!s.Failed()) {
    tr_ = nullptr;
    return;
  }
  DatabaseError error = s.Error();
  try {
    Rollback();
  } catch (const DatabaseError&) {
    // the commit's error is the one that matters
  }
  throw error;
}

bool Transaction::CommitOrRollbackQuietly() noexcept {
  try {
    CommitOrRollback();
    return true;
  } catch (...) {
    return false;
  }
}

// ---- Message ----

Message::Message(Firebird::IMessageMetadata* meta) : meta_(meta) {
  Status& s = CurrentStatus();
  unsigned count = meta_->getCount(s.Fresh());
  s.Check();
  slots_.reserve(count);
  for (unsigned i = 0; i < count; ++i) {
    Slot slot{};
    slot.type = meta_->getType(s.Fresh(), i);
    slot.length = meta_->getLength(s.Fresh(), i);
    slot.offset = meta_->getOffset(s.Fresh(), i);
    slot.nullOffset = meta_->getNullOffset(s.Fresh(), i);
    s.Check();
    slots_.push_back(slot);
  }
  unsigned length = meta_->getMessageLength(s.Fresh());
  s.Check();
  data_.assign(length, 0);
  SetAllNull();
}

Message::~Message() {
  if (meta_) meta_->release();
}

Message::Message(Message&& other) noexcept
    : meta_(other.meta_), slots_(std::move(other.slots_)), data_(std::move(other.data_)) {
  other.meta_ = nullptr;
}

Message& Message::operator=(Message&& other) noexcept {
  if (this != &other) {
    Message old(std::move(*this));
    Swap(other);
  }
  return *this;
}

void Message::Swap(Message& other) noexcept {
  std::swap(meta_, other.meta_);
  slots_.swap(other.slots_);
  data_.swap(other.data_);
}

bool Message::IsNull(unsigned i) const {
  std::int16_t flag;
  std::memcpy(&flag, data_.data() + slots_.at(i).nullOffset, sizeof flag);
  return flag != 0;
}

void Message::SetNull(unsigned i) {
  const std::int16_t flag = -1;
  std::memcpy(data_.data() + slots_.at(i).nullOffset, &flag, sizeof flag);
}

void Message::SetAllNull() {
  for (unsigned i = 0; i < Count(); ++i) SetNull(i);
}

bool Message::IsText(unsigned i) const {
  const unsigned type = slots_.at(i).type;
  return type == SQL_TEXT || type == SQL_VARYING;
}

const Message::Slot& Message::TextSlot(unsigned i) const {
  const Slot& slot = slots_.at(i);
  if (slot.type != SQL_TEXT && slot.type != SQL_VARYING)
    throw std::logic_error("Message: slot " + std::to_string(i) + " is not a text");
  return slot;
}

const Message::Slot& Message::IntegerSlot(unsigned i) const {
  const Slot& slot = slots_.at(i);
  if (slot.type != SQL_SHORT && slot.type != SQL_LONG && slot.type != SQL_INT64)
    throw std::logic_error("Message: slot " + std::to_string(i) + " is not an integer");
  return slot;
}

std::string_view Message::Text(unsigned i) const {
  const Slot& slot = TextSlot(i);
  if (IsNull(i)) return {};
  const char* p = reinterpret_cast<const char*>(data_.data() + slot.offset);
  if (slot.type == SQL_VARYING) {
    std::uint16_t len;
    std::memcpy(&len, p, sizeof len);
    return std::string_view(p + sizeof len, std::min<unsigned>(len, slot.length));
  }
  std::string_view text(p, slot.length);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

void Message::SetText(unsigned i, std::string_view text) {
  const Slot& slot = TextSlot(i);
  if (text.size() > slot.length) text = text.substr(0, slot.length);
  char* p = reinterpret_cast<char*>(data_.data() + slot.offset);
  if (slot.type == SQL_VARYING) {
    const std::uint16_t len = static_cast<std::uint16_t>(text.size());
    std::memcpy(p, &len, sizeof len);
    std::memcpy(p + sizeof len, text.data(), text.size());
  } else {
    std::memcpy(p, text.data(), text.size());
    std::memset(p + text.size(), ' ', slot.length - text.size());
  }
  const std::int16_t flag = 0;
  std::memcpy(data_.data() + slot.nullOffset, &flag, sizeof flag);
}

std::int64_t Message::Integer(unsigned i) const {
  const Slot& slot = IntegerSlot(i);
  if (IsNull(i)) return 0;
  const unsigned char* p = data_.data() + slot.offset;
  switch (slot.type) {
    case SQL_SHORT: {
      std::int16_t v;
      std::memcpy(&v, p, sizeof v);
      return v;
    }
    case SQL_LONG: {
      std::int32_t v;
      std::memcpy(&v, p, sizeof v);
      return v;
    }
    default: {
      std::int64_t v;
      std::memcpy(&v, p, sizeof v);
      return v;
    }
  }
}

void Message::SetInteger(unsigned i, std::int64_t value) {
  const Slot& slot = IntegerSlot(i);
  unsigned char* p = data_.data() + slot.offset;
  switch (slot.type) {
    case SQL_SHORT: {
      if (value < INT16_MIN || value > INT16_MAX) throw std::out_of_range("Message: value out of range");
      const std::int16_t v = static_cast<std::int16_t>(value);
      std::memcpy(p, &v, sizeof v);
      break;
    }
    case SQL_LONG: {
      if (value < INT32_MIN || value > INT32_MAX) throw std::out_of_range("Message: value out of range");
      const std::int32_t v = static_cast<std::int32_t>(value);
      std::memcpy(p, &v, sizeof v);
      break;
    }
    default:
      std::memcpy(p, &value, sizeof value);
  }
  const std::int16_t flag = 0;
  std::memcpy(data_.data() + slot.nullOffset, &flag, sizeof flag);
}

void Message::CopySlot(unsigned to, const Message& source, unsigned from) {
  if (source.IsNull(from)) {
    SetNull(to);
  } else if (source.IsText(from)) {
    SetText(to, source.Text(from));
  } else {
    SetInteger(to, source.Integer(from));
  }
}

// ---- Cursor ----

Cursor::~Cursor() {
  if (!rs_) return;
  Status& s = CurrentStatus();
  rs_->close(s.Fresh());
  if (s.Failed()) rs_->release();
  rs_ = nullptr;
}

Cursor::Cursor(Cursor&& other) noexcept : rs_(other.rs_), out_(other.out_) { other.rs_ = nullptr; }

Cursor& Cursor::operator=(Cursor&& other) noexcept {
  if (this != &other) {
    Cursor old(std::move(*this));
    std::swap(rs_, other.rs_);
    std::swap(out_, other.out_);
  }
  return *this;
}

bool Cursor::Fetch() {
  if (!rs_) return false;
  Status& s = CurrentStatus();
  int result = rs_->fetchNext(s.Fresh(), out_->Data());
  s.Check();
  return result == IStatus::RESULT_OK;
}

void Cursor::Close() {
  if (!rs_) return;
  Status& s = CurrentStatus();
  Firebird::IResultSet* rs = rs_;
  rs_ = nullptr;
  rs->close(s.Fresh());
  if (s.Failed()) {
    DatabaseError error = s.Error();
    rs->release();
    throw error;
  }
}

// ---- Statement ----

Statement::Statement(Attachment& att, Transaction& tr, std::string_view sql) {
  Status& s = CurrentStatus();
  st_ = att.Get()->prepare(s.Fresh(), tr.Get(), static_cast<unsigned>(sql.size()), sql.data(),
                           att.Dialect(), Firebird::IStatement::PREPARE_PREFETCH_METADATA);
  if (s.Failed()) {
    DatabaseError error = s.Error();
    if (st_) st_->release();
    st_ = nullptr;
    throw error;
  }
}

Statement::~Statement() {
  if (!st_) return;
  Status& s = CurrentStatus();
  st_->free(s.Fresh());
  if (s.Failed()) st_->release();
  st_ = nullptr;
}

Statement::Statement(Statement&& other) noexcept : st_(other.st_) { other.st_ = nullptr; }

Statement& Statement::operator=(Statement&& other) noexcept {
  if (this != &other) {
    Statement old(std::move(*this));
    std::swap(st_, other.st_);
  }
  return *this;
}

Message Statement::NewInput() const {
  Status& s = CurrentStatus();
  Firebird::IMessageMetadata* meta = st_->getInputMetadata(s.Fresh());
  s.Check();
  return Message(meta);
}

Message Statement::NewOutput() const {
  Status& s = CurrentStatus();
  Firebird::IMessageMetadata* meta = st_->getOutputMetadata(s.Fresh());
  s.Check();
  return Message(meta);
}

void Statement::Execute(Transaction& tr, Message* in, Message* out) {
  Status& s = CurrentStatus();
  st_->execute(s.Fresh(), tr.Get(), in ? in->Metadata() : nullptr, in ? in->Data() : nullptr,
               out ? out->Metadata() : nullptr, out ? out->Data() : nullptr);
  s.Check();
}

Cursor Statement::Open(Transaction& tr, Message* in, Message& out) {
  Status& s = CurrentStatus();
  Firebird::IResultSet* rs =
      st_->openCursor(s.Fresh(), tr.Get(), in ? in->Metadata() : nullptr,
                      in ? in->Data() : nullptr, out.Metadata(), 0);
  if (s.Failed()) {
    DatabaseError error = s.Error();
    if (rs) rs->release();
    throw error;
  }
  return Cursor(rs, &out);
}

void Statement::Free() {
  if (!st_) return;
  Status& s = CurrentStatus();
  Firebird::IStatement* st = st_;
  st_ = nullptr;
  st->free(s.Fresh());
  if (s.Failed()) {
    DatabaseError error = s.Error();
    st->release();
    throw error;
  }
}

}  // namespace tolvo::fb
