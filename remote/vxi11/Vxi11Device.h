// What a VXI-11 link talks to: one object per link, made by the server's link
// factory when a client creates a link and dropped when the link goes.
//
// Threading: every call (including the destructor) runs through the server's
// executor (Vxi11ServerConfig::executor): on the server thread by default, or
// wherever the executor sends it, e.g. the Qt main thread. Calls for one link
// never overlap. None of them may block for long: a response that is not ready
// yet is reported as "nothing yet" and fetched again later.
#ifndef SFP_VXI11_VXI11DEVICE_H
#define SFP_VXI11_VXI11DEVICE_H

#include <cstdint>
#include <string>
#include <string_view>

namespace sfp::vxi11 {

// Outcome of a device operation, mapped to the protocol's error numbers.
enum class Vxi11Status {
    Ok,
    NotSupported, // operation not supported (8)
    IoError,      // I/O error (17)
    NotAccessible // device not accessible (3)
};

// A piece of the device's pending response. Empty with end == false: nothing
// to read yet (the server asks again when notified or on its retry tick).
struct Vxi11Response {
    std::string bytes;
    bool end = false; // the response message is complete after these bytes
};

class Vxi11Device {
public:
    virtual ~Vxi11Device() = default;

    // Bytes of a program message; end: the client marked the message complete.
    virtual Vxi11Status write(std::string_view bytes, bool end) = 0;
    // Takes (and removes) what the device has of its response so far.
    virtual Vxi11Response takeResponse() = 0;
    // IEEE 488.2 status byte; the server adds MAV while it holds unread bytes.
    virtual uint8_t statusByte() = 0;
    virtual Vxi11Status trigger() = 0;
    // Device clear: discard input and output, abort what is in progress.
    virtual Vxi11Status clear() = 0;
    virtual Vxi11Status remote() = 0;
    virtual Vxi11Status local() = 0;
};

} // namespace sfp::vxi11

#endif
