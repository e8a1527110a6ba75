#include "fields/option_values.hpp"

#include "common/pltext.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"

namespace zel {

OptionValues Options;
ShellValues ShellFields;

bool MaskMatches(std::string_view mask, std::string_view symbol) {
  if (mask.size() < symbol.size()) return false;
  for (std::size_t i = 0; i < mask.size(); ++i) {
    if (i < symbol.size()) {
      if (mask[i] != '?' && mask[i] != symbol[i]) return false;
    } else if (mask[i] != '?') {
      return false;
    }
  }
  return true;
}

bool AccountMaskList::Add(std::string_view mask) {
  if (count >= kMaxAccountMasks) return false;
  masks[static_cast<std::size_t>(count++)] = mask;
  return true;
}

void AccountMaskList::Expand() {
  for (int i = 0; i < count; ++i) {
    auto& m = masks[static_cast<std::size_t>(i)];
    if (m.view().find('*') != std::string_view::npos) m = MaskExpand(m.view(), kMaskLength);
  }
}

void AccountMaskList::Compact() {
  int kept = 0;
  for (int i = 0; i < count; ++i) {
    std::string m = MaskCompact(masks[static_cast<std::size_t>(i)].view(), kMaskLength);
    if (m.empty()) continue;
    masks[static_cast<std::size_t>(kept++)] = m;
  }
  count = kept;
}

bool AccountMaskList::Selects(std::string_view symbol) const {
  if (count == 0) return true;
  for (int i = 0; i < count; ++i) {
    if (MaskMatches(masks[static_cast<std::size_t>(i)].view(), symbol)) return true;
  }
  return false;
}

bool DocumentMaskList::Add(std::string_view mask) {
  if (count >= kMaxDocumentMasks) return false;
  masks[static_cast<std::size_t>(count++)] = mask;
  return true;
}

void DocumentMaskList::SetFromField(std::string_view text) {
  Clear();
  while (!text.empty()) {
    const std::size_t comma = text.find(',');
    const std::string_view mask = text.substr(0, comma);
    if (!mask.empty()) Add(mask);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
}

std::string AnnualFilePath() { return DbDir.str() + DbSettings.annual_journal.str() + ".DFX"; }
std::string WorkFilePath() { return DbDir.str() + DbSettings.working_journal.str() + ".DFX"; }

std::string_view OptionText(int field_number) {
  if (field_number < 41 || field_number > 266) return {};
  return Options.texts[static_cast<std::size_t>(field_number)].view();
}

void SetOptionText(int field_number, std::string_view text) {
  if (field_number < 41 || field_number > 266) return;
  Options.texts[static_cast<std::size_t>(field_number)] = text;
}

}  // namespace zel
