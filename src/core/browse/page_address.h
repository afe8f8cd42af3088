#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pluvik {

// Until a page names itself the engine shows its address as the title: as written, encoded, shown
// to the user, without its scheme, or a file's name. A title of its own is none of these (nor empty).
// `spellings`: the page's address in the spellings the caller has of it.
bool hasOwnTitle(std::string_view title, const std::vector<std::string>& spellings);

// The schemes whose pages the URL history records (scheme in lower case): web pages, FTP and files.
bool isRecordedScheme(std::string_view scheme);

}  // namespace pluvik
