// "Doc Gen": the documentation page of the current document's saved file, in
// a new tab and in the Mini Web.
#pragma once

// Reads the current document's file as saved, in the page's charset, and puts
// the generated HTML into a new document, previewed in the Mini Web with the
// file's folder as the base of its links. A page without a file, or a file that
// cannot be read, gives an error in the log and no new tab.
void doc_gen_command();
