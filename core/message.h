// A message that a user action shows in a modal box: a fixed Russian text and
// the window title ("Torvik6" or "Torvik6.0"). Computation returns it as data;
// the screens and the CLI decide how to show it.
#pragma once

#include <optional>
#include <string>

namespace torvik {

struct UserMessage {
  std::string text;   // UTF-8
  std::string title;  // "Torvik6" or "Torvik6.0"
};

inline constexpr const char* kTitle = "Torvik6";
inline constexpr const char* kTitle0 = "Torvik6.0";

// A computation that failed or left the finite numbers (runs, orbit check).
inline constexpr const char* kMsgSolveError = "Ошибка решения уравнений";

// Result of an action: empty on success, the message to show on failure.
using ActionResult = std::optional<UserMessage>;

}  // namespace torvik
