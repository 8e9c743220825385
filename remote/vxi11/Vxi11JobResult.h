// What a job run through the executor hands back to the server thread.
#ifndef SFP_VXI11_VXI11JOBRESULT_H
#define SFP_VXI11_VXI11JOBRESULT_H

#include "Vxi11Device.h"

#include <cstdint>
#include <memory>
#include <string>

namespace sfp::vxi11 {

struct Vxi11JobResult {
    enum class Outcome {
        Done,
        Locked,    // another owner holds the lock
        NothingYet // no response bytes yet
    };
    Outcome outcome = Outcome::Done;
    Vxi11Status status = Vxi11Status::Ok;
    bool holderKnown = false;
    std::string holder; // the lock's holder seen by the job, when holderKnown
    Vxi11Response response;
    uint8_t statusByte = 0;
    std::shared_ptr<Vxi11Device> device; // made by create_link's job
};

} // namespace sfp::vxi11

#endif
