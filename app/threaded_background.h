// The window's background work on threads of its own: each lookup request on one thread, each
// fill's icons on another, one file after the other. Results wait in a queue until the window's
// thread takes them; the first one to arrive in an empty queue calls `wake`, which tells the
// window (on Windows, a posted message).
//
// Nothing a thread uses belongs to the window: the threads share the queue, the site client and
// the icon source with this object, and the last one to finish frees them. Once this object is
// gone, no thread calls `wake` again and nothing reaches the window; a thread still waiting on
// the network stops at its next look, or ends with the process.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/window_controller.h"
#include "info/online_lookup.h"

namespace runlens {

// Where the icon work finds a file's icons.
class IconSource {
  public:
    virtual ~IconSource() = default;
    // Called first on each thread of icon work: it runs below the window's priority.
    virtual void LowerThreadPriority() = 0;
    // The file's first icon in both sizes; null when it has none.
    virtual std::unique_ptr<FileIcons> Extract(const std::string& path) = 0;
};

class ThreadedBackground final : public BackgroundWork {
  public:
    ThreadedBackground(std::shared_ptr<SiteClient> site, std::shared_ptr<IconSource> icons,
                       std::function<void()> wake);
    ~ThreadedBackground() override;
    ThreadedBackground(const ThreadedBackground&) = delete;
    ThreadedBackground& operator=(const ThreadedBackground&) = delete;

    void StartProbe(LookupId lookup, std::string address, Deadline deadline) override;
    void StartNotice(LookupId lookup, std::string address, Deadline deadline) override;
    void GiveUp(LookupId lookup) override;
    void StartIcons(FillId fill, std::vector<std::string> files) override;
    void DropIcons(FillId fill) override;

    // Hands the results that have arrived to the controller, on the window's thread: the
    // icons first, the lookups after them, so that a notice's message box does not hold up
    // the icons that came with it.
    void Deliver(WindowController& controller);

    // Threads of the work still running, those given up included.
    int ThreadsRunning() const;

    struct Shared;

  private:
    using Flag = std::shared_ptr<std::atomic<bool>>;
    void StartRequest(LookupId lookup, std::string address, Deadline deadline, bool fetch);

    std::shared_ptr<Shared> shared_;
    // The flags that give up each lookup and each fill's icon work still running.
    std::map<LookupId, Flag> lookups_;
    std::map<FillId, Flag> fills_;
};

}  // namespace runlens
