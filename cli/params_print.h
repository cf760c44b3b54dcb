// Printing helpers shared by the `params` and `check` commands.
#pragma once

#include <cstdio>
#include <string>

#include "core/message.h"

namespace torvik::cli {

// Number of characters (code points) of a UTF-8 text.
inline std::size_t Utf8Length(const std::string& s) {
  std::size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

// The text padded with blanks to `width` characters (left-aligned), or
// right-aligned when `right` is set.
inline std::string Pad(const std::string& s, std::size_t width, bool right = false) {
  const std::size_t n = Utf8Length(s);
  if (n >= width) return s;
  const std::string fill(width - n, ' ');
  return right ? fill + s : s + fill;
}

// A user message on stderr as "TITLE: TEXT" (its CR LF as a blank); returns
// the exit status of a failed action.
inline int PrintUserMessage(const UserMessage& msg) {
  std::string text;
  for (char c : msg.text) {
    if (c == '\r') continue;
    text += c == '\n' ? ' ' : c;
  }
  std::fprintf(stderr, "%s: %s\n", msg.title.c_str(), text.c_str());
  return 1;
}

}  // namespace torvik::cli
