#pragma once
// The document as JSON (docs/document-format.md): reading fills a fresh Document or reports the
// first bad field; writing gives text that reads back into the same records.
#include <string>

#include "document.h"

namespace standin {

// False with "<field path>: <problem>" in `error`; `out` is then only partly filled.
bool ParseDocument(const std::string& text, Document& out, std::string* error);
std::string WriteDocument(const Document& doc);

}  // namespace standin
