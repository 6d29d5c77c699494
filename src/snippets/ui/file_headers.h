// The four file headers, inserted into the current document.
#pragma once

#include <string>

void insert_bash_header();
void insert_perl_header();
void insert_php_header();
void insert_html_skeleton();
// Inserts what a newly created file named `name` starts with (by its extension).
void insert_new_file_header(const std::string& name);
