#pragma once

#include <memory>
#include <string>

#include "results/list_export.h"

class QTextDocument;

namespace qpane::results {

// The list as a text document: the heading, then one table per group with the list's
// columns, its caption row repeated on every page. Set in IPA Gothic, which the PDF writer
// embeds, so that the Japanese text reads the same on any PC. Needs a QGuiApplication.
std::unique_ptr<QTextDocument> listDocument(const ResultList& list, const ListHeading& heading);

// The list as the bytes of an A4 PDF file. Needs a QGuiApplication.
std::string pdfOf(const ResultList& list, const ListHeading& heading);

}  // namespace qpane::results
