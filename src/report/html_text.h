#pragma once
// Text made safe for an HTML page. Bytes from the ECU can be anything: each is
// its character of the system's code page, and a control byte shows as \0, \r,
// \n or \xHH, so no byte can end an element, open a tag or break the page.

#include <string>
#include <string_view>

namespace velarin::report {

// `bytes` as the program holds ECU texts and log lines (the system's code page).
std::string HtmlFromCodePage(std::string_view bytes);
// The program's own texts and captions, already UTF-8.
std::string HtmlFromUtf8(std::string_view text);

}  // namespace velarin::report
