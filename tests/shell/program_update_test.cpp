// The program update against a small HTTP server on this machine's loopback
// address: only a download whose signature checks replaces the program, and
// every refusal leaves the program and its folder as they were.
#include "shell/program_update.hpp"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "common/cp1250.hpp"
#include "platform/download.hpp"
#include "shell/status.hpp"
#include "shell/status_recorder.hpp"
#include "support/temp_folder.hpp"

namespace zel {
namespace {

// Serves fixed files over HTTP/1.0 on 127.0.0.1, one connection at a time.
class LoopbackServer {
 public:
  explicit LoopbackServer(std::map<std::string, std::string> files) : files_(std::move(files)) {
    fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    EXPECT_EQ(::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    socklen_t len = sizeof addr;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    EXPECT_EQ(::listen(fd_, 8), 0);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    stop_ = true;
    ::shutdown(fd_, SHUT_RDWR);
    ::close(fd_);
    thread_.join();
  }
  int port() const { return port_; }

 private:
  void Serve() {
    while (!stop_) {
      const int client = ::accept(fd_, nullptr, nullptr);
      if (client < 0) return;
      std::string request;
      char buffer[1024];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, static_cast<std::size_t>(n));
      }
      const std::size_t start = request.find(' ') + 1;
      const std::string path = request.substr(start, request.find(' ', start) - start);
      const auto it = files_.find(path);
      std::string reply = it == files_.end()
                              ? std::string("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n")
                              : "HTTP/1.0 200 OK\r\nContent-Length: " +
                                    std::to_string(it->second.size()) + "\r\n\r\n" + it->second;
      std::size_t sent = 0;
      while (sent < reply.size()) {
        const ssize_t n = ::send(client, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
      }
      ::close(client);
    }
  }

  std::map<std::string, std::string> files_;
  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

struct KeyPair {
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key{nullptr, &EVP_PKEY_free};
  SigningKey public_key{};

  KeyPair() {
    std::unique_ptr<EVP_PKEY_CTX, decltype(&EVP_PKEY_CTX_free)> ctx(
        EVP_PKEY_CTX_new_id(EVP_PKEY_ED25519, nullptr), &EVP_PKEY_CTX_free);
    EVP_PKEY* made = nullptr;
    EVP_PKEY_keygen_init(ctx.get());
    EVP_PKEY_keygen(ctx.get(), &made);
    key.reset(made);
    std::size_t len = public_key.size();
    EVP_PKEY_get_raw_public_key(made, public_key.data(), &len);
  }
  std::string Sign(const std::string& data) const {
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(),
                                                                 &EVP_MD_CTX_free);
    EVP_DigestSignInit(ctx.get(), nullptr, nullptr, nullptr, key.get());
    std::string signature(64, '\0');
    std::size_t len = signature.size();
    EVP_DigestSign(ctx.get(), reinterpret_cast<unsigned char*>(signature.data()), &len,
                   reinterpret_cast<const unsigned char*>(data.data()), data.size());
    return signature;
  }
};

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(ProgramUpdateTest, OnlyASignedWholeDownloadReplacesTheProgram) {
  const KeyPair maker;
  const KeyPair stranger;
  const std::string installed = "old program " + std::string(100000, 'o');
  const std::string fresh = "new program " + std::string(100000, 'n');
  const std::string small = "broken";

  struct Case {
    const char* name;
    std::map<std::string, std::string> files;  // what the server gives
    bool server_up;
    UpdateAnswer answer;
    const char* message;  // the start of the status text
  };
  const Case cases[] = {
      {"good signature", {{"/zel", fresh}, {"/zel.sig", maker.Sign(fresh)}}, true,
       UpdateAnswer::kReplaced, "Restart Zel"},
      {"signed by another key", {{"/zel", fresh}, {"/zel.sig", stranger.Sign(fresh)}}, true,
       UpdateAnswer::kBadSignature, "Zły podpis pobranego zel"},
      {"signature of other bytes", {{"/zel", fresh}, {"/zel.sig", maker.Sign(installed)}}, true,
       UpdateAnswer::kBadSignature, "Zły podpis pobranego zel"},
      {"no signature", {{"/zel", fresh}}, true, UpdateAnswer::kUnavailable, "127.0.0.1:"},
      {"too small", {{"/zel", small}, {"/zel.sig", maker.Sign(small)}}, true,
       UpdateAnswer::kTooSmall, "Za mały ściągnięty zel"},
      {"no program", {}, true, UpdateAnswer::kUnavailable, "127.0.0.1:"},
      {"server missing", {}, false, UpdateAnswer::kUnavailable, "127.0.0.1:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::StatusRecorder status;
    const std::string folder = MakeTempFolder("update");
    const std::string program = folder + "/zel";
    Write(program, installed);
    int port = 0;
    std::unique_ptr<LoopbackServer> server;
    if (c.server_up) {
      server = std::make_unique<LoopbackServer>(c.files);
      port = server->port();
    } else {
      // A port that was free a moment ago: nothing listens there.
      port = LoopbackServer({}).port();
    }
    UpdateRequest request;
    request.program = program;
    request.address = "http://127.0.0.1:" + std::to_string(port) + "/";
    request.key = maker.public_key;

    EXPECT_EQ(UpdateProgramFile(request), c.answer);
    EXPECT_EQ(WinToUtf8(LastMessage()).rfind(c.message, 0), 0u) << WinToUtf8(LastMessage());
    const bool replaced = c.answer == UpdateAnswer::kReplaced;
    EXPECT_EQ(Read(program), replaced ? fresh : installed);
    EXPECT_EQ(std::filesystem::exists(program + ".old"), replaced);
    if (replaced) {
      EXPECT_EQ(Read(program + ".old"), installed);
      EXPECT_EQ(std::filesystem::status(program).permissions() & std::filesystem::perms::owner_exec,
                std::filesystem::perms::owner_exec);
    }
    // Nothing fetched is left beside the program.
    for (const char* leftover : {"/1zel", "/1zel.sig", "/1zel.part", "/1zel.sig.part"}) {
      EXPECT_FALSE(std::filesystem::exists(folder + leftover)) << leftover;
    }
    std::filesystem::remove_all(folder);
  }
}

TEST(ProgramUpdateTest, AddressesOtherThanHttpsOrThisMachineAreRefused) {
  struct Case {
    const char* url;
    bool allowed;
  };
  const Case cases[] = {
      {"https://zel.example/zel", true},        {"HTTPS://ZEL.EXAMPLE/ZEL", true},
      {"http://127.0.0.1:8080/zel", true},      {"http://localhost/zel", true},
      {"http://[::1]:99/zel", true},            {"http://zel.example/zel", false},
      {"http://127.0.0.1@zel.example/", false}, {"http://127.0.0.1.example/", false},
      {"ftp://zel.example/zel", false},         {"file:///usr/bin/zel", false},
      {"https://", false},                      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(DownloadAddressAllowed(c.url), c.allowed) << c.url;
}

TEST(ProgramUpdateTest, PackagedProgramOrMissingAddressFetchesNothing) {
  testing::StatusRecorder status;
  UpdateRequest request;
  request.program = "/usr/bin/zel";
  request.address = "https://zel.example/";
  EXPECT_EQ(UpdateProgramFile(request), UpdateAnswer::kPackaged);
  request.program = MakeTempFolder("update") + "/zel";
  request.address.clear();
  EXPECT_EQ(UpdateProgramFile(request), UpdateAnswer::kNoAddress);
  request.address = "http://zel.example/";
  EXPECT_EQ(UpdateProgramFile(request), UpdateAnswer::kBadAddress);
}

}  // namespace
}  // namespace zel
