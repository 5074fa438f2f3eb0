// A thin RAII layer over the Firebird C++ interface: an attachment, a
// transaction, a prepared statement with its cursor, and message buffers laid
// out from the statement's own metadata. Each object owns its interface
// through one Handle, which ends it in the destructor and never throws from
// there. Every call into the client library reports through a status that
// throws DatabaseError, whose text is the server's own, as the client library
// formats it.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Firebird {
class IAttachment;
class ITransaction;
class IStatement;
class IResultSet;
class IMessageMetadata;
}  // namespace Firebird

namespace tolvo {

// A failure reported by the database client or server. what() is the server's
// text; Code() is the first error code of the status vector (0 when the error
// did not come from the server), Codes() all of them in order, and
// SystemError() the operating system's error number the server gave with
// them (0 when none).
class DatabaseError : public std::runtime_error {
 public:
  explicit DatabaseError(const std::string& text, long code = 0)
      : std::runtime_error(text), codes_(code ? std::vector<long>{code} : std::vector<long>{}) {}
  DatabaseError(const std::string& text, std::vector<long> codes, int systemError = 0)
      : std::runtime_error(text), codes_(std::move(codes)), systemError_(systemError) {}
  long Code() const { return codes_.empty() ? 0 : codes_.front(); }
  const std::vector<long>& Codes() const { return codes_; }
  bool Has(long code) const {
    for (long c : codes_)
      if (c == code) return true;
    return false;
  }
  int SystemError() const { return systemError_; }

 private:
  std::vector<long> codes_;
  int systemError_ = 0;
};

}  // namespace tolvo

namespace tolvo::fb {

// The error codes (isc_arg_gds entries) of a status vector, in order.
std::vector<long> ErrorCodes(const intptr_t* status);

// The owner of one reference to an object of the client library. Ending the
// object takes its closing call (detach, rollback, free or close), which on
// success gives up the reference as well; when the call fails, the reference
// is released without it, so that nothing leaks either way. Metadata has no
// closing call: ending it is releasing it.
template <typename Interface>
class Handle {
 public:
  Handle() = default;
  // Takes over one reference.
  explicit Handle(Interface* object) noexcept : object_(object) {}
  ~Handle() { Reset(); }
  Handle(Handle&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  Interface* Get() const noexcept { return object_; }
  Interface* operator->() const noexcept { return object_; }
  explicit operator bool() const noexcept { return object_ != nullptr; }

  // Ends the object and throws the closing call's failure. Empty afterwards
  // in every case.
  void Close();
  // The same, silently.
  void Reset() noexcept;
  // Lets go of an object that a call of its own has ended, together with
  // the reference (a successful commit does that).
  void Forget() noexcept { object_ = nullptr; }

 private:
  Interface* object_ = nullptr;
};

extern template class Handle<Firebird::IAttachment>;
extern template class Handle<Firebird::ITransaction>;
extern template class Handle<Firebird::IStatement>;
extern template class Handle<Firebird::IResultSet>;
extern template class Handle<Firebird::IMessageMetadata>;

// The parameters of an attach or create request.
struct ConnectOptions {
  std::string user;
  std::string password;
  std::string charset;  // character set of the connection (lc_ctype)
  // When set, switches the database's synchronous writes on or off (a
  // lasting property of the file; needs the owner's rights).
  std::optional<bool> forcedWrites;
  // For Create only: the default character set of the new database, and its
  // SQL dialect (0: the server's default).
  std::string dbCharset;
  int dialect = 0;
  // The file name (and every other text here) is UTF-8, whatever the
  // connection's character set and the process's locale: a folder named
  // with Polish letters is found under any LANG.
  bool utf8FileName = true;
  // Seconds to wait for a server to answer before giving up (0: the
  // client's default, three minutes).
  int connectTimeout = 0;
};

// How a transaction is started. Without options it takes the server's
// defaults (concurrency, read-write, waiting for locks without a limit).
struct TransactionOptions {
  enum class Isolation {
    Concurrency,  // a snapshot from the transaction's start
    // Every statement sees what is committed when it runs; a row whose
    // newest version another transaction has not committed yet is a lock
    // conflict, not its older version.
    ReadCommittedLatest,
  };
  Isolation isolation = Isolation::Concurrency;
  bool readOnly = false;
  // Whether a statement that meets another transaction's lock waits for it
  // or fails at once with a lock conflict.
  bool wait = true;
  // Seconds a waiting statement waits before failing (0: without a limit).
  int lockTimeout = 0;
};

class Transaction;

class Attachment {
 public:
  // Not attached.
  Attachment() = default;

  // Attaches to an existing database file (a local path attaches in-process).
  static Attachment Open(const std::string& file, const ConnectOptions& options);
  // Creates a new database file and attaches to it.
  static Attachment Create(const std::string& file, const ConnectOptions& options);

  bool IsOpen() const { return static_cast<bool>(att_); }
  // The SQL dialect of the database (1 or 3), read once at attach time.
  unsigned Dialect() const { return dialect_; }
  // Executes one statement without parameters or result.
  void ExecuteImmediate(Transaction& tr, std::string_view sql);
  // Closes the connection and throws a failure; closed afterwards in every
  // case. The destructor does the same silently.
  void Detach() { att_.Close(); }

  Firebird::IAttachment* Get() const { return att_.Get(); }

 private:
  static Attachment Attach(const std::string& file, const ConnectOptions& options, bool create);

  Handle<Firebird::IAttachment> att_;
  unsigned dialect_ = 3;
};

// A transaction, active from its making until it is committed or rolled
// back; the destructor rolls back one that is still active, silently.
class Transaction {
 public:
  // No transaction: inactive, as one that has ended.
  Transaction() = default;
  // Starts a transaction on `att` without a parameter block: the server's
  // defaults.
  explicit Transaction(Attachment& att);
  // The same with `options`.
  Transaction(Attachment& att, const TransactionOptions& options);

  bool IsActive() const { return static_cast<bool>(tr_); }
  // Commits. On failure the transaction stays active and the error is thrown.
  void Commit();
  // Rolls back and throws a failure; inactive afterwards in every case.
  void Rollback() { tr_.Close(); }
  // Commits; when the commit fails, rolls back (ignoring a failure of the
  // rollback) and throws the commit's error. Inactive afterwards.
  void CommitOrRollback();
  // The same, never throwing; false when the commit failed.
  bool CommitOrRollbackQuietly() noexcept;

  Firebird::ITransaction* Get() const { return tr_.Get(); }

 private:
  Handle<Firebird::ITransaction> tr_;
};

// A message buffer (parameters or one row of results) with the layout of a
// statement's metadata. Slots are addressed by their position.
class Message {
 public:
  Message() = default;
  // Lays the buffer out after `meta`, taking over one reference to it; every
  // slot starts NULL.
  explicit Message(Firebird::IMessageMetadata* meta);

  unsigned Count() const { return static_cast<unsigned>(slots_.size()); }
  bool IsNull(unsigned i) const;
  void SetNull(unsigned i);
  void SetAllNull();

  // Whether a slot is CHAR or VARCHAR.
  bool IsText(unsigned i) const;
  // The bytes a CHAR or VARCHAR slot can hold.
  unsigned Capacity(unsigned i) const { return slots_.at(i).length; }
  // The text of a CHAR or VARCHAR slot (a CHAR's padding blanks are not part
  // of it); empty when NULL. Valid until the slot changes.
  std::string_view Text(unsigned i) const;
  // Stores a text, cut to the slot's capacity, and clears its NULL flag.
  void SetText(unsigned i, std::string_view text);
  // The value of a SMALLINT, INTEGER or BIGINT slot; 0 when NULL.
  std::int64_t Integer(unsigned i) const;
  void SetInteger(unsigned i, std::int64_t value);
  // The same with NULL as nothing, read and written.
  std::optional<std::string_view> OptionalText(unsigned i) const {
    return IsNull(i) ? std::nullopt : std::optional<std::string_view>(Text(i));
  }
  std::optional<std::int64_t> OptionalInteger(unsigned i) const {
    return IsNull(i) ? std::nullopt : std::optional<std::int64_t>(Integer(i));
  }
  void SetOptionalText(unsigned i, std::optional<std::string_view> text) {
    text ? SetText(i, *text) : SetNull(i);
  }
  void SetOptionalInteger(unsigned i, std::optional<std::int64_t> value) {
    value ? SetInteger(i, *value) : SetNull(i);
  }
  // Copies slot `from` of `source` (value or NULL) into slot `to` of this
  // message; both slots must be text or both integer.
  void CopySlot(unsigned to, const Message& source, unsigned from);

  Firebird::IMessageMetadata* Metadata() const { return meta_.Get(); }
  unsigned char* Data() { return data_.data(); }
  void Swap(Message& other) noexcept;

 private:
  struct Slot {
    unsigned type;
    unsigned length;
    unsigned offset;
    unsigned nullOffset;
  };
  const Slot& TextSlot(unsigned i) const;
  const Slot& IntegerSlot(unsigned i) const;

  Handle<Firebird::IMessageMetadata> meta_;
  std::vector<Slot> slots_;
  std::vector<unsigned char> data_;
};

class Cursor {
 public:
  Cursor() = default;

  bool IsOpen() const { return static_cast<bool>(rs_); }
  // Fetches the next row into the output message the cursor was opened
  // with; false when there is none.
  bool Fetch();
  // Closes the cursor and throws a failure; closed afterwards in every case.
  void Close() { rs_.Close(); }

 private:
  friend class Statement;
  Cursor(Firebird::IResultSet* rs, Message* out) : rs_(rs), out_(out) {}
  Handle<Firebird::IResultSet> rs_;
  Message* out_ = nullptr;
};

class Statement {
 public:
  Statement() = default;
  // Prepares the statement in the database's own dialect.
  Statement(Attachment& att, Transaction& tr, std::string_view sql);

  bool IsPrepared() const { return static_cast<bool>(st_); }
  // New buffers laid out for the statement's parameters and result row.
  Message NewInput() const;
  Message NewOutput() const;

  // Executes a statement that returns no rows (or one, into `out`).
  void Execute(Transaction& tr, Message* in = nullptr, Message* out = nullptr);
  // Opens a cursor on a query; rows are fetched into `out`, which must
  // outlive the cursor.
  Cursor Open(Transaction& tr, Message* in, Message& out);
  // Releases the statement on the server and throws a failure; empty
  // afterwards in every case.
  void Free() { st_.Close(); }

 private:
  Handle<Firebird::IStatement> st_;
};

}  // namespace tolvo::fb
