#include "forms/trace_log.h"

namespace velarin {

void TraceLog::Append(std::string_view text) {
  text_.append(text);
  text_.append("\r\n");
  ++lines_;
}

void TraceLog::Clear() {
  text_.clear();
  lines_ = 0;
  caret_ = 0;
}

}  // namespace velarin
