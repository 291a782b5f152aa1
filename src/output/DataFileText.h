#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "output/ParameterDataFile.h"

namespace pamiro {

// The readable text form of a parameter data file. One text serves both record
// layouts; the layout is chosen when the text is turned into bytes.
//
//   # comment                       whole-line comments, blank lines ignored
//   TYPE PID                        a type: header ("NAME" + "PID") and its
//                                   "TYPE" entry
//   DESCRP                          one parameter name per line, record order
//   RAW "prefix" "key" "detail"     one record exactly as given; bytes as
//                                   \xHH, \\ and \"; trailing NULs implied
//   PARTIAL "bytes"                 an incomplete last record (nothing after)
//
// The plain lines cover records as the build itself writes them: empty Prefix,
// text followed by NUL padding, empty Detail outside headers. Anything else
// (stray bytes after a NUL, a field with no NUL, blanks or control bytes,
// records before the first header...) is written as RAW, so that turning any
// file into text and back gives the same bytes.

std::string DataFileToText(std::string_view bytes, const DataFileLayout& layout);

struct DataFileBuild {
    std::string Bytes;
    // "linea N: ..." for every line that could not be turned into records;
    // Bytes is meaningless when this is not empty.
    std::vector<std::string> Errors;
};

DataFileBuild DataFileFromText(std::string_view text, const DataFileLayout& layout);

// Bytes as a quoted, escaped ASCII string: "AB\x00\"".
std::string QuoteBytes(std::string_view bytes);

// "corto (32 bytes por registro)" / "largo (44 bytes por registro)".
std::string LayoutDescription(const DataFileLayout& layout);

}  // namespace pamiro
