#include "store/account_order.hpp"

#include "common/cp1250.hpp"
#include "store/journal_entry.hpp"

namespace zel {

bool AccountOrderGuard::FeedNew(std::string_view account, std::uint64_t record_number) {
  if (broken_) return false;
  // The empty start value is not above any symbol, so the first record
  // always passes.
  if (CompareSymbols(account, last_) < 0) {
    Break(record_number);
    return false;
  }
  last_.assign(account);
  return true;
}

void AccountOrderGuard::Break(std::uint64_t record_number) {
  if (broken_) return;
  broken_ = true;
  broken_record_ = record_number;
}

std::string AccountOrderGuard::Message(std::string_view file_name) const {
  return AccountOrderMessage(file_name, broken_record_);
}

std::string AccountOrderMessage(std::string_view file_name, std::uint64_t record_number) {
  return "Zbiór "_w + std::string(file_name) + " nie jest uporządkowany według kont (zapis "_w +
         std::to_string(record_number + 1) + ")";
}

}  // namespace zel
