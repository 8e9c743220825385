// One VXI-11 link talking to the SCPI engine: each complete message runs as
// a program message of the link's own session, and its answer waits for the
// client's device_read. Runs wherever the server's executor sends it (the
// engine's thread).
#ifndef SFP_SCPIVXI11DEVICE_H
#define SFP_SCPIVXI11DEVICE_H

#include "Vxi11Device.h"

#include <memory>
#include <string>

class ScpiEngine;
class ScpiSession;
class ScpiVxi11Lock;

class ScpiVxi11Device : public sfp::vxi11::Vxi11Device {
public:
    // The link's owner text is enrolled with the lock for the link's life.
    ScpiVxi11Device(ScpiEngine& engine, std::shared_ptr<ScpiVxi11Lock> lock,
                    const std::string& owner, size_t maxMessageBytes);
    ~ScpiVxi11Device() override;

    sfp::vxi11::Vxi11Status write(std::string_view bytes, bool end) override;
    sfp::vxi11::Vxi11Response takeResponse() override;
    uint8_t statusByte() override;
    sfp::vxi11::Vxi11Status trigger() override;
    sfp::vxi11::Vxi11Status clear() override;
    sfp::vxi11::Vxi11Status remote() override;
    sfp::vxi11::Vxi11Status local() override;

private:
    void runMessage();

    ScpiEngine& engine_;
    std::shared_ptr<ScpiVxi11Lock> lock_;
    std::string owner_;
    size_t maxMessageBytes_;
    std::shared_ptr<ScpiSession> session_;
    std::string input_;
    std::string output_;
};

#endif
