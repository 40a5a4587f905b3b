#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace kenvo {

// SIGTERM and SIGINT delivered to the event loop. The handler itself only writes a byte into
// a socket pair; the notifier on the other end runs `onSignal` on the UI thread, where saving
// and quitting are safe. One instance at a time; it restores the default handlers when it goes.
class TerminationSignals final : public QObject {
  public:
    explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // False when the socket pair could not be made; the signals then keep their default.
    bool installed() const { return notifier_ != nullptr; }

  private:
    void onReadable();

    std::function<void()> onSignal_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace kenvo
