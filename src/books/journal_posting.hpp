// Posting working files into the annual file, and checking a posting.
//
// Working files hold the documents of a period in document order; the
// annual file holds every posting of the year in account order. Posting
// takes the postings of the chosen working files (control records left out),
// sorts each file's postings by account keeping their order within an
// account, and merges them with the annual file: within one account the
// annual file's postings come first, then those of the working files in the
// order of the list. Records are copied byte for byte. The merged file is
// written beside the annual file and renamed over it.
//
// Which files: a list file, year folder + name + ".ZFX", a text file with
// one working-file name a line (Windows-1250; the name without ".DFX", or
// with it; surrounding spaces, empty lines and lines beginning with ";"
// are ignored); or, with no list named, every month working file of the
// year folder not posted yet: the ".DFX" files whose names begin with a
// month number 01 to 12 ("01A", "01-1", "12B"), taken by month, and within
// a month the lettered parts before the "-" corrections ("03A", "03B",
// "03-1", "03-2").
//
// The journal of postings, year folder + annual name + ".KSG", remembers
// every working file posted into that annual file, one line each:
//   NAME;POSTINGS;DEBIT;CREDIT;DD-MM-YYYY HH:MM
// (amounts with a decimal point). A file named there is never posted again
// into that annual file. The journal is rewritten whole beside and renamed
// before the annual file is replaced, and put back when that replacement
// fails, so a file is never posted without being recorded.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "fields/option_services.hpp"

namespace zel {

inline constexpr int kFieldLiZb = 72;
inline constexpr int kFieldBiez = 73;
inline constexpr int kFieldLisZ = 101;  // nine display rows: the files to post
inline constexpr int kFieldLixZ = 102;  // display: how many files in all

struct PostingParams {
  std::string list_name;    // LiZb; empty: every month working file not posted yet
  std::string annual_name;  // Biez
};

// Year folder + annual name + ".KSG".
std::string PostingJournalPath(std::string_view annual_name);
struct PostingSums;
// One line of the journal of postings, CR LF included; `stamp` is
// "DD-MM-YYYY HH:MM".
std::string PostingJournalLine(std::string_view name, const PostingSums& sums,
                               std::string_view stamp);
// The names the journal records (as written there).
std::vector<std::string> PostedFiles(std::string_view annual_name);

// The month working files of the year folder in posting order (above),
// without the annual file.
std::vector<std::string> MonthWorkingFiles(std::string_view annual_name);
// Sorting key of a month working file's name (the order above).
std::string MonthFileKey(std::string_view name);

// The working files LacZb would post with these parameters, in posting
// order, for the window to show before the run; *ok false (and nothing)
// when the list cannot be read or names a wrong file. Shows no message.
std::vector<std::string> FilesToPost(const PostingParams& p, bool* ok);

// LacZb. Asks "Księgować" (Tak goes on; Nie or Powrót cancels) and, when the
// annual file is missing, "Założyć nowy zbiór roczny". True when posted; the
// report lists the files with their postings and sums.
bool PostWorkingFiles(const PostingParams& p, OptionServices& window);

// LacWe: every posting of the listed working files (with no list: those the
// journal of postings names) must stand in the annual file exactly once,
// byte for byte; the report gives each file's postings and sums, what is
// missing and what is doubled. True when everything agrees.
bool VerifyPosting(const PostingParams& p, OptionServices& window);

}  // namespace zel
