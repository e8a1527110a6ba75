#include "vat/vat_entry.hpp"

#include <cstring>

#include "common/pltext.hpp"
#include "store/journal_entry.hpp"

namespace zel {
namespace {

constexpr std::size_t kKey = 0;
constexpr std::size_t kNumber = 13;
constexpr std::size_t kRegistrationDate = 15;
constexpr std::size_t kInvoiceDate = 17;
constexpr std::size_t kMonthFlag = 19;
constexpr std::size_t kReference = 20;
constexpr std::size_t kNip = 46;
constexpr std::size_t kName = 62;
constexpr std::size_t kAddress = 113;
constexpr std::size_t kDocumentNo = 217;
constexpr std::size_t kDescription = 238;
constexpr std::size_t kVatDate = 279;
constexpr std::size_t kRegisterCode = 283;
constexpr std::size_t kLinesAt = 289;

static_assert(kLinesAt + kVatLines * kVatLineSize <= kVatEntrySize);
static_assert(kAddress + FixedText<103>::kFieldSize == kDocumentNo);
static_assert(kDocumentNo + FixedText<20>::kFieldSize == kDescription);
static_assert(kDescription + FixedText<40>::kFieldSize == kVatDate);

std::uint16_t Get16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

void Put16(std::uint16_t v, std::uint8_t* p) {
  p[0] = static_cast<std::uint8_t>(v & 0xFF);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

template <std::size_t N>
void ToWin(FixedText<N>& t) {
  t = DosToWin(t.view());
}

template <std::size_t N>
void ToDos(FixedText<N>& t) {
  t = WinToDos(t.view());
}

}  // namespace

// The journal records' amount form: one rule for what counts as a number.
bool ReadAmount10(const std::uint8_t* p, Amount* out) {
  return DecodeAmount(p, out);
}

void WriteAmount10(Amount value, std::uint8_t* p) {
  EncodeAmount(value, p);
}

VatEntry DecodeVatEntry(const std::uint8_t* p) {
  VatEntry e;
  e.key = FixedText<12>::Decode(p + kKey);
  e.number = Get16(p + kNumber);
  e.registration_date = Get16(p + kRegistrationDate);
  e.invoice_date = Get16(p + kInvoiceDate);
  e.month_flag = p[kMonthFlag];
  e.reference = FixedText<25>::Decode(p + kReference);
  e.nip = FixedText<15>::Decode(p + kNip);
  e.name = FixedText<50>::Decode(p + kName);
  e.address = FixedText<103>::Decode(p + kAddress);
  e.document_no = FixedText<20>::Decode(p + kDocumentNo);
  e.description = FixedText<40>::Decode(p + kDescription);
  e.vat_date = Get16(p + kVatDate);
  e.register_code = FixedText<5>::Decode(p + kRegisterCode);
  for (int i = 0; i < kVatLines; ++i) {
    const std::uint8_t* q = p + kLinesAt + i * kVatLineSize;
    VatLine& line = e.lines[i];
    line.letter = static_cast<char>(q[0]);
    if (!ReadAmount10(q + 1, &line.net)) e.amounts_ok = false;
    if (!ReadAmount10(q + 11, &line.vat)) e.amounts_ok = false;
    line.extra = {q[21], q[22]};
  }
  return e;
}

void EncodeVatEntry(const VatEntry& e, std::uint8_t* p) {
  std::memset(p, 0, kVatEntrySize);
  e.key.Encode(p + kKey);
  Put16(e.number, p + kNumber);
  Put16(e.registration_date, p + kRegistrationDate);
  Put16(e.invoice_date, p + kInvoiceDate);
  p[kMonthFlag] = e.month_flag;
  e.reference.Encode(p + kReference);
  e.nip.Encode(p + kNip);
  e.name.Encode(p + kName);
  e.address.Encode(p + kAddress);
  e.document_no.Encode(p + kDocumentNo);
  e.description.Encode(p + kDescription);
  Put16(e.vat_date, p + kVatDate);
  e.register_code.Encode(p + kRegisterCode);
  for (int i = 0; i < kVatLines; ++i) {
    std::uint8_t* q = p + kLinesAt + i * kVatLineSize;
    const VatLine& line = e.lines[i];
    q[0] = static_cast<std::uint8_t>(line.letter);
    WriteAmount10(line.net, q + 1);
    WriteAmount10(line.vat, q + 11);
    q[21] = line.extra[0];
    q[22] = line.extra[1];
  }
}

void VatEntryToWin(VatEntry& e) {
  ToWin(e.key);
  ToWin(e.reference);
  ToWin(e.name);
  ToWin(e.address);
  ToWin(e.description);
}

void VatEntryToDos(VatEntry& e) {
  ToDos(e.key);
  ToDos(e.reference);
  ToDos(e.name);
  ToDos(e.address);
  ToDos(e.description);
}

std::string VatRegisterCode(std::string_view file_name) {
  const std::size_t slash = file_name.find_last_of("\\/");
  if (slash != std::string_view::npos) file_name.remove_prefix(slash + 1);
  const std::size_t dot = file_name.rfind('.');
  if (dot != std::string_view::npos) file_name = file_name.substr(0, dot);
  if (file_name.size() <= 3) return {};
  return std::string(file_name.substr(3));
}

std::string VatRegisterFileName(std::string_view code, char kind) {
  std::string name = "Rej";
  name += code;
  name += ".R";
  name += kind;
  name += 'V';
  return name;
}

}  // namespace zel
