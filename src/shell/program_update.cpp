#include "shell/program_update.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "common/concat.hpp"
#include "common/cp1250.hpp"
#include "platform/download.hpp"
#include "shell/status.hpp"

namespace zel {

namespace {

// The key whose private half signs the program files published for update.
constexpr SigningKey kMakerKey = {
    0x5a, 0x5d, 0x70, 0xe8, 0xc8, 0x9c, 0x4e, 0x45, 0x5f, 0x44, 0x53,
    0x5c, 0x47, 0xf3, 0x22, 0xff, 0x2f, 0x40, 0xb5, 0xf0, 0xad, 0x67,
    0x5e, 0x0e, 0x5f, 0xac, 0x27, 0x5b, 0x9c, 0x7e, 0xf6, 0xa7};

// How much smaller than the running program a fetched one may be.
constexpr std::int64_t kSizeSlack = 88444;

std::int64_t FileSize(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<std::int64_t>(st.st_size) : 0;
}

bool ReadWhole(const std::string& path, std::string* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// The server's name for the messages: the address without its scheme and path.
std::string ServerName(const std::string& address) {
  std::string host = address;
  const std::size_t scheme = host.find("://");
  if (scheme != std::string::npos) host.erase(0, scheme + 3);
  return host.substr(0, host.find('/'));
}

UpdateAnswer Say(UpdateAnswer answer, std::string_view text_utf8) {
  ShowStatus(Utf8ToWin(text_utf8), kWarning);
  return answer;
}

}  // namespace

const SigningKey& MakerSigningKey() { return kMakerKey; }

bool InstalledAsPackage(const std::string& program) {
  return program.rfind("/usr/", 0) == 0 || program.rfind("/opt/", 0) == 0;
}

UpdateAnswer UpdateProgramFile(const UpdateRequest& request) {
  if (InstalledAsPackage(request.program)) {
    return Say(UpdateAnswer::kPackaged,
               "Program zainstalowany z pakietu: aktualizuje go menedżer pakietów");
  }
  if (request.address.empty()) {
    return Say(UpdateAnswer::kNoAddress,
               "Nie ustawiono adresu aktualizacji (AdresAkt): nic nie pobrano");
  }
  const std::size_t slash = request.program.rfind('/');
  const std::string folder = request.program.substr(0, slash + 1);
  const std::string name = request.program.substr(slash + 1);
  const std::string local = Concat({folder, "1", name});
  const std::string signature_file = local + ".sig";
  std::string address = request.address;
  if (!address.empty() && address.back() != '/') address += '/';
  address = Lower(address + name);
  if (!DownloadAddressAllowed(address)) {
    return Say(UpdateAnswer::kBadAddress,
               "Adres aktualizacji musi zaczynać się od https:// : nic nie pobrano");
  }

  ShowStatus(Utf8ToWin(Concat({"www=>", local})), kInfo);
  std::string error;
  if (DownloadFile(address, local, request.max_bytes, &error) != DownloadResult::kDone) {
    return Say(UpdateAnswer::kUnavailable,
               Concat({ServerName(address), "/", name, " niedostępny (", error, ")"}));
  }
  auto drop = [&] {
    ::unlink(local.c_str());
    ::unlink(signature_file.c_str());
  };
  if (DownloadFile(address + ".sig", signature_file, 4096, &error) != DownloadResult::kDone) {
    drop();
    return Say(UpdateAnswer::kUnavailable,
               Concat({ServerName(address), "/", name, ".sig niedostępny (", error, ")"}));
  }
  if (FileSize(local) + kSizeSlack < FileSize(request.program)) {
    drop();
    return Say(UpdateAnswer::kTooSmall, Concat({"Za mały ściągnięty ", name}));
  }
  std::string program_bytes;
  std::string signature;
  if (!ReadWhole(local, &program_bytes) || !ReadWhole(signature_file, &signature) ||
      !SignatureValid(program_bytes, signature, request.key)) {
    drop();
    return Say(UpdateAnswer::kBadSignature,
               Concat({"Zły podpis pobranego ", name, ": program nie został zmieniony"}));
  }
  ::unlink(signature_file.c_str());

  // The old program stays beside as ".old" (a second name of the same file),
  // then the new one takes the name in one rename: at every moment the name
  // holds a whole program.
  const std::string old = request.program + ".old";
  if (::chmod(local.c_str(), 0755) != 0 || (::unlink(old.c_str()) != 0 && errno != ENOENT) ||
      ::link(request.program.c_str(), old.c_str()) != 0) {
    drop();
    return Say(UpdateAnswer::kNotReplaced,
               Concat({"Nie mogę zachować starego programu jako ", old,
                       ": program nie został zmieniony"}));
  }
  if (std::rename(local.c_str(), request.program.c_str()) != 0) {
    drop();
    return Say(UpdateAnswer::kNotReplaced,
               Concat({"Nie mogę zastąpić ", request.program, ": program nie został zmieniony"}));
  }
  ShowStatus("Restart Zel", kWarning);
  return UpdateAnswer::kReplaced;
}

}  // namespace zel
