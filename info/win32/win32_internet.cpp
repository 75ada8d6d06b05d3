#include "info/win32/win32_internet.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <utility>

#include "core/win32/handles.h"
#include "core/win32/paths.h"

namespace runlens {
namespace {

constexpr DWORD kReadChunk = 1024;
constexpr DWORD kHttpOk = 200;
constexpr DWORD kVolumeNameBuffer = 255;
constexpr DWORD kLongestLocation = 8 * 1024;

DWORD MillisecondsLeft(Deadline deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now())
            .count();
    return left <= 0 ? 0 : static_cast<DWORD>(std::min<long long>(left, INFINITE - 1));
}

bool IsRedirect(DWORD status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// A WinInet handle, closed once when it goes.
class InternetHandle {
  public:
    InternetHandle(const InternetFunctions& internet, HINTERNET handle)
        : close_(internet.internetCloseHandle), handle_(handle) {}
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;
    ~InternetHandle() {
        if (handle_)
            close_(handle_);
    }
    HINTERNET get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

  private:
    const decltype(InternetFunctions::internetCloseHandle) close_;
    const HINTERNET handle_;
};

// One request's work, on a thread of its own so that the caller can keep its deadline whatever
// the server does. Every handle of the request belongs to that thread alone: it opens them,
// uses them and closes them. At the deadline the caller only says that it gave up; the thread
// looks before each call and then stops, closing its handles. A handle closed by another thread
// could meanwhile have been given to another request, whose handle the thread would then use.
// The system's timeouts, cut to the time that was left, end the call the thread is in; Wine 8
// ignores them while a silent server holds the response, and the thread then ends when the
// server lets go.
class Exchange {
  public:
    Exchange(const InternetFunctions& internet, std::string address, std::string agent,
             Deadline deadline, DWORD flags, bool readBody)
        : internet_(internet),
          address_(std::move(address)),
          agent_(std::move(agent)),
          deadline_(deadline),
          flags_(flags),
          readBody_(readBody) {}
    Exchange(const Exchange&) = delete;
    Exchange& operator=(const Exchange&) = delete;

    // The caller, at the deadline.
    void Abandon() { abandoned_.store(true); }

    // The thread's work: the request, its redirects and its body.
    void Run() {
        const DWORD timeout = MillisecondsLeft(deadline_);
        if (timeout == 0 || Abandoned())
            return;
        const InternetHandle root(
            internet_, internet_.internetOpenA(agent_.c_str(), INTERNET_OPEN_TYPE_PRECONFIG,
                                               nullptr, nullptr, 0));
        if (!root)
            return;
        for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                                   INTERNET_OPTION_RECEIVE_TIMEOUT}) {
            DWORD value = timeout;
            internet_.internetSetOptionA(root.get(), option, &value, sizeof(value));
        }
        std::string address = address_;
        for (int redirects = 0;; ++redirects) {
            if (Abandoned())
                return;
            const InternetHandle request(
                internet_, internet_.internetOpenUrlA(root.get(), address.c_str(), nullptr, 0,
                                                      flags_ | INTERNET_FLAG_NO_AUTO_REDIRECT, 0));
            if (!request || Abandoned())
                return;
            DWORD status = 0;
            DWORD length = sizeof(status);
            if (!internet_.httpQueryInfoA(request.get(),
                                          HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                                          &length, nullptr)) {
                status = 0;
            }
            if (!IsRedirect(status)) {
                status_ = status;
                if (readBody_)
                    body_ = ReadBody(request.get());
                finished_ = !Abandoned();
                return;
            }
            const auto next = RedirectTarget(address, Location(request.get()));
            if (!next || redirects == kMostRedirects)
                return;
            address = *next;
        }
    }

    // Read once the thread has ended before the deadline.
    bool Finished() const { return finished_; }
    DWORD Status() const { return status_; }
    const std::string& Body() const { return body_; }

  private:
    bool Abandoned() const { return abandoned_.load(); }

    std::string Location(HINTERNET request) {
        std::string location(kLongestLocation, '\0');
        DWORD length = kLongestLocation;
        if (Abandoned() || !internet_.httpQueryInfoA(request, HTTP_QUERY_LOCATION, location.data(),
                                                     &length, nullptr)) {
            return {};
        }
        location.resize(::strnlen(location.c_str(), std::min<DWORD>(length, kLongestLocation)));
        return location;
    }

    // Up to kFetchCap bytes received, each read's text up to its first zero byte: a stream of
    // zero bytes ends at the cap like any other. Each read takes only what has arrived, so that
    // a body that comes a byte at a time is looked at between its bytes: a read of more waits
    // for all of it.
    std::string ReadBody(HINTERNET request) {
        std::string text;
        std::size_t received = 0;
        char buffer[kReadChunk + 1];
        while (received < kFetchCap && !Abandoned()) {
            DWORD available = 0;
            if (!internet_.internetQueryDataAvailable(request, &available, 0, 0) ||
                available == 0 || Abandoned()) {
                break;
            }
            DWORD read = 0;
            const auto want = static_cast<DWORD>(
                std::min<std::size_t>({kReadChunk, kFetchCap - received, available}));
            if (!internet_.internetReadFile(request, buffer, want, &read) || read == 0)
                break;
            received += read;
            buffer[read] = '\0';
            text.append(buffer, ::strnlen(buffer, read));
        }
        return text;
    }

    const InternetFunctions internet_;  // a copy: the thread may outlive the caller's table
    const std::string address_;
    const std::string agent_;
    const Deadline deadline_;
    const DWORD flags_;
    const bool readBody_;
    std::atomic<bool> abandoned_{false};
    // The thread's; read by the caller only after the thread has ended.
    bool finished_ = false;
    DWORD status_ = 0;
    std::string body_;
};

DWORD WINAPI RunExchange(void* ticket) {
    const std::unique_ptr<std::shared_ptr<Exchange>> exchange(
        static_cast<std::shared_ptr<Exchange>*>(ticket));
    (*exchange)->Run();
    return 0;
}

// How often a caller that may give up looks whether it has.
constexpr DWORD kGiveUpCheckMs = 50;

// The finished exchange, or nothing when it failed to start, the deadline came first or the
// caller gave up.
std::shared_ptr<Exchange> Exchanged(const InternetFunctions& internet, std::string_view address,
                                    std::string_view agent, Deadline deadline, DWORD flags,
                                    bool readBody, const std::atomic<bool>* givenUp) {
    if (MillisecondsLeft(deadline) == 0 || !internet.internetOpenA)
        return nullptr;
    auto exchange = std::make_shared<Exchange>(internet, std::string(address), std::string(agent),
                                               deadline, flags, readBody);
    auto ticket = std::make_unique<std::shared_ptr<Exchange>>(exchange);
    const UniqueHandle thread(::CreateThread(nullptr, 0, &RunExchange, ticket.get(), 0, nullptr));
    if (!thread)
        return nullptr;
    ticket.release();  // the thread's now
    for (;;) {
        const DWORD left = MillisecondsLeft(deadline);
        const DWORD wait = givenUp ? std::min(left, kGiveUpCheckMs) : left;
        if (::WaitForSingleObject(thread.get(), wait) == WAIT_OBJECT_0)
            break;
        if (left <= wait || (givenUp && givenUp->load())) {
            exchange->Abandon();
            return nullptr;
        }
    }
    return exchange->Finished() ? exchange : nullptr;
}

bool Exists(const InternetFunctions& internet, std::string_view address, std::string_view agent,
            Deadline deadline, const std::atomic<bool>* givenUp) {
    const auto exchange = Exchanged(internet, address, agent, deadline, 0, false, givenUp);
    return exchange && exchange->Status() == kHttpOk;
}

std::string Fetched(const InternetFunctions& internet, std::string_view address,
                    std::string_view agent, Deadline deadline, const std::atomic<bool>* givenUp) {
    const auto exchange = Exchanged(internet, address, agent, deadline,
                                    INTERNET_FLAG_EXISTING_CONNECT, true, givenUp);
    return exchange ? exchange->Body() : std::string();
}

}  // namespace

bool UrlExists(std::string_view address, std::string_view agent, Deadline deadline,
               const InternetFunctions& internet) {
    return Exists(internet, address, agent, deadline, nullptr);
}

bool UrlExists(std::string_view address, std::string_view agent, Deadline deadline,
               const std::atomic<bool>& givenUp, const InternetFunctions& internet) {
    return Exists(internet, address, agent, deadline, &givenUp);
}

std::string FetchUrlText(std::string_view address, std::string_view agent, Deadline deadline,
                         const InternetFunctions& internet) {
    return Fetched(internet, address, agent, deadline, nullptr);
}

std::string FetchUrlText(std::string_view address, std::string_view agent, Deadline deadline,
                         const std::atomic<bool>& givenUp, const InternetFunctions& internet) {
    return Fetched(internet, address, agent, deadline, &givenUp);
}

std::uint32_t GetVolumeSerial() {
    return VolumeSerialOf(ProgramFilePath());
}

std::uint32_t VolumeSerialOf(std::wstring_view full) {
    // The drive part of the path and a backslash: "C:\" or "\\server\share\".
    std::wstring root;
    if (full.size() >= 2 && full[1] == L':') {
        root = std::wstring(full.substr(0, 2)) + L"\\";
    } else if (full.starts_with(L"\\\\")) {
        const std::size_t share = full.find(L'\\', 2);
        const std::size_t end =
            share == std::wstring_view::npos ? share : full.find(L'\\', share + 1);
        root = std::wstring(full.substr(0, end)) + L"\\";
    } else {
        return 0;
    }
    wchar_t name[kVolumeNameBuffer];
    wchar_t fileSystem[kVolumeNameBuffer];
    DWORD serial = 0;
    if (!::GetVolumeInformationW(root.c_str(), name, kVolumeNameBuffer, &serial, nullptr, nullptr,
                                 fileSystem, kVolumeNameBuffer)) {
        return 0;
    }
    return serial;
}

}  // namespace runlens
