#pragma once

#include <string>
#include <string_view>

namespace pamiro {

// Line formats of the destination files. Every line is written followed by CR LF.

// "cmp" + n with at least four digits: cmp0001, cmp10000.
std::string NumberedFileName(std::string_view prefix, long long n);
// "cmp_list": name, blank, n.
std::string CompoundListLine(std::string_view compoundName, long long n);
// "src_list": compound, ":", block, blank, n.
std::string SourceListLine(std::string_view compoundName, std::string_view blockName, long long n);

// Compound file ("FoxCAE Transfer").
std::string FoxNameLine(std::string_view blockName);  // "NAME     >" + name
std::string FoxTypeLine(std::string_view blockType);  // "TYPE     >" + type
// Name padded to 9 columns, ">" and the value; a longer name is not cut.
std::string FoxParameterLine(std::string_view name, std::string_view value);
// The same appended to line, so a block's lines can reuse one buffer.
void AppendFoxParameterLine(std::string& line, std::string_view name, std::string_view value);
inline constexpr std::string_view kFoxEndLine = "NAME     >END";
std::string FoxRevisionLine(std::string_view revisionCode);

// Command script ("ICC Api").
std::string IccOpenLine(std::string_view cpName);
std::string IccCloseLine(std::string_view cpName);
inline constexpr std::string_view kIccExitLine = "EXIT";
std::string IccAddLine(std::string_view compoundName, std::string_view blockName);
std::string IccTypeLine(std::string_view blockType);
std::string IccParameterLine(std::string_view name, std::string_view value);
void AppendIccParameterLine(std::string& line, std::string_view name, std::string_view value);
inline constexpr std::string_view kIccEndLine = "END";

}  // namespace pamiro
