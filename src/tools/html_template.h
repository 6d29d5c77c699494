// Fixed HTML texts: the page skeleton new .html files start with.
#pragma once

#include <string>

std::string html_page_skeleton();
