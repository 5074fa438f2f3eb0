// How an importer's per-record step reads the current source record: a field
// by name (matched without regard to case), as text, with the stored bytes.
#pragma once

#include <string>
#include <string_view>

namespace tolvo {

class IRecordFields {
 public:
  virtual ~IRecordFields() = default;
  // The value of the named field in the current record. A name the source
  // lacks raises std::runtime_error whose first line is "Calls: Field 'X'
  // not found".
  virtual std::string FieldAsString(std::string_view name) const = 0;
};

}  // namespace tolvo
