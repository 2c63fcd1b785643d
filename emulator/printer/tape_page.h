#pragma once
// The paper tape as a page: one self-contained HTML file beside the text tape, where every
// printed document is a paper receipt at the register's line width, with its barcodes and QR
// codes drawn as images (inline SVG: no scripts, nothing fetched). Like the tape it is appended
// to document by document and kept across restarts. The head is written when the file is new
// and each document is a block of its own, so the page is whole after any number of documents
// (the closing tags of the body and the page may be left out).

#include "printer/layout.h"

#include <string>
#include <vector>

namespace korvant3emu {

// The page beside a tape: the tape's path with the extension .html ("tape.txt" gives
// "tape.html"; a tape that is itself an .html file gets a second one). Empty without a tape.
std::string pagePathBeside(const std::string& tapePath);

// What the page gets for documents: a block for each, after the head of the page when the page
// is new (empty).
std::string pageText(const std::vector<Layout>& documents, bool newPage);

} // namespace korvant3emu
