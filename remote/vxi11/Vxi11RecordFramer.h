// ONC RPC record marking over a stream: each fragment starts with a 4-byte
// big-endian word whose top bit marks the record's last fragment and whose low
// 31 bits give the fragment's length. Reassembles records from whatever pieces
// the socket delivers, and refuses a record larger than its limit before
// storing it, so a peer cannot make it grow memory.
#ifndef SFP_VXI11_VXI11RECORDFRAMER_H
#define SFP_VXI11_VXI11RECORDFRAMER_H

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace sfp::vxi11 {

class Vxi11RecordFramer {
public:
    explicit Vxi11RecordFramer(size_t maxRecordSize);

    // Consumes all bytes; returns false once a record exceeds the limit (the
    // stream cannot be resynchronised: the connection should be dropped).
    bool feed(const uint8_t* data, size_t size);
    bool hasRecord() const { return !records_.empty(); }
    std::string takeRecord();
    bool failed() const { return failed_; }
    // Bytes held in incomplete and complete records.
    size_t buffered() const;

    // One record as a single last fragment.
    static std::string frame(const std::string& record);

private:
    size_t maxRecordSize_;
    std::deque<std::string> records_;
    std::string current_;    // fragments of the record being read
    uint8_t header_[4] = {}; // the fragment header being read
    size_t headerHave_ = 0;
    size_t fragmentLeft_ = 0; // body bytes still to come in this fragment
    bool inBody_ = false;
    bool lastFragment_ = false;
    bool failed_ = false;

    size_t feedHeader(const uint8_t* data, size_t size);
    size_t feedBody(const uint8_t* data, size_t size);
    void finishFragment();
};

} // namespace sfp::vxi11

#endif
