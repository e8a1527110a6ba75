#include "menu/desktop_services.hpp"

namespace zel {

namespace {

class NoDesktop : public DesktopServices {
 public:
  void ShowKind(std::uint8_t, std::uint8_t) override {}
  void Ending() override {}
  void RetF3(bool) override {}
  void RetF45(bool) override {}
  void F45(std::uint8_t, std::uint8_t, std::string_view, std::uint16_t) override {}
  void SetClipboard(std::string_view) override {}
};

NoDesktop no_desktop;
DesktopServices* desktop = nullptr;

}  // namespace

DesktopServices* SetDesktopServices(DesktopServices* d) {
  DesktopServices* previous = desktop;
  desktop = d;
  return previous;
}

DesktopServices& Desktop() { return desktop ? *desktop : no_desktop; }

}  // namespace zel
