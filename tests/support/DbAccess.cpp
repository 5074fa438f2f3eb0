#include "tests/support/DbAccess.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <thread>

#include "store/Callbook.h"

namespace tolvo::testdb {

fb::ConnectOptions Sysdba() { return CallbookConnectOptions(); }

std::vector<Row> Query(const std::filesystem::path& file, std::string_view sql) {
  fb::Attachment att = fb::Attachment::Open(file.string(), Sysdba());
  fb::Transaction tr(att);
  std::vector<Row> rows;
  {
    fb::Statement st(att, tr, sql);
    fb::Message out = st.NewOutput();
    fb::Cursor cursor = st.Open(tr, nullptr, out);
    while (cursor.Fetch()) {
      Row row;
      for (unsigned i = 0; i < out.Count(); ++i) {
        if (out.IsNull(i)) row.push_back(std::nullopt);
        else if (out.IsText(i)) row.push_back(std::string(out.Text(i)));
        else row.push_back(std::to_string(out.Integer(i)));
      }
      rows.push_back(std::move(row));
    }
    cursor.Close();
  }
  tr.Commit();
  att.Detach();
  return rows;
}

void Execute(const std::filesystem::path& file, const std::vector<std::string>& statements) {
  fb::Attachment att = fb::Attachment::Open(file.string(), Sysdba());
  fb::Transaction tr(att);
  for (const std::string& sql : statements) att.ExecuteImmediate(tr, sql);
  tr.Commit();
  att.Detach();
}

std::int64_t CountStations(const std::filesystem::path& file) {
  return std::stoll(Query(file, "SELECT COUNT(*) FROM STACJE").at(0).at(0).value());
}

std::vector<std::string> Catalogue(const std::filesystem::path& file) {
  const auto columns =
      Query(file,
            "SELECT TRIM(rf.RDB$RELATION_NAME), TRIM(rf.RDB$FIELD_NAME), f.RDB$FIELD_TYPE"
            " FROM RDB$RELATION_FIELDS rf"
            " JOIN RDB$RELATIONS r ON r.RDB$RELATION_NAME = rf.RDB$RELATION_NAME"
            " JOIN RDB$FIELDS f ON f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE"
            " WHERE r.RDB$SYSTEM_FLAG = 1 AND r.RDB$RELATION_TYPE = 0"
            " ORDER BY 1, rf.RDB$FIELD_POSITION");
  std::map<std::string, std::string> rowOf;  // table -> the expression of one row
  for (const auto& c : columns) {
    const bool text = *c[2] == "14" || *c[2] == "37";  // CHAR, VARCHAR
    const std::string value =
        text ? "TRIM(" + *c[1] + ")" : "CAST(HASH(" + *c[1] + ") AS VARCHAR(20))";
    rowOf[*c[0]] += " || '|' || COALESCE(" + value + ", '-')";
  }
  std::string sql;
  for (const auto& [table, row] : rowOf) {
    if (!sql.empty()) sql += " UNION ALL ";
    sql += "SELECT '" + table + "'" + row + " FROM " + table;
  }
  std::vector<std::string> rows;
  for (const auto& r : Query(file, sql)) rows.push_back(*r[0]);
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<std::string> CatalogueChanges(const std::vector<std::string>& before,
                                          const std::vector<std::string>& after) {
  std::vector<std::string> changes;
  std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                      std::back_inserter(changes));
  for (std::string& c : changes) c = "- " + c;
  std::vector<std::string> added;
  std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                      std::back_inserter(added));
  for (const std::string& a : added) changes.push_back("+ " + a);
  return changes;
}

std::string CallbookToolCredentials() {
  const fb::ConnectOptions options = CallbookConnectOptions();
  return "-user " + options.user + " -password " + options.password;
}

std::FILE* AttachIsql(const std::filesystem::path& file, const std::filesystem::path& out) {
  const std::string command = "isql-fb -q " + CallbookToolCredentials() + " '" + file.string() +
                              "' > '" + out.string() + "' 2>&1";
  std::FILE* other = popen(command.c_str(), "w");
  if (!other) return nullptr;
  std::fputs("SELECT 'ATTACHED' FROM RDB$DATABASE;\n", other);
  std::fflush(other);
  for (int i = 0; i < 200 && ReadBytes(out).find("ATTACHED") == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (ReadBytes(out).find("ATTACHED") != std::string::npos) return other;
  pclose(other);
  return nullptr;
}

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace tolvo::testdb
