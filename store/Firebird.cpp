#include "store/Firebird.h"

#include <firebird/Interface.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "text/Cp1250Text.h"
#include "text/FieldText.h"

namespace tolvo::fb {
namespace {

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

// The server words its messages in the connection's character set
// (Windows-1250 here); error texts travel as UTF-8.
std::string ErrorTextAsUtf8(std::string text) {
  if (IsValidUtf8(text)) return text;
  return Cp1250ToUtf8(text);
}

}  // namespace

std::vector<long> ErrorCodes(const intptr_t* status) {
  std::vector<long> codes;
  if (!status) return codes;
  for (std::size_t i = 0; status[i] != isc_arg_end;) {
    const intptr_t tag = status[i];
    if (tag == isc_arg_gds) codes.push_back(static_cast<long>(status[i + 1]));
    i += tag == isc_arg_cstring ? 3 : 2;  // a counted string has a length and a pointer
  }
  return codes;
}

namespace {

// The operating system's error number that the server gave with its codes
// (0 when none).
int SystemErrorOf(const intptr_t* status) {
  if (!status) return 0;
  for (std::size_t i = 0; status[i] != isc_arg_end;) {
    const intptr_t tag = status[i];
    if (tag == isc_arg_unix) return static_cast<int>(status[i + 1]);
    i += tag == isc_arg_cstring ? 3 : 2;
  }
  return 0;
}

// The status that every call into the client library reports to. The
// library's own call wrappers clear it before each call and hand it to
// checkException after; an error found there is thrown as DatabaseError.
// One per thread, reused, so that the per-row paths allocate none.
class ThrowingStatus : public Firebird::BaseStatusWrapper<ThrowingStatus> {
 public:
  ThrowingStatus() : BaseStatusWrapper(Master()->getStatus()) {}
  ~ThrowingStatus() { status->dispose(); }
  ThrowingStatus(const ThrowingStatus&) = delete;
  ThrowingStatus& operator=(const ThrowingStatus&) = delete;

  static void checkException(ThrowingStatus* s) {
    if (s->dirty && (s->getState() & IStatus::STATE_ERRORS)) throw s->Error();
  }

 private:
  DatabaseError Error() {
    char text[2048];
    unsigned n = Util()->formatStatus(text, sizeof text, this);
    n = std::min<unsigned>(n, sizeof text - 1);
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\0')) --n;
    return DatabaseError(ErrorTextAsUtf8(std::string(text, n)), ErrorCodes(getErrors()),
                         SystemErrorOf(getErrors()));
  }
};

ThrowingStatus* Status() {
  thread_local ThrowingStatus status;
  return &status;
}

// The closing call of each kind of object.
void CloseCall(Firebird::IAttachment* att) { att->detach(Status()); }
void CloseCall(Firebird::ITransaction* tr) { tr->rollback(Status()); }
void CloseCall(Firebird::IStatement* st) { st->free(Status()); }
void CloseCall(Firebird::IResultSet* rs) { rs->close(Status()); }
void CloseCall(Firebird::IMessageMetadata* meta) { meta->release(); }

struct XpbDisposer {
  void operator()(Firebird::IXpbBuilder* b) const { b->dispose(); }
};
using Xpb = std::unique_ptr<Firebird::IXpbBuilder, XpbDisposer>;

Xpb BuildDpb(const ConnectOptions& o, bool forCreate) {
  Xpb dpb(Util()->getXpbBuilder(Status(), Firebird::IXpbBuilder::DPB, nullptr, 0));
  auto put = [&](unsigned char tag, const std::string& value) {
    if (!value.empty()) dpb->insertString(Status(), tag, value.c_str());
  };
  put(isc_dpb_user_name, o.user);
  put(isc_dpb_password, o.password);
  put(isc_dpb_lc_ctype, o.charset);
  if (o.forcedWrites) dpb->insertInt(Status(), isc_dpb_force_write, *o.forcedWrites ? 1 : 0);
  if (o.utf8FileName) dpb->insertTag(Status(), isc_dpb_utf8_filename);
  if (o.connectTimeout > 0) dpb->insertInt(Status(), isc_dpb_connect_timeout, o.connectTimeout);
  if (forCreate) {
    put(isc_dpb_set_db_charset, o.dbCharset);
    if (o.dialect != 0) dpb->insertInt(Status(), isc_dpb_sql_dialect, o.dialect);
  }
  return dpb;
}

// The database's SQL dialect from the attachment's info items; 3 when the
// server does not say.
unsigned ReadDialect(Firebird::IAttachment* att) {
  const unsigned char items[] = {isc_info_db_sql_dialect, isc_info_end};
  unsigned char reply[32] = {};
  att->getInfo(Status(), sizeof items, items, sizeof reply, reply);
  if (reply[0] != isc_info_db_sql_dialect) return 3;
  unsigned len = reply[1] | (reply[2] << 8);
  if (len == 0 || len > 4) return 3;
  unsigned value = 0;
  for (unsigned i = 0; i < len; ++i) value |= static_cast<unsigned>(reply[3 + i]) << (8 * i);
  return value == 1 ? 1 : 3;
}

}  // namespace

// ---- Handle ----

template <typename Interface>
void Handle<Interface>::Close() {
  Interface* object = std::exchange(object_, nullptr);
  if (!object) return;
  try {
    CloseCall(object);
  } catch (...) {
    // A closing call that failed leaves the reference to us.
    object->release();
    throw;
  }
}

template <typename Interface>
void Handle<Interface>::Reset() noexcept {
  try {
    Close();
  } catch (...) {
    // nothing more can be done about an object that will not end
  }
}

template class Handle<Firebird::IAttachment>;
template class Handle<Firebird::ITransaction>;
template class Handle<Firebird::IStatement>;
template class Handle<Firebird::IResultSet>;
template class Handle<Firebird::IMessageMetadata>;

// ---- Attachment ----

Attachment Attachment::Open(const std::string& file, const ConnectOptions& options) {
  return Attach(file, options, false);
}

Attachment Attachment::Create(const std::string& file, const ConnectOptions& options) {
  return Attach(file, options, true);
}

Attachment Attachment::Attach(const std::string& file, const ConnectOptions& options, bool create) {
  ConnectOptions effective = options;
  // A name that is not UTF-8 is handed over as its bytes stand.
  effective.utf8FileName = options.utf8FileName && IsValidUtf8(file);
  Xpb dpb = BuildDpb(effective, create);
  const unsigned length = dpb->getBufferLength(Status());
  const unsigned char* buffer = dpb->getBuffer(Status());
  Attachment result;
  result.att_ = Handle(create ? Provider()->createDatabase(Status(), file.c_str(), length, buffer)
                              : Provider()->attachDatabase(Status(), file.c_str(), length, buffer));
  result.dialect_ = ReadDialect(result.att_.Get());
  return result;
}

void Attachment::ExecuteImmediate(Transaction& tr, std::string_view sql) {
  att_->execute(Status(), tr.Get(), static_cast<unsigned>(sql.size()), sql.data(), dialect_,
                nullptr, nullptr, nullptr, nullptr);
}

// ---- Transaction ----

Transaction::Transaction(Attachment& att)
    : tr_(att.Get()->startTransaction(Status(), 0, nullptr)) {}

Transaction::Transaction(Attachment& att, const TransactionOptions& options) {
  Xpb tpb(Util()->getXpbBuilder(Status(), Firebird::IXpbBuilder::TPB, nullptr, 0));
  using Isolation = TransactionOptions::Isolation;
  if (options.isolation == Isolation::Concurrency) {
    tpb->insertTag(Status(), isc_tpb_concurrency);
  } else {
    tpb->insertTag(Status(), isc_tpb_read_committed);
    tpb->insertTag(Status(), isc_tpb_no_rec_version);
  }
  tpb->insertTag(Status(), options.readOnly ? isc_tpb_read : isc_tpb_write);
  tpb->insertTag(Status(), options.wait ? isc_tpb_wait : isc_tpb_nowait);
  if (options.wait && options.lockTimeout > 0)
    tpb->insertInt(Status(), isc_tpb_lock_timeout, options.lockTimeout);
  tr_ = Handle(att.Get()->startTransaction(Status(), tpb->getBufferLength(Status()),
                                           tpb->getBuffer(Status())));
}

void Transaction::Commit() {
  if (!tr_) return;
  tr_->commit(Status());
  tr_.Forget();  // a successful commit releases the interface
}

void Transaction::CommitOrRollback() {
  try {
    Commit();
  } catch (const DatabaseError&) {
    tr_.Reset();  // the commit's error is the one that matters
    throw;
  }
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
  const unsigned count = meta->getCount(Status());
  slots_.reserve(count);
  for (unsigned i = 0; i < count; ++i) {
    slots_.push_back({meta->getType(Status(), i), meta->getLength(Status(), i),
                      meta->getOffset(Status(), i), meta->getNullOffset(Status(), i)});
  }
  data_.assign(meta->getMessageLength(Status()), 0);
  SetAllNull();
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
  return StripTrailingSpaces(std::string_view(p, slot.length));
}

void Message::SetText(unsigned i, std::string_view text) {
  const Slot& slot = TextSlot(i);
  if (text.size() > slot.length) text = text.substr(0, slot.length);
  char* p = reinterpret_cast<char*>(data_.data() + slot.offset);
  if (slot.type == SQL_VARYING) {
    const std::uint16_t len = static_cast<std::uint16_t>(text.size());
    std::memcpy(p, &len, sizeof len);
    // An empty view may have no data at all, which memcpy must not be given.
    if (!text.empty()) std::memcpy(p + sizeof len, text.data(), text.size());
  } else {
    if (!text.empty()) std::memcpy(p, text.data(), text.size());
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
      if (value < INT16_MIN || value > INT16_MAX)
        throw std::out_of_range("Message: value out of range");
      const std::int16_t v = static_cast<std::int16_t>(value);
      std::memcpy(p, &v, sizeof v);
      break;
    }
    case SQL_LONG: {
      if (value < INT32_MIN || value > INT32_MAX)
        throw std::out_of_range("Message: value out of range");
      const std::int32_t v = static_cast<std::int32_t>(value);
      std::memcpy(p, &v, sizeof v);
      break;
    }
    default: std::memcpy(p, &value, sizeof value);
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

bool Cursor::Fetch() {
  if (!rs_) return false;
  return rs_->fetchNext(Status(), out_->Data()) == IStatus::RESULT_OK;
}

// ---- Statement ----

Statement::Statement(Attachment& att, Transaction& tr, std::string_view sql)
    : st_(att.Get()->prepare(Status(), tr.Get(), static_cast<unsigned>(sql.size()), sql.data(),
                             att.Dialect(), Firebird::IStatement::PREPARE_PREFETCH_METADATA)) {}

Message Statement::NewInput() const { return Message(st_->getInputMetadata(Status())); }

Message Statement::NewOutput() const { return Message(st_->getOutputMetadata(Status())); }

void Statement::Execute(Transaction& tr, Message* in, Message* out) {
  st_->execute(Status(), tr.Get(), in ? in->Metadata() : nullptr, in ? in->Data() : nullptr,
               out ? out->Metadata() : nullptr, out ? out->Data() : nullptr);
}

Cursor Statement::Open(Transaction& tr, Message* in, Message& out) {
  return Cursor(st_->openCursor(Status(), tr.Get(), in ? in->Metadata() : nullptr,
                                in ? in->Data() : nullptr, out.Metadata(), 0),
                &out);
}

}  // namespace tolvo::fb
