#pragma once
// Filling the embedded page templates with request data, and text made safe
// for the pages and addresses the server writes.
#include <map>
#include <string>
#include <string_view>

namespace zorv::server {

// Text made safe to place in HTML element content and quoted attribute values.
std::string EscapeHtml(std::string_view text);

// Text made safe as one path segment or query value of an address: every
// byte but ASCII letters, digits and "-._~" as %XX.
std::string PercentEncode(std::string_view text);

// The template with every "{{NAME}}" replaced by values[NAME] (inserted as
// given: escape first). Unknown names are left as they are.
std::string FillTemplate(std::string_view page, const std::map<std::string, std::string, std::less<>>& values);

}  // namespace zorv::server
