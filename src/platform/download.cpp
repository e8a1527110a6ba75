#include "platform/download.hpp"

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace zel {

namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

struct Sink {
  int fd = -1;
  std::uint64_t written = 0;
  std::uint64_t limit = 0;
  bool too_large = false;
  bool write_failed = false;
};

std::size_t WriteChunk(char* data, std::size_t size, std::size_t count, void* user) {
  Sink& sink = *static_cast<Sink*>(user);
  const std::size_t n = size * count;
  if (sink.written + n > sink.limit) {
    sink.too_large = true;
    return 0;  // stops the transfer
  }
  std::size_t done = 0;
  while (done < n) {
    const ssize_t w = ::write(sink.fd, data + done, n - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      sink.write_failed = true;
      return 0;
    }
    done += static_cast<std::size_t>(w);
  }
  sink.written += n;
  return n;
}

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

bool DownloadAddressAllowed(std::string_view url) {
  const std::string lower = Lower(url);
  if (lower.rfind("https://", 0) == 0) return lower.size() > 8;
  if (lower.rfind("http://", 0) != 0) return false;
  std::string host = lower.substr(7);
  host = host.substr(0, host.find_first_of("/?#"));
  // Credentials in the address could hide the real host ("http://127.0.0.1@elsewhere").
  if (host.find('@') != std::string::npos) return false;
  if (host.rfind("[::1]", 0) == 0) return host.size() == 5 || host[5] == ':';
  host = host.substr(0, host.find(':'));
  return host == "127.0.0.1" || host == "localhost";
}

DownloadResult DownloadFile(std::string_view url, const std::string& target,
                            std::uint64_t max_bytes, std::string* error) {
  auto fail = [&](DownloadResult r, std::string text) {
    if (error != nullptr) *error = std::move(text);
    return r;
  };
  if (!DownloadAddressAllowed(url)) {
    return fail(DownloadResult::kRefusedAddress, "adres musi zaczynać się od https://");
  }
  InitCurlOnce();
  const std::string part = target + ".part";
  Sink sink;
  sink.limit = max_bytes;
  sink.fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (sink.fd < 0) return fail(DownloadResult::kFailed, "nie mogę utworzyć " + part);

  CURL* curl = curl_easy_init();
  if (curl == nullptr) {
    ::close(sink.fd);
    ::unlink(part.c_str());
    return fail(DownloadResult::kFailed, "biblioteka pobierania nie działa");
  }
  const std::string address(url);
  const bool loopback_http = Lower(address).rfind("http://", 0) == 0;
  char curl_error[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_URL, address.c_str());
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, loopback_http ? "http" : "https");
  curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "https");
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, loopback_http ? 0L : 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 15L);
  // A stalled transfer (under 1 byte a second for 60 seconds) is given up.
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 60L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(max_bytes));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &WriteChunk);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, curl_error);
  const CURLcode rc = curl_easy_perform(curl);
  curl_easy_cleanup(curl);

  const bool flushed = ::fsync(sink.fd) == 0;
  const bool closed = ::close(sink.fd) == 0;
  if (rc != CURLE_OK || !flushed || !closed) {
    ::unlink(part.c_str());
    if (sink.too_large || rc == CURLE_FILESIZE_EXCEEDED) {
      return fail(DownloadResult::kTooLarge, "plik większy niż dopuszczalny");
    }
    if (sink.write_failed || !flushed || !closed) {
      return fail(DownloadResult::kFailed, "błąd zapisu " + part);
    }
    return fail(DownloadResult::kFailed,
                curl_error[0] != '\0' ? std::string(curl_error) : curl_easy_strerror(rc));
  }
  if (std::rename(part.c_str(), target.c_str()) != 0) {
    ::unlink(part.c_str());
    return fail(DownloadResult::kFailed, "nie mogę zapisać " + target);
  }
  return DownloadResult::kDone;
}

}  // namespace zel
