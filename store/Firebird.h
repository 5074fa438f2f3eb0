// A thin RAII layer over the Firebird C++ interface: an attachment, a
// transaction, a prepared statement with its cursor, and message buffers laid
// out from the statement's own metadata. Every object closes what it owns in
// its destructor and never throws from it. Errors become DatabaseError, whose
// text is the server's own, as the client library formats it.
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
  DatabaseError(const std::string& text, std::vector<long> codes, int systemError)
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

// The parameters of an attach or create request.
struct ConnectOptions {
  std::string user;
  std::string password;
  std::string charset;    // character set of the connection (lc_ctype)
  // When set, switches the database's synchronous writes on or off (a
  // lasting property of the file; needs the owner's rights).
  std::optional<bool> forcedWrites;
  // For Create only: the default character set of the new database, and its
  // SQL dialect (0: the server's default).
  std::string dbCharset;
  int dialect = 0;
};

class Transaction;

class Attachment {
 public:
  Attachment() = default;
  ~Attachment();
  Attachment(Attachment&& other) noexcept;
  Attachment& operator=(Attachment&& other) noexcept;
  Attachment(const Attachment&) = delete;
  Attachment& operator=(const Attachment&) = delete;

  // Attaches to an existing database file (a local path attaches in-process).
  static Attachment Open(const std::string& file, const ConnectOptions& options);
  // Creates a new database file and attaches to it.
  static Attachment Create(const std::string& file, const ConnectOptions& options);

  bool IsOpen() const { return att_ != nullptr; }
  // The SQL dialect of the database (1 or 3), read once at attach time.
  unsigned Dialect() const { return dialect_; }
  // Executes one statement without parameters or result.
  void ExecuteImmediate(Transaction& tr, std::string_view sql);
  // Closes the connection. On failure the interface is released anyway and
  // the error is thrown; the object is closed afterwards in every case.
  void Detach();

  Firebird::IAttachment* Get() const { return att_; }

 private:
  explicit Attachment(Firebird::IAttachment* att);
  static Attachment Attach(const std::string& file, const ConnectOptions& options, bool create);
  void Reset() noexcept;

  Firebird::IAttachment* att_ = nullptr;
  unsigned dialect_ = 3;
};

class Transaction {
 public:
  Transaction() = default;
  // Rolls back a transaction that is still active, silently.
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // Starts the transaction without a parameter block: the server's defaults.
  void Start(Attachment& att);
  bool IsActive() const { return tr_ != nullptr; }
  // Commits. On failure the transaction stays active and the error is thrown.
  void Commit();
  // Rolls back. On failure the interface is released anyway and the error is
  // thrown; the transaction is inactive afterwards in every case.
  void Rollback();
  // Commits; when the commit fails, rolls back (ignoring a failure of the
  // rollback) and throws the commit's error. Inactive afterwards.
  void CommitOrRollback();
  // The same, never throwing; false when the commit failed.
  bool CommitOrRollbackQuietly() noexcept;

  Firebird::ITransaction* Get() const { return tr_; }

 private:
  Firebird::ITransaction* tr_ = nullptr;
};

// A message buffer (parameters or one row of results) with the layout of a
// statement's metadata. Slots are addressed by their position.
class Message {
 public:
  Message() = default;
  ~Message();
  Message(Message&& other) noexcept;
  Message& operator=(Message&& other) noexcept;
  Message(const Message&) = delete;
  Message& operator=(const Message&) = delete;

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
  // Copies slot `from` of `source` (value or NULL) into slot `to` of this
  // message; both slots must be text or both integer.
  void CopySlot(unsigned to, const Message& source, unsigned from);

  Firebird::IMessageMetadata* Metadata() const { return meta_; }
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

  Firebird::IMessageMetadata* meta_ = nullptr;
  std::vector<Slot> slots_;
  std::vector<unsigned char> data_;
};

class Cursor {
 public:
  Cursor() = default;
  ~Cursor();
  Cursor(Cursor&& other) noexcept;
  Cursor& operator=(Cursor&& other) noexcept;
  Cursor(const Cursor&) = delete;
  Cursor& operator=(const Cursor&) = delete;

  bool IsOpen() const { return rs_ != nullptr; }
  // Fetches the next row into the output message the cursor was opened
  // with; false when there is none.
  bool Fetch();
  void Close();

 private:
  friend class Statement;
  Cursor(Firebird::IResultSet* rs, Message* out) : rs_(rs), out_(out) {}
  Firebird::IResultSet* rs_ = nullptr;
  Message* out_ = nullptr;
};

class Statement {
 public:
  Statement() = default;
  ~Statement();
  Statement(Statement&& other) noexcept;
  Statement& operator=(Statement&& other) noexcept;
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Prepares the statement in the database's own dialect.
  Statement(Attachment& att, Transaction& tr, std::string_view sql);

  bool IsPrepared() const { return st_ != nullptr; }
  // New buffers laid out for the statement's parameters and result row.
  Message NewInput() const;
  Message NewOutput() const;

  // Executes a statement that returns no rows (or one, into `out`).
  void Execute(Transaction& tr, Message* in = nullptr, Message* out = nullptr);
  // Opens a cursor on a query; rows are fetched into `out`, which must
  // outlive the cursor.
  Cursor Open(Transaction& tr, Message* in, Message& out);
  // Releases the statement on the server. The object is empty afterwards in
  // every case; a failure is thrown.
  void Free();

 private:
  Firebird::IStatement* st_ = nullptr;
};

}  // namespace tolvo::fb
