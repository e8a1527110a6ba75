// What the trial balance hands to the JPK_KR writer while it runs: one call
// per account row of the balance, one per posting booked inside the period,
// and the end of the run. The writer (src/vat/jpk_kr.hpp) turns them into
// the three fragment files "ZOiS", "Dzie" and "KoZa"; the trial balance does
// not know the XML. Header-only, so that the statements need not link the
// VAT library. The sink is owned by whoever starts the run.
#pragma once

#include <array>
#include <string_view>

#include "common/types.hpp"

namespace zel {

struct JournalEntry;

class JpkKrSink {
 public:
  virtual ~JpkKrSink() = default;
  // Starts the fragments of a run (made anew). False when they cannot be
  // written; the run then goes on without them.
  virtual bool Begin() = 0;
  // An account row: the symbol (or symbol prefix) and its eight amounts in
  // the order opening Wn, Ma, period Wn, Ma, cumulative Wn, Ma, balance Wn, Ma.
  virtual void AccountRow(std::string_view symbol, const std::array<Amount, 8>& amounts) = 0;
  // A posting whose booking date lies inside the period.
  virtual void Posting(const JournalEntry& entry) = 0;
  // Writes the control elements and closes the fragment files.
  virtual void End() = 0;
  // Instead of End, for a run that ended without its report (a file out of
  // account order, an abort): closes and removes the fragment files, so that
  // no JPK file is assembled from an incomplete run.
  virtual void Discard() = 0;
};

}  // namespace zel
