// A stand-in instrument for the VXI-11 tests and benchmark: answers *IDN?,
// keeps one value (VAL <0..100>, VAL?), queues errors (SYST:ERR?), and never
// answers NOREPLY? so that a client's read times out. Links share it.
#ifndef SFP_TESTS_FAKEINSTRUMENT_H
#define SFP_TESTS_FAKEINSTRUMENT_H

#include "Vxi11Device.h"
#include "Vxi11Lock.h"

#include <deque>
#include <memory>
#include <mutex>
#include <string>

class FakeInstrument {
public:
    // The response to one program message; false when it has none.
    bool execute(const std::string& message, std::string& response);
    bool hasErrors();

    static std::unique_ptr<sfp::vxi11::Vxi11Device> link(std::shared_ptr<FakeInstrument> shared);

private:
    std::mutex mutex_;
    std::string value_ = "0";
    std::deque<std::string> errors_;
};

class FakeLock : public sfp::vxi11::Vxi11Lock {
public:
    bool tryAcquire(const std::string& owner) override;
    void release(const std::string& owner) override;
    std::string holder() const override;

private:
    mutable std::mutex mutex_;
    std::string owner_;
};

#endif
