#include "tests/store/StoreHelpers.h"

#include <fstream>
#include <iterator>

#include "tests/support/TolvoDb.h"

namespace tolvo::storetest {

fb::Attachment OpenRaw(const fs::path& file) {
  fb::ConnectOptions o;
  o.user = "sysdba";
  o.password = "quartzfog";
  o.charset = "WIN1250";
  return fb::Attachment::Open(file.string(), o);
}

std::vector<Row> Query(const fs::path& file, std::string_view sql) {
  fb::Attachment att = OpenRaw(file);
  fb::Transaction tr;
  tr.Start(att);
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

void Execute(const fs::path& file, const std::vector<std::string>& statements) {
  fb::Attachment att = OpenRaw(file);
  fb::Transaction tr;
  tr.Start(att);
  for (const auto& sql : statements) att.ExecuteImmediate(tr, sql);
  tr.Commit();
  att.Detach();
}

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

StoreTest::StoreTest() : db(dir / "LOG.DAT") { CreateTolvo10Database(db); }

}  // namespace tolvo::storetest
