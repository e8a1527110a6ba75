// FZestaw: running the option (pre-run checks, run modes and action codes,
// the PDF printer, the cursor afterwards) and the services a running option
// asks of its window.
#include <algorithm>

#include "common/cp1250.hpp"
#include "common/numbers.hpp"
#include "fields/option_dispatch.hpp"
#include "fields/option_values.hpp"
#include "fields/shell_options.hpp"
#include "fields/zestaw.hpp"
#include "fields/zestaw_rules.hpp"
#include "menu/current_option.hpp"
#include "output/report_document.hpp"
#include "platform/folders.hpp"
#include "shell/settings.hpp"
#include "shell/settings_keys.hpp"
#include "shell/state.hpp"

namespace zel {

void FZestaw::RunFromViewer(std::string_view code) {
  viewer_code_ = std::string(code.substr(0, 4));
  Run(kRunViewer);
}

bool FZestaw::PreRunChecks() {
  int count = fields_.SlotCount();
  for (int s = 1; s <= count; ++s) {
    const FieldSlot& fs = fields_.Slot(s);
    int n = fs.number;
    std::string_view v = fs.value.view();
    bool bad = false;
    if (n == 31) {
      bad = FindFiles(std::string(v) + "\\*.PFX").empty();
    } else if (n == 32) {
      int folder_slot = fields_.FindSlot(31);
      std::string folder =
          folder_slot > 0 ? fields_.Slot(folder_slot).value.str() : ShellFields.edit_folder.str();
      bad = !IsFile(folder + "\\" + std::string(v) + ".PFX");
    } else if (n == 36 || n == 37) {
      bad = v.empty();
    } else if (n == 62 || n == 63) {
      if (s < count) {
        const FieldSlot& next = fields_.Slot(s + 1);
        bool follows = n == 62 ? (next.number == 63 || next.number == 64) : next.number == 64;
        int deeper = ParseInt(next.value.view());
        bad = follows && deeper != 0 && ParseInt(v) >= deeper;
      }
    } else if (n >= 41 && n != 64) {
      bad = module_.BladPola(kOwner, s);
    }
    if (bad) {
      state_ = kZesWaiting;
      MoveTo(s, +1);
      return false;
    }
  }
  return true;
}

void FZestaw::Run(std::uint8_t mode) {
  if (state_ == kZesRunning || state_ == kZesAbort) return;
  move_reason_ = kMoveRun;
  if (current_ > 0) {
    MoveTo(current_, +1);
    // A value the window has just corrected waits for the user's Enter.
    if (last_commit_corrected_) return;
  }
  editor_.visible = false;
  if (!PreRunChecks()) return;
  if (state_ == kZesRunning || state_ == kZesAbort || state_ == kZesMemo) return;

  state_ = kZesRunning;
  Status("Proszę czekać"_w, kInfo);
  return_field_ = 0;
  return_slot_ = 0;
  escaped_in_run_ = false;
  std::string printer_before = host_->CurrentPrinter();

  if (mode == kRunPdf || mode == kRunPdfOriginal) {
    std::string pdf;
    for (const std::string& p : host_->Printers()) {
      if (p.find("PDF") != std::string::npos) pdf = p;
    }
    if (pdf.empty()) {
      state_ = kZesWaiting;
      MoveTo(fields_.SlotCount(), -1);
      return;
    }
    host_->SetCurrentPrinter(pdf);
  }

  switch (mode) {
    case kRunSave: action_code_ = ""; break;
    case kRunPreview: action_code_ = "p"; break;
    case kRunPdf: action_code_ = "e"; break;
    case kRunPdfOriginal: action_code_ = "o"; break;
    case kRunPdfRight: action_code_ = "d"; break;
    case kRunViewer: action_code_ = viewer_code_; break;
    default:
      action_code_ = actions_.empty() ? std::string_view()
                                      : actions_[static_cast<std::size_t>(selected_action_)].code.view();
      break;
  }

  Status("Wykonuję -> "_w + action_code_.str(), kInfo);
  result_text_.clear();
  outcome_.clear();
  std::uint8_t index = OptionIndex;
  if (IsShellOption(index)) {
    RunShellOption(index);
  } else {
    module_.WykonaOpc(kOwner, *this, fields_);
  }
  // "Wykonane." only when something ran: an index whose procedure is not
  // there marks its window with a return slot and has said so already.
  bool ran = IsShellOption(index) || IsProcedureRegistered(index) || return_slot_ == 0;
  if (!ran && result_text_.empty()) {
    const DispatchRow* row = FindDispatchRow(index);
    if (row && row->procedure) result_text_ = ProcedureMissingText();
  }
  if (result_text_.empty() && ran) {
    if (outcome_.empty())
      Status("Wykonane.", kInfo);
    else
      Status(outcome_, kSuccess);
  }
  if (host_->CurrentPrinter() != printer_before) host_->SetCurrentPrinter(printer_before);
  AfterRun();
}

void FZestaw::RunShellOption(std::uint8_t index) {
  switch (index) {
    case 0: case 2: case 3: case 4: case 5: case 6: case 7: case 8:
      return;
    case 136:
      module_.ewZapiFis(kOwner);
      WriteSetting(false, "KonPrint",
                   StationSettings.print_font.font.str() + ";" + StationSettings.print_font.style.str());
      return;
    default:
      if (ShellOptions* runner = ShellOptionRunner(); runner && runner->Run(index, *this)) return;
      if (index == 140) return;  // without the shell's runner there is no password to change
      if (!host_->RunShellOption(index)) {
        result_text_ = ProcedureMissingText();
        Status(result_text_, kWarning);
      }
      return;
  }
}

void FZestaw::AfterRun() {
  int count = fields_.SlotCount();
  if (return_slot_ > 0) {
    if (state_ != kZesMemo) state_ = kZesWaiting;
    MoveTo(return_slot_, -1);
  } else if (return_field_ != 0) {
    int target = 1;
    for (int s = count; s >= 2; --s) {
      if (fields_.Slot(s).number == return_field_) {
        target = s;
        break;
      }
    }
    if (state_ != kZesMemo) state_ = kZesWaiting;
    MoveTo(target, +1);
  } else if (escaped_in_run_) {
    state_ = kZesWaiting;
    MoveTo(count, -1);
  } else {
    if (state_ != kZesMemo) state_ = kZesIdle;
    Close();
  }
  go_red_fresh_ = false;
}

// ---- services for option code ----

bool FZestaw::FieldError(int field_number, std::string_view text) {
  return_field_ = static_cast<std::int16_t>(field_number);
  go_caption_ = std::string(text);
  go_red_ = true;
  go_red_fresh_ = true;
  result_text_ = std::string(text);
  return true;
}

void FZestaw::Progress(std::string_view title, std::int64_t counter, std::int64_t total) {
  if (counter > 5 && counter % 100 != 0) return;
  host_->ShowProgress(title, ProgressNumber(counter) + " z " + ProgressNumber(total));
  host_->ProcessMessages();
}

void FZestaw::OpenRunBracket() {
  state_ = kZesRunning;
  editor_.visible = false;
  fbutton_.visible = false;
  memo_shown_ = true;
  memo_text_.clear();
  period_text_ = MakePeriodText(FromDate, ToDate);
  report_generation_ = CurrentReport().Generation();
}

void FZestaw::CloseRunBracket() {
  memo_shown_ = false;
  editor_.visible = true;
  if (state_ == kZesAbort) {
    escaped_in_run_ = true;
    state_ = kZesWaiting;
    MoveTo(fields_.SlotCount(), -1);
    return;
  }
  editor_.visible = false;
  state_ = kZesMemo;
  if (return_field_ != 0) return;
  // Only a report built by this run is finished and shown: an option that
  // wrote nothing must not bring back the previous report as its own.
  ReportDocument& doc = CurrentReport();
  if (doc.Generation() == report_generation_) return;
  std::int32_t last = doc.RowCount();
  bool finished = last > 0 && doc.RowKind(last) == '3' && doc.Cell(last, 1) == "=";
  if (!finished) RapKoniec();
  host_->OpenPreview();
}

}  // namespace zel
