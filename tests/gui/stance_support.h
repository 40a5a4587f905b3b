#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QThread>
#include <functional>

#include "app_fixture.h"
#include "dialog_bar.h"
#include "platform/simulated_bus.h"
#include "stance_controller.h"
#include "stance_dialog.h"

namespace kenvo::test {

// Runs the event loop until `done` holds or `ms` pass; returns whether it holds.
inline bool waitUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

// The program on a simulated platform of `model` that this fixture can unplug or script.
class StanceFixture : public AppFixture {
  protected:
    void SetUp() override {
        AppFixture::SetUp();
        attachPlatform(0);
    }
    SimulatedBus& attachPlatform(int32_t model, std::shared_ptr<CopSource> source = nullptr) {
        auto owned = std::make_unique<SimulatedBus>();
        bus = owned.get();
        bus->add({model, 70.0, std::move(source), 1});
        EXPECT_TRUE(app->useDeviceBus(std::move(owned)));
        return *bus;
    }
    StanceController& controller() { return *app->stanceController(); }
    ViewMode mode() { return frame().view()->mode(); }
    bool shown(int id) { return frame().dialogBar() && frame().dialogBar()->isControlShown(id); }
    // Answers the stance dialog with a duration in seconds.
    void answerStanceDialog(const char* seconds) {
        port.dialogScript = [seconds](QDialog& d) {
            auto& dialog = dynamic_cast<CStanceDlg&>(d);
            dialog.timeEdit()->setText(seconds);
            dialog.accept();
            return dialog.result();
        };
    }

    SimulatedBus* bus = nullptr;
};

}  // namespace kenvo::test
