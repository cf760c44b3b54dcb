// The fixed Russian help on the buttons of every screen, shown by the help
// screen ("About*" on the parameters screen), one entry per line.
#pragma once

#include <string>
#include <vector>

namespace torvik {

// The lines of the help text, UTF-8, in their order.
const std::vector<std::string>& HelpLines();
// The section headings, in their order (each is also one of HelpLines()).
const std::vector<std::string>& HelpSections();

}  // namespace torvik
