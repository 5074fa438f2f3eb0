#include "tests/support/DbAccess.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tolvo::testdb {

fb::ConnectOptions Sysdba() {
  fb::ConnectOptions o;
  o.user = "sysdba";
  o.password = "quartzfog";
  o.charset = "WIN1250";
  return o;
}

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
        if (out.IsNull(i))
          row.push_back(std::nullopt);
        else if (out.IsText(i))
          row.push_back(std::string(out.Text(i)));
        else
          row.push_back(std::to_string(out.Integer(i)));
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
