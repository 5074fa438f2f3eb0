#include "bench/BenchFloor.h"

#include <firebird/Interface.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bench/BenchSources.h"
#include "store/Callbook.h"

namespace tolvo::bench {
namespace {

using namespace Firebird;

// A message buffer laid out after the statement's own metadata, as the
// client library describes it: each slot at its offset, its NULL flag at its
// own offset.
class Buffer {
 public:
  Buffer(ThrowStatusWrapper* status, IMessageMetadata* meta) : meta_(meta) {
    const unsigned count = meta->getCount(status);
    for (unsigned i = 0; i < count; ++i)
      slots_.push_back({meta->getType(status, i), meta->getOffset(status, i),
                        meta->getNullOffset(status, i), meta->getLength(status, i)});
    data_.assign(meta->getMessageLength(status), 0);
    for (unsigned i = 0; i < count; ++i) SetNull(i);
  }
  ~Buffer() { meta_->release(); }
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;

  IMessageMetadata* Meta() const { return meta_; }
  unsigned char* Data() { return data_.data(); }
  void SetNull(unsigned i) { Flag(i, -1); }
  // A VARCHAR slot; empty is NULL, as the store writes it.
  void SetText(unsigned i, const std::string& value) {
    const Slot& s = slots_.at(i);
    if (s.type != SQL_VARYING)
      throw std::logic_error("floor: slot " + std::to_string(i) + " is no VARCHAR");
    const std::size_t n = std::min<std::size_t>(value.size(), s.length);
    const ISC_USHORT len = static_cast<ISC_USHORT>(n);
    std::memcpy(data_.data() + s.offset, &len, sizeof len);
    std::memcpy(data_.data() + s.offset + sizeof len, value.data(), n);
    Flag(i, n == 0 ? -1 : 0);
  }
  void SetShort(unsigned i, ISC_SHORT value) {
    if (slots_.at(i).type != SQL_SHORT)
      throw std::logic_error("floor: slot " + std::to_string(i) + " is no SMALLINT");
    std::memcpy(data_.data() + slots_[i].offset, &value, sizeof value);
    Flag(i, 0);
  }

 private:
  struct Slot {
    unsigned type, offset, nullOffset, length;
  };
  void Flag(unsigned i, ISC_SHORT flag) {
    std::memcpy(data_.data() + slots_[i].nullOffset, &flag, sizeof flag);
  }
  IMessageMetadata* meta_;
  std::vector<Slot> slots_;
  std::vector<unsigned char> data_;
};

constexpr const char* kLookup =
    "SELECT STACJA, NAZWA, IMIE, NAZWISKO, MIASTO, KODPOCZT, ADRES, LOKATOR, WOJEW, POWIAT, "
    "RODZAJ, DOMENA, KRAJ FROM STACJE WHERE STACJA = ?";
constexpr const char* kInsert =
    "INSERT INTO STACJE (STACJA, NAZWA, IMIE, NAZWISKO, MIASTO, KODPOCZT, ADRES, LOKATOR, "
    "WOJEW, POWIAT, RODZAJ, DOMENA, KRAJ, MANAGER, IOTA, EMAIL1, EMAIL2, UWAGI, DATAAKT, "
    "AKTUAL) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";

std::string ErrorText(IMaster* master, const FbException& e) {
  char text[1024];
  master->getUtilInterface()->formatStatus(text, sizeof text, e.getStatus());
  return text;
}

}  // namespace

RunResult RunFloor(const std::string& database, std::int64_t n, std::uint64_t seed, bool insert) {
  IMaster* master = fb_get_master_interface();
  ThrowStatusWrapper status(master->getStatus());
  IAttachment* att = nullptr;
  ITransaction* tr = nullptr;
  IStatement* lookup = nullptr;
  IStatement* inserting = nullptr;
  RunResult result;
  try {
    SyntheticRow synthetic;
    const Stopwatch watch;
    IXpbBuilder* dpb =
        master->getUtilInterface()->getXpbBuilder(&status, IXpbBuilder::DPB, nullptr, 0);
    const fb::ConnectOptions options = CallbookConnectOptions();
    dpb->insertString(&status, isc_dpb_user_name, options.user.c_str());
    dpb->insertString(&status, isc_dpb_password, options.password.c_str());
    dpb->insertString(&status, isc_dpb_lc_ctype, "WIN1250");
    att = master->getDispatcher()->attachDatabase(
        &status, database.c_str(), dpb->getBufferLength(&status), dpb->getBuffer(&status));
    dpb->dispose();
    tr = att->startTransaction(&status, 0, nullptr);
    lookup = att->prepare(&status, tr, 0, kLookup, 3, IStatement::PREPARE_PREFETCH_METADATA);
    Buffer key(&status, lookup->getInputMetadata(&status));
    Buffer row(&status, lookup->getOutputMetadata(&status));
    std::optional<Buffer> values;
    if (insert) {
      inserting = att->prepare(&status, tr, 0, kInsert, 3, IStatement::PREPARE_PREFETCH_METADATA);
      values.emplace(&status, inserting->getInputMetadata(&status));
    }

    for (std::int64_t i = 0; i < n; ++i) {
      FillSyntheticRow(i, seed, synthetic);
      key.SetText(0, synthetic.stacja);
      IResultSet* rs = lookup->openCursor(&status, tr, key.Meta(), key.Data(), row.Meta(), 0);
      const bool found = rs->fetchNext(&status, row.Data()) == IStatus::RESULT_OK;
      rs->close(&status);
      if (found) {
        ++result.found;
        continue;
      }
      if (!insert) continue;
      // Columns in the order of the INSERT; RODZAJ, DOMENA and the seven
      // columns after KRAJ stay NULL.
      values->SetText(0, synthetic.stacja);
      values->SetText(1, synthetic.nazwa);
      values->SetText(2, synthetic.imie);
      values->SetText(3, synthetic.nazwisko);
      values->SetText(4, synthetic.miasto);
      values->SetText(5, synthetic.kodpoczt);
      values->SetText(6, synthetic.adres);
      values->SetText(7, synthetic.lokator);
      values->SetText(8, synthetic.wojew);
      values->SetText(9, synthetic.powiat);
      values->SetShort(12, synthetic.kraj);
      inserting->execute(&status, tr, values->Meta(), values->Data(), nullptr, nullptr);
    }
    watch.Stop(result);
    result.records = n;

    if (inserting) inserting->free(&status);
    inserting = nullptr;
    lookup->free(&status);
    lookup = nullptr;
    tr->commit(&status);
    tr = nullptr;
    att->detach(&status);
    att = nullptr;
  } catch (const FbException& e) {
    const std::string text = ErrorText(master, e);
    if (inserting) inserting->release();
    if (lookup) lookup->release();
    if (tr) tr->release();
    if (att) att->release();
    status.dispose();
    throw std::runtime_error("floor: " + text);
  }
  status.dispose();
  return result;
}

}  // namespace tolvo::bench
