#include "store/account_record.hpp"

#include <algorithm>
#include <cstring>

#include "common/pltext.hpp"

namespace zel {

namespace {

std::uint16_t GetU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void PutU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

// A length-prefixed text at p, its length byte clamped to the capacity.
template <std::size_t N>
void Field(const std::uint8_t* p, FixedText<N>& t) {
  t.assign(std::string_view(reinterpret_cast<const char*>(p + 1), std::min<std::size_t>(p[0], N)));
}

Stamp DecodeStamp(const std::uint8_t* p) {
  Stamp s;
  s.day = GetU16(p);
  s.minutes = GetU16(p + 2);
  std::memcpy(s.user.data(), p + 4, 3);
  return s;
}

void EncodeStamp(const Stamp& s, std::uint8_t* p) {
  PutU16(p, s.day);
  PutU16(p + 2, s.minutes);
  std::memcpy(p + 4, s.user.data(), 3);
}

// Both conversions map byte to byte, so a table built once from them
// converts without allocating (the chart loader converts every record).
using ByteMap = std::array<char, 256>;

ByteMap BuildMap(std::string (*convert)(std::string_view)) {
  ByteMap map{};
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    const std::string out = convert(std::string_view(&c, 1));
    map[b] = out.size() == 1 ? out[0] : c;
  }
  return map;
}

template <std::size_t N>
void Convert(FixedText<N>& t, const ByteMap& map) {
  char buf[N];
  for (std::size_t i = 0; i < t.size(); ++i) buf[i] = map[static_cast<std::uint8_t>(t[i])];
  t = std::string_view(buf, t.size());
}

const ByteMap& DosMap() {
  static const ByteMap map = BuildMap(DosToWin);
  return map;
}

const ByteMap& WinMap() {
  static const ByteMap map = BuildMap(WinToDos);
  return map;
}

template <std::size_t N>
void ToWin(FixedText<N>& t) {
  if (!t.empty()) Convert(t, DosMap());
}

template <std::size_t N>
void ToDos(FixedText<N>& t) {
  if (!t.empty()) Convert(t, WinMap());
}

}  // namespace

AccountRecord DecodeAccountRecord(const std::uint8_t* p) {
  AccountRecord r;
  DecodeAccountRecord(p, &r);
  return r;
}

void DecodeAccountRecord(const std::uint8_t* p, AccountRecord* r) {
  Field(p + 0, r->symbol);
  r->status = p[26];
  Field(p + 27, r->name);
  Field(p + 78, r->address);
  Field(p + 129, r->extra);
  Field(p + 180, r->nip);
  r->attribute = static_cast<char>(p[196]);
  Field(p + 197, r->shortName);
  Field(p + 214, r->spare);
  r->written = DecodeStamp(p + 235);
  r->changed = DecodeStamp(p + 242);
}

void EncodeAccountRecord(const AccountRecord& r, std::uint8_t* p) {
  std::memset(p, 0, kAccountRecordSize);
  r.symbol.Encode(p + 0);
  p[26] = r.status;
  r.name.Encode(p + 27);
  r.address.Encode(p + 78);
  r.extra.Encode(p + 129);
  r.nip.Encode(p + 180);
  p[196] = static_cast<std::uint8_t>(r.attribute);
  r.shortName.Encode(p + 197);
  r.spare.Encode(p + 214);
  EncodeStamp(r.written, p + 235);
  EncodeStamp(r.changed, p + 242);
}

std::array<std::uint8_t, kAccountRecordSize> EncodeAccountRecord(const AccountRecord& r) {
  std::array<std::uint8_t, kAccountRecordSize> bytes;
  EncodeAccountRecord(r, bytes.data());
  return bytes;
}

const std::array<char, 256>& DosToWinTable() {
  return DosMap();
}

void AccountTextsToWin(AccountRecord& r) {
  ToWin(r.name);
  ToWin(r.address);
  ToWin(r.extra);
  ToWin(r.nip);
  ToWin(r.shortName);
  ToWin(r.spare);
}

void AccountTextsToDos(AccountRecord& r) {
  ToDos(r.name);
  ToDos(r.address);
  ToDos(r.extra);
  ToDos(r.nip);
  ToDos(r.shortName);
  ToDos(r.spare);
}

std::string FullName(const AccountRecord& r) {
  std::string s(r.name.view());
  if (!r.address.empty()) {
    s += ", ";
    s += r.address.view();
  }
  if (!r.nip.empty()) {
    s += ", ";
    s += r.nip.view();
  }
  if (s.size() > 250) s.resize(250);
  return s;
}

OldChartRecord DecodeOldChartRecord(const std::uint8_t* p) {
  OldChartRecord r;
  r.symbol = FixedText<12>::Decode(p + 0);
  r.shortName = FixedText<12>::Decode(p + 13);
  r.name = FixedText<70>::Decode(p + 26);
  return r;
}

void EncodeOldChartRecord(const OldChartRecord& r, std::uint8_t* p) {
  std::memset(p, 0, kOldChartRecordSize);
  r.symbol.Encode(p + 0);
  r.shortName.Encode(p + 13);
  r.name.Encode(p + 26);
}

ContractorRecord DecodeContractorRecord(const std::uint8_t* p) {
  ContractorRecord r;
  r.symbol = FixedText<18>::Decode(p + 0);
  r.nip = FixedText<15>::Decode(p + 19);
  r.shortName = FixedText<12>::Decode(p + 35);
  r.name = FixedText<70>::Decode(p + 48);
  return r;
}

void EncodeContractorRecord(const ContractorRecord& r, std::uint8_t* p) {
  std::memset(p, 0, kContractorRecordSize);
  r.symbol.Encode(p + 0);
  r.nip.Encode(p + 19);
  r.shortName.Encode(p + 35);
  r.name.Encode(p + 48);
}

void SplitOldName(std::string_view text, FixedText<50>* name, FixedText<50>* address) {
  constexpr std::size_t kWidth = 50;
  if (text.size() <= kWidth) {
    *name = text;
    address->clear();
    return;
  }
  std::size_t cut = 0;
  // A comma at 1-based position n <= 50 with fewer than 50 characters after it.
  for (std::size_t n = 1; n <= kWidth; ++n) {
    if (text[n - 1] == ',' && text.size() - n < kWidth) {
      cut = n;
      break;
    }
  }
  if (cut == 0) {
    for (std::size_t n = kWidth; n >= 1; --n) {
      if (text[n - 1] == ' ') {
        cut = n;
        break;
      }
    }
  }
  if (cut == 0) cut = kWidth;
  *name = text.substr(0, cut);
  std::string_view rest = text.substr(cut, kWidth);
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  *address = rest;
}

}  // namespace zel
