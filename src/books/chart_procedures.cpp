// Registration of the chart-of-accounts options and of their field hooks.
#include "books/chart_options.hpp"
#include "common/cp1250.hpp"
#include "fields/option_dispatch.hpp"
#include "fields/option_values.hpp"
#include "shell/state.hpp"

namespace zel {

namespace {

// Switching the chart happens when ZmPl is committed, and again when the
// option runs (a value kept from an earlier window is committed then). A
// name that cannot be switched to is reported by the run, once.
class ChartSwitchHooks final : public OptionFieldHooks {
 public:
  bool Stored(int number) override {
    if (number != kFieldZmPl) return false;
    std::string message;
    SwitchChart(OptionText(kFieldZmPl), &message);
    return false;
  }
  bool PageKey(int, std::uint16_t) override { return false; }
};

}  // namespace

void RegisterChartProcedures() {
  static ChartSwitchHooks switch_hooks;
  SetOptionFieldHooks(12, &AccountEditor());
  SetOptionFieldHooks(16, &switch_hooks);
  RegisterProcedure(12, [](OptionServices& window) { AccountEditor().Save(window); });
  RegisterProcedure(14, [](OptionServices& window) { ChartListing(window, 'S'); });
  RegisterProcedure(15, [](OptionServices& window) { ChartListing(window, 'P'); });
  RegisterProcedure(23, [](OptionServices& window) { ChartListing(window, 'N'); });
  RegisterProcedure(16, [](OptionServices& window) {
    std::string message;
    if (!SwitchChart(OptionText(kFieldZmPl), &message)) {
      window.FieldError(kFieldZmPl, message);
      return;
    }
    window.SetOutcome("Od teraz obowiązuje plan "_w + ChartPath.str());
  });
  RegisterProcedure(17, [](OptionServices& window) { AttachChart(window); });
}

}  // namespace zel
