// Field behaviour that belongs to one option and lives with the option's
// procedure in a layer above the parameter window: the account editor
// loads an account when its symbol is committed, pages through the chart
// with PgUp and PgDn, and switching the chart takes the name when it is
// committed.
//
// An option registers its hooks by index at start (the caller keeps
// ownership). The parameter window's generic hooks call them after their own
// work; the values travel through the option texts (OptionText), and when a
// hook answers that it changed them the window shows every field again.
#pragma once

#include <cstdint>
#include <string>

namespace zel {

class OptionFieldHooks {
 public:
  virtual ~OptionFieldHooks() = default;
  // The committed value of field `number` was stored in the option texts.
  // True when other option texts changed and the fields are to be shown
  // again.
  virtual bool Stored(int number) = 0;
  // A paging key (PgUp 33, PgDn 34) in field `number`. True when the hook
  // used it: the window does not move, the fields are shown again and the
  // editor takes the field's new value.
  virtual bool PageKey(int number, std::uint16_t key) = 0;
  // What the display-only field `number` shows on its `row`-th slot (0 for
  // the first slot carrying the number). True when the hook fills it; the
  // window otherwise shows the option text.
  virtual bool Shown(int number, int row, std::string* text) {
    (void)number;
    (void)row;
    (void)text;
    return false;
  }
};

// nullptr removes the index's hooks.
void SetOptionFieldHooks(std::uint8_t index, OptionFieldHooks* hooks);
// The hooks of an index, nullptr when it has none.
OptionFieldHooks* OptionFieldHooksOf(std::uint8_t index);

}  // namespace zel
