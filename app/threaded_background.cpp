#include "app/threaded_background.h"

#include <algorithm>
#include <iterator>
#include <mutex>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>

namespace runlens {

struct LookupResult {
    LookupId lookup = 0;
    bool fetch = false;  // the notice's reply; else the probe's answer
    bool pageExists = false;
    std::string reply;
};

struct ThreadedBackground::Shared {
    Shared(std::shared_ptr<SiteClient> siteClient, std::shared_ptr<IconSource> iconSource,
           std::function<void()> wakeWindow)
        : site(std::move(siteClient)), icons(std::move(iconSource)), wake(std::move(wakeWindow)) {}

    // Queues a result unless its work was given up or the window has gone; the window is
    // woken for the first result of an empty queue.
    template <typename Result>
    void Put(const std::atomic<bool>& givenUp, Result result) {
        const std::lock_guard lock(mutex);
        if (closed || givenUp)
            return;
        const bool wasEmpty = lookups.empty() && iconResults.empty();
        if constexpr (std::is_same_v<Result, IconResult>)
            iconResults.push_back(std::move(result));
        else
            lookups.push_back(std::move(result));
        if (wasEmpty)
            wake();
    }

    const std::shared_ptr<SiteClient> site;
    const std::shared_ptr<IconSource> icons;
    const std::function<void()> wake;
    std::atomic<int> running{0};
    std::mutex mutex;
    bool closed = false;
    std::vector<LookupResult> lookups;
    std::vector<IconResult> iconResults;
};

namespace {

// The most icons one message hands to the window.
constexpr std::size_t kIconsPerDelivery = 8;

// Starts the work on a thread of its own, or, when the system gives no thread, runs `failed`
// in its place.
template <typename Work, typename Failed>
void RunOnThread(std::atomic<int>& running, Work work, Failed failed) {
    ++running;
    try {
        std::thread([&running, work = std::move(work)] {
            work();
            --running;
        }).detach();
    } catch (const std::system_error&) {
        --running;
        failed();
    }
}

}  // namespace

ThreadedBackground::ThreadedBackground(std::shared_ptr<SiteClient> site,
                                       std::shared_ptr<IconSource> icons,
                                       std::function<void()> wake)
    : shared_(std::make_shared<Shared>(std::move(site), std::move(icons), std::move(wake))) {}

ThreadedBackground::~ThreadedBackground() {
    const std::lock_guard lock(shared_->mutex);
    shared_->closed = true;
    for (auto& [lookup, flag] : lookups_)
        *flag = true;
    for (auto& [fill, flag] : fills_)
        *flag = true;
}

void ThreadedBackground::StartProbe(LookupId lookup, std::string address, Deadline deadline) {
    StartRequest(lookup, std::move(address), deadline, false);
}

void ThreadedBackground::StartNotice(LookupId lookup, std::string address, Deadline deadline) {
    StartRequest(lookup, std::move(address), deadline, true);
}

void ThreadedBackground::StartRequest(LookupId lookup, std::string address, Deadline deadline,
                                      bool fetch) {
    Flag givenUp = std::make_shared<std::atomic<bool>>(false);
    lookups_[lookup] = givenUp;
    RunOnThread(
        shared_->running,
        [shared = shared_, givenUp, lookup, address = std::move(address), deadline, fetch] {
            LookupResult result{lookup, fetch, false, {}};
            try {
                if (fetch)
                    result.reply = shared->site->FetchText(address, deadline, *givenUp);
                else
                    result.pageExists = shared->site->PageExists(address, deadline, *givenUp);
            } catch (...) {
                result = {lookup, fetch, false, {}};  // a request that failed found nothing
            }
            shared->Put(*givenUp, std::move(result));
        },
        [&] {
            shared_->Put(*givenUp, LookupResult{lookup, fetch, false, {}});
        });
}

void ThreadedBackground::GiveUp(LookupId lookup) {
    if (const auto found = lookups_.find(lookup); found != lookups_.end()) {
        *found->second = true;
        lookups_.erase(found);
    }
}

void ThreadedBackground::StartIcons(FillId fill, std::vector<std::string> files) {
    const std::size_t count = files.size();
    Flag dropped = std::make_shared<std::atomic<bool>>(false);
    fills_[fill] = dropped;
    RunOnThread(
        shared_->running,
        [shared = shared_, dropped, fill, files = std::move(files)] {
            shared->icons->LowerThreadPriority();
            for (std::size_t file = 0; file < files.size() && !*dropped; ++file) {
                std::unique_ptr<FileIcons> icons;
                try {
                    icons = shared->icons->Extract(files[file]);
                } catch (...) {
                    icons = nullptr;  // a file whose icon cannot be read has none
                }
                shared->Put(*dropped, IconResult{fill, file, std::move(icons)});
            }
        },
        // Without a thread the rows show what a file without an icon shows.
        [&] {
            for (std::size_t file = 0; file < count; ++file)
                shared_->Put(*dropped, IconResult{fill, file, nullptr});
        });
}

void ThreadedBackground::DropIcons(FillId fill) {
    if (const auto found = fills_.find(fill); found != fills_.end()) {
        *found->second = true;
        fills_.erase(found);
    }
}

int ThreadedBackground::ThreadsRunning() const {
    return shared_->running;
}

void ThreadedBackground::Deliver(WindowController& controller) {
    std::vector<LookupResult> lookups;
    std::vector<IconResult> icons;
    {
        const std::lock_guard lock(shared_->mutex);
        lookups.swap(shared_->lookups);
        // A few icons at a time, so that the window answers its other messages in between.
        std::vector<IconResult>& queued = shared_->iconResults;
        const std::size_t taken = std::min(queued.size(), kIconsPerDelivery);
        icons.assign(std::make_move_iterator(queued.begin()),
                     std::make_move_iterator(queued.begin() + static_cast<std::ptrdiff_t>(taken)));
        queued.erase(queued.begin(), queued.begin() + static_cast<std::ptrdiff_t>(taken));
        if (!queued.empty() && !shared_->closed)
            shared_->wake();  // the rest with the next message
    }
    if (!icons.empty())
        controller.IconsArrived(std::move(icons));
    for (const LookupResult& result : lookups) {
        lookups_.erase(result.lookup);
        if (result.fetch)
            controller.NoticeReplied(result.lookup, result.reply);
        else
            controller.ProbeEnded(result.lookup, result.pageExists);
    }
}

}  // namespace runlens
