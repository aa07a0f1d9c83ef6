#pragma once
// Our own reader and writer of the profile (INI) text format: "[section]" header
// lines, "key=value" lines, ";" comments. Section and key names match without
// regard to ASCII case. Nothing is cached: every call reads the file afresh.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velarin {

// A value comes back through a 255-character buffer: at most 254 characters.
inline constexpr size_t kProfileValueMax = 254;
// A larger file is treated as unreadable: never read, never rewritten.
inline constexpr size_t kProfileFileMax = 16u << 20;
// The line ending of a file written from nothing: the platform's own.
#ifdef _WIN32
inline constexpr std::string_view kProfileNewline = "\r\n";
#else
inline constexpr std::string_view kProfileNewline = "\n";
#endif

// The value of `key` in `section` of `text` (first section, first key that match),
// blanks trimmed, one pair of enclosing quotes dropped, cut at a NUL and at
// kProfileValueMax. nullopt when the section or key is absent.
std::optional<std::string> FindProfileValue(std::string_view text, std::string_view section,
                                            std::string_view key);

// `text` with key=value set in `section`: the first matching key line is replaced,
// or a line is added after the section's last non-blank line, or the section is
// appended. Every other line is kept byte for byte; new lines use the text's first
// line ending. `value` is cut at its first CR, LF or NUL so it stays on one line.
// nullopt when the section or key name cannot be written (empty, a line break, a
// NUL, "]" in a section, "=" in a key).
std::optional<std::string> SetProfileValue(std::string_view text, std::string_view section,
                                           std::string_view key, std::string_view value);

// The value stored at `path`, or empty when the file, section or key is missing
// or the file cannot be read.
std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key);

// Writes key=value into `path`, creating the file as needed. The new content goes
// to a temporary file beside it that then replaces it, so a crash mid-write leaves
// the old file whole. False (the file untouched) when the path is empty, the names
// are invalid, an existing file cannot be read, or the write or rename fails.
bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace velarin
