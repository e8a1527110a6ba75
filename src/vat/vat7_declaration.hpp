// The VAT-7 declaration (option DeVa7): the form template, a viewer script
// with placeholders such as ".NIP." or ".K19.", is read from the shared
// folder "!" and every placeholder is replaced by the declaration's value;
// the filled script goes to the document viewer.
//
// Templates: "!\VAT-7(n).7TF" is the whole form, "!\VAT-7(n)-1.7TF" and
// "-2" its two pages. When the first page file exists the whole form is
// joined from the pages in memory (page 1, a line "N", page 2); the shared
// folder is never written. A single page asked for uses that page's file.
//
// Substitution: a placeholder is "." + code + "." found in the line without
// regard to letter case (both through UpperPl); the line is cut before the
// first placeholder it holds and "~" + value is appended (the viewer draws
// it bold in blue), so anything after it, another placeholder included, is
// dropped. A value holding a NUL character becomes "nie-wiadomo".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/types.hpp"
#include "output/viewer_document.hpp"
#include "store/declaration.hpp"

namespace zel {

class OptionServices;

// The form version installed with the program (field vWer when empty).
inline constexpr std::string_view kDeclarationFormVersion = "20";
// The page in script units (millimetres of an A4 sheet).
inline constexpr int kDeclarationPageWidth = 210;
inline constexpr int kDeclarationPageHeight = 297;

// The text a placeholder code stands for; false for a code that is not one.
// The period is the declaration's month, `from` and `to` its first and last
// day.
bool DeclarationPlaceholderValue(std::string_view code, const DeclarationData& d, DayNo from,
                                 DayNo to, std::string* value);

// One template line with its first placeholder replaced (unchanged when it
// holds none).
std::string SubstituteDeclarationLine(std::string_view line, const DeclarationData& d, DayNo from,
                                      DayNo to);

// The template's lines: page 0 the whole form (joined from the page files
// when the first exists), 1 or 2 one page. False when the file is missing,
// with "Nie ma \"" + name + "\"" in *message.
bool ReadDeclarationTemplate(std::string_view version, int page, std::vector<std::string>* lines,
                             std::string* message);

// The filled viewer document of the declaration (key "VAT7", plain and
// marked copies, an A4 page). False with the message of a missing template.
bool BuildDeclarationDocument(const DeclarationData& d, std::string_view version, int page,
                              ViewerDocument* doc, std::string* message);

// The option's run: the period, number, purpose, signature date, version and
// page from the window's fields, the declaration data loaded, the script
// built and handed to the viewer, and the viewer shown (window kind 8).
// A missing template or a bad period is reported in the status line.
void RunDeclarationOption(OptionServices& window);

// The first and last day of a month; 0, 0 for an impossible month.
void MonthBounds(int year, int month, DayNo* from, DayNo* to);

}  // namespace zel
