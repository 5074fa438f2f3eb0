// The error of the demo maker: a demo folder that cannot be prepared without
// harm, a file that cannot be written, or text that has no code in the code
// page a list is written in. The text names the file or the text and the
// reason.
#pragma once

#include <stdexcept>

namespace tolvo::demo {

class DemoError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace tolvo::demo
