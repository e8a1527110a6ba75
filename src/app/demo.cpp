#include "app/demo.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/demo_build.hpp"
#include "common/dates.hpp"

namespace zel {
namespace {

demo::Scale ScaleFor(double factor) {
  demo::Scale s;
  if (factor <= 1.0) return s;
  auto times = [factor](int base) {
    return std::max(base, static_cast<int>(std::lround(base * factor)));
  };
  s.factor = factor;
  s.customers = times(14);
  s.suppliers = times(12);
  s.employees = std::min(999, 5 + static_cast<int>(factor / 10));
  s.centres = std::min(99, 5 + static_cast<int>(factor / 20));
  s.sales_per_month = times(10);
  s.purchases_per_month = times(9);
  s.deliberate_faults = false;
  return s;
}

DemoYear Build(const DemoOptions& options, const demo::Scale& scale) {
  demo::Builder b(options, scale);
  b.BuildFirm();
  b.BuildChart();
  b.BuildDocuments();
  if (options.audit_faults && options.postings <= 0) b.AddAuditFaults();
  if (options.settlement_cases) b.AddSettlementCases();
  return b.Take();
}

// The first eight bytes of a symbol, big-endian: comparing two of these
// orders symbols as the length-prefixed comparison does wherever they differ
// within eight characters (symbols hold no zero bytes).
std::uint64_t Prefix8(const AccountSymbol& s) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    v <<= 8;
    if (i < s.size()) v |= static_cast<std::uint8_t>(s[i]);
  }
  return v;
}

}  // namespace

DemoYear BuildDemoYear(const DemoOptions& options) {
  if (options.postings <= 0) {
    DemoYear year = Build(options, demo::Scale());
    AddVatExtras(year);
    return year;
  }
  // Two small years tell how many postings do not grow with the scale (the
  // month-end notes, the opening balances) and how many one unit of scale
  // adds; the scaled year is then about the number asked for.
  DemoOptions probe = options;
  probe.postings = 0;
  const double p1 = static_cast<double>(PostingCount(Build(probe, ScaleFor(1.0))));
  const double p4 = static_cast<double>(PostingCount(Build(probe, ScaleFor(4.0))));
  const double per_unit = std::max(1.0, (p4 - p1) / 3.0);
  const double fixed = p1 - per_unit;
  const double factor = (static_cast<double>(options.postings) - fixed) / per_unit;
  if (factor <= 1.0) {
    demo::Scale s = ScaleFor(1.0);
    s.deliberate_faults = false;
    return Build(options, s);
  }
  return Build(options, ScaleFor(factor));
}

std::int64_t PostingCount(const DemoYear& year) {
  std::int64_t n = 0;
  for (const JournalEntry& e : year.working) n += e.IsControl() ? 0 : 1;
  return n;
}

std::vector<std::uint32_t> AnnualOrder(const DemoYear& year) {
  struct Key {
    std::uint64_t prefix;
    std::uint32_t index;
  };
  std::vector<Key> keys;
  keys.reserve(year.working.size());
  for (std::uint32_t i = 0; i < year.working.size(); ++i) {
    const JournalEntry& e = year.working[i];
    if (!e.IsControl()) keys.push_back({Prefix8(e.account), i});
  }
  // The index breaks ties, so the unstable sort keeps file order within an
  // account.
  std::sort(keys.begin(), keys.end(), [&year](const Key& a, const Key& b) {
    if (a.prefix != b.prefix) return a.prefix < b.prefix;
    const AccountSymbol& sa = year.working[a.index].account;
    const AccountSymbol& sb = year.working[b.index].account;
    if (sa.size() > 8 || sb.size() > 8) {
      const int c = CompareSymbols(sa.view(), sb.view());
      if (c != 0) return c < 0;
    }
    return a.index < b.index;
  });
  std::vector<std::uint32_t> order;
  order.reserve(keys.size());
  for (const Key& k : keys) order.push_back(k.index);
  return order;
}

std::vector<DemoMonthFile> MonthFiles(const DemoYear& year) {
  // Documents: runs of records with one document number.
  struct Doc {
    std::size_t first, last;
    int month;
  };
  std::vector<Doc> docs;
  for (std::size_t i = 0; i < year.working.size();) {
    std::size_t j = i + 1;
    while (j < year.working.size() && year.working[j].documentNo == year.working[i].documentNo) ++j;
    const std::string ddmmyy = DayToDdMmYy(year.working[i].bookingDate);
    const int month = ddmmyy.size() == 6 ? (ddmmyy[2] - '0') * 10 + (ddmmyy[3] - '0') : 0;
    docs.push_back({i, j, month});
    i = j;
  }
  std::vector<DemoMonthFile> files;
  std::size_t d = 0;
  while (d < docs.size()) {
    const int month = docs[d].month < 1 || docs[d].month > 12 ? 1 : docs[d].month;
    std::size_t e = d + 1;
    while (e < docs.size() && docs[e].month <= month) ++e;
    char name[8];
    std::snprintf(name, sizeof name, "%02dA", month);
    const std::size_t half = d + (e - d + 1) / 2;
    files.push_back({name, docs[d].first, docs[half - 1].last});
    if (half < e) {
      std::snprintf(name, sizeof name, "%02d-1", month);
      files.push_back({name, docs[half].first, docs[e - 1].last});
    }
    d = e;
  }
  return files;
}

}  // namespace zel
